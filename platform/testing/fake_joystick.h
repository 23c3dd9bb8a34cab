// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A joystick whose buttons the test presses. It records the calls and keeps the joystick's
// rules (tests/contracts/joystick_contract.h): only the first of those plugged in is captured,
// by one target at a time, and each button that changed since the last look is reported, when
// polled, to the target holding the capture. captureResult makes SetCapture fail as the device
// can.
#include <string>
#include <vector>

#include "platform/joystick.h"

namespace zudorave::testing {

class FakeJoystick : public Joystick {
 public:
  std::vector<std::string> calls;
  uint32_t devices = 1;
  uint32_t captureResult = JOYERR_NOERROR;
  JoystickTarget* target = nullptr;

  uint32_t GetNumDevs() override {
    calls.push_back("GetNumDevs");
    return devices;
  }
  uint32_t SetCapture(JoystickTarget* newTarget, uint32_t joystickId) override {
    calls.push_back("SetCapture " + std::to_string(joystickId));
    if (newTarget == nullptr || joystickId != JOYSTICKID1) return JOYERR_PARMS;
    if (target != nullptr) return JOYERR_NOCANDO;
    if (captureResult != JOYERR_NOERROR) return captureResult;
    if (devices == 0) return JOYERR_PARMS;
    target = newTarget;
    reported_ = 0;  // buttons already down are news
    return JOYERR_NOERROR;
  }
  uint32_t ReleaseCapture(uint32_t joystickId) override {
    calls.push_back("ReleaseCapture " + std::to_string(joystickId));
    if (joystickId != JOYSTICKID1) return JOYERR_PARMS;
    target = nullptr;
    return JOYERR_NOERROR;
  }
  void Poll() override {
    if (target == nullptr) return;
    const uint32_t changed = down_ ^ reported_;
    reported_ = down_;
    JoystickTarget* const holder = target;
    for (uint32_t bit = JOY_BUTTON1; bit <= JOY_BUTTON4; bit <<= 1) {
      if ((changed & bit) == 0) continue;
      if (target != holder) return;  // released from the handler
      holder->OnJoyButton((down_ & bit) != 0 ? MM_JOY1BUTTONDOWN : MM_JOY1BUTTONUP,
                          down_ | (bit << 8));
    }
  }

  // Button 1 to 4 goes down or up; the target hears of it at the next Poll.
  void Press(int button) { down_ |= 1u << (button - 1); }
  void Release(int button) { down_ &= ~(1u << (button - 1)); }

 private:
  uint32_t down_ = 0;      // the buttons held now
  uint32_t reported_ = 0;  // as the holder last heard
};

}  // namespace zudorave::testing
