// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/paddles.h"

#include <utility>

namespace zudorave {

namespace {

bool Down(int32_t input) { return input == LeftPaddle || input == RightPaddle; }

}  // namespace

uint32_t SharedPaddles::Pack(const PaddleValues& values) {
  return static_cast<uint8_t>(values.state) |
         static_cast<uint32_t>(static_cast<uint8_t>(values.lastInput)) << 8 |
         (values.rightLatch ? 1u << 16 : 0u) | (values.leftLatch ? 1u << 17 : 0u);
}

PaddleValues SharedPaddles::Unpack(uint32_t word) {
  return PaddleValues{static_cast<int8_t>(word & 0xFF), static_cast<int8_t>((word >> 8) & 0xFF),
                      (word & 1u << 16) != 0, (word & 1u << 17) != 0};
}

template <typename Change>
bool SharedPaddles::Update(Change change) {
  uint32_t seen = word_.load();
  for (;;) {
    PaddleValues values = Unpack(seen);
    if (!change(values)) return false;
    if (word_.compare_exchange_weak(seen, Pack(values))) return true;
  }
}

void SharedPaddles::Input(int32_t input) {
  Update([input](PaddleValues& v) {
    // A held key repeats its input with every auto-repeat.
    if (input == v.lastInput) return false;
    v.lastInput = input;
    if (v.state == NoPaddle) {
      if (Down(input)) v.state = input;
    } else if (v.state == LeftPaddle && input == RightPaddle) {
      v.rightLatch = true;
    } else if (v.state == RightPaddle && input == LeftPaddle) {
      v.leftLatch = true;
    }
    return true;
  });
}

bool SharedPaddles::HandBackIfUp() {
  bool up = false;
  Update([&up](PaddleValues& v) {
    up = !Down(v.lastInput);
    if (!up || v.state == NoPaddle) return false;
    v.state = NoPaddle;
    return true;
  });
  return up;
}

bool SharedPaddles::TakeRightLatch() {
  return Update([](PaddleValues& v) { return std::exchange(v.rightLatch, false); });
}

bool SharedPaddles::TakeLeftLatch() {
  return Update([](PaddleValues& v) { return std::exchange(v.leftLatch, false); });
}

}  // namespace zudorave
