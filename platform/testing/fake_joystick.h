#pragma once
// A joystick whose buttons the test presses; it records the calls and reports changes only to
// the target holding the capture, and only when polled, as the real one does.
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
    if (captureResult != JOYERR_NOERROR) return captureResult;
    target = newTarget;
    return JOYERR_NOERROR;
  }
  uint32_t ReleaseCapture(uint32_t joystickId) override {
    calls.push_back("ReleaseCapture " + std::to_string(joystickId));
    target = nullptr;
    return JOYERR_NOERROR;
  }
  void Poll() override {
    std::vector<uint32_t> changes;
    changes.swap(pending_);
    for (const uint32_t change : changes) {
      if (target == nullptr) return;
      const uint32_t bit = change & 0x0F;
      const bool down = (change & 0x10) != 0;
      down_ = down ? (down_ | bit) : (down_ & ~bit);
      target->OnJoyButton(down ? MM_JOY1BUTTONDOWN : MM_JOY1BUTTONUP, down_ | (bit << 8));
    }
  }

  // Button 1 to 4 goes down or up; the target hears of it at the next Poll.
  void Press(int button) { pending_.push_back((1u << (button - 1)) | 0x10); }
  void Release(int button) { pending_.push_back(1u << (button - 1)); }

 private:
  std::vector<uint32_t> pending_;
  uint32_t down_ = 0;
};

}  // namespace zudorave::testing
