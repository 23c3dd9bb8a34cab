// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The joystick as paddles: how many there are, and the first one's button presses and releases
// handed to a window while it holds the capture.
#include <cstdint>

namespace zudorave {

inline constexpr uint32_t JOYSTICKID1 = 0;
inline constexpr uint32_t JOYERR_NOERROR = 0;
inline constexpr uint32_t JOYERR_PARMS = 165;
inline constexpr uint32_t JOYERR_NOCANDO = 166;
inline constexpr uint32_t JOYERR_UNPLUGGED = 167;

// Button messages and their first value: which buttons are down now, and which one changed.
inline constexpr uint32_t MM_JOY1BUTTONDOWN = 0x3B5;  // 949
inline constexpr uint32_t MM_JOY1BUTTONUP = 0x3B7;    // 951
inline constexpr uint32_t JOY_BUTTON1 = 0x0001;
inline constexpr uint32_t JOY_BUTTON2 = 0x0002;
inline constexpr uint32_t JOY_BUTTON3 = 0x0004;
inline constexpr uint32_t JOY_BUTTON4 = 0x0008;
inline constexpr uint32_t JOY_BUTTON1CHG = 0x0100;
inline constexpr uint32_t JOY_BUTTON2CHG = 0x0200;
inline constexpr uint32_t JOY_BUTTON3CHG = 0x0400;
inline constexpr uint32_t JOY_BUTTON4CHG = 0x0800;

// Gets the button messages of the captured joystick, on the user-interface thread.
class JoystickTarget {
 public:
  virtual ~JoystickTarget() = default;
  // message is MM_JOY1BUTTONDOWN or MM_JOY1BUTTONUP; buttons holds the JOY_BUTTONn bits of the
  // buttons down and the JOY_BUTTONnCHG bit of the one that changed.
  virtual void OnJoyButton(uint32_t message, uint32_t buttons) = 0;
};

// User-interface thread only.
class Joystick {
 public:
  virtual ~Joystick() = default;
  // Joysticks present; 0 when there are none.
  virtual uint32_t GetNumDevs() = 0;
  // Hands the joystick's button changes to target until ReleaseCapture or the target's own
  // release. JOYERR_PARMS when there is no such joystick, JOYERR_UNPLUGGED when it is listed but
  // cannot be opened.
  virtual uint32_t SetCapture(JoystickTarget* target, uint32_t joystickId) = 0;
  virtual uint32_t ReleaseCapture(uint32_t joystickId) = 0;
  // Reads the buttons and reports what changed since the last look; the holder of the capture
  // calls it from its event loop every few milliseconds.
  virtual void Poll() = 0;
};

}  // namespace zudorave
