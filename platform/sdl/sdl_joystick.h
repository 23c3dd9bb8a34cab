// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first joystick's buttons 1 to 4 through SDL's joystick subsystem, read when polled. SDL's
// joystick events stay off (nothing would read its queue) and so do its signal handlers.
//
// Threads: user-interface thread only, construction and destruction included. SDL refreshes
// the joystick's state only inside these calls, on the caller's thread.
#include <cstdint>

#include "platform/joystick.h"

struct _SDL_Joystick;

namespace zudorave {

class SdlJoystick : public Joystick {
 public:
  // Starts the subsystem for the object's life; when it cannot start there is no joystick.
  SdlJoystick();
  // Releases the capture, then stops the subsystem.
  ~SdlJoystick() override;
  SdlJoystick(const SdlJoystick&) = delete;
  SdlJoystick& operator=(const SdlJoystick&) = delete;

  // Looks for newly plugged and unplugged joysticks first.
  uint32_t GetNumDevs() override;
  // Opens the first joystick. JOYERR_PARMS without a target, for another joystick or when there
  // is none; JOYERR_UNPLUGGED when it is listed but cannot be opened (no permission, gone
  // meanwhile); JOYERR_NOCANDO while a capture is held. Buttons already down are reported at
  // the first Poll.
  uint32_t SetCapture(JoystickTarget* target, uint32_t joystickId) override;
  // Closes the joystick; the target hears nothing more.
  uint32_t ReleaseCapture(uint32_t joystickId) override;
  // Reports each of buttons 1 to 4 that changed since the last look, in button order, each with
  // the buttons down now. A joystick unplugged while captured reports nothing from then on.
  void Poll() override;

 private:
  bool started_ = false;
  _SDL_Joystick* joystick_ = nullptr;  // open while captured
  JoystickTarget* target_ = nullptr;
  int buttons_ = 0;    // how many of buttons 1 to 4 the joystick has
  uint32_t down_ = 0;  // JOY_BUTTONn bits at the last look
};

}  // namespace zudorave
