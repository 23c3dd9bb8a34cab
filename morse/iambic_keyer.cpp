// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/iambic_keyer.h"

namespace zudorave {

namespace {

bool Down(int32_t input) { return input == LeftPaddle || input == RightPaddle; }
Element ElementOf(int32_t paddle) { return paddle == LeftPaddle ? Element::Dot : Element::Dash; }
Element Other(Element element) { return element == Element::Dot ? Element::Dash : Element::Dot; }

}  // namespace

void IambicKeyer::Begin() {
  station_.Paddles.Store({});
  pressUsed_ = false;
}

void IambicKeyer::Watch() {
  if (pressUsed_ && station_.Paddles.HandBackIfUp()) pressUsed_ = false;
}

Element IambicKeyer::Next(Element last) {
  Watch();
  SharedPaddles& paddles = station_.Paddles;
  // The other paddle pressed during this element comes next.
  if (last == Element::Dot && paddles.TakeRightLatch()) return Element::Dash;
  if (last == Element::Dash && paddles.TakeLeftLatch()) return Element::Dot;
  const PaddleValues now = paddles.Load();
  if (now.state != NoPaddle && !pressUsed_) {
    pressUsed_ = true;
    return ElementOf(now.state);
  }
  if (Down(now.lastInput)) {
    // The other paddle went down after the one the state holds, and neither came up.
    if (last != Element::None && now.state != NoPaddle && now.lastInput != now.state) {
      return Other(last);
    }
    return ElementOf(now.lastInput);
  }
  // Presses latched during an element of their own kind.
  if (paddles.TakeRightLatch()) return Element::Dash;
  if (paddles.TakeLeftLatch()) return Element::Dot;
  return Element::None;
}

}  // namespace zudorave
