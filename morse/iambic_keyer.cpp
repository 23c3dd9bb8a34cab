#include "morse/iambic_keyer.h"

namespace zudorave {

namespace {

bool Down(int32_t input) { return input == LeftPaddle || input == RightPaddle; }
Element ElementOf(int32_t paddle) { return paddle == LeftPaddle ? Element::Dot : Element::Dash; }
Element Other(Element element) { return element == Element::Dot ? Element::Dash : Element::Dot; }

}  // namespace

void IambicKeyer::Begin() {
  station_.PaddleState = NoPaddle;
  station_.LastPaddleInput = NoPaddle;
  station_.LeftPaddleLatch = 0;
  station_.RightPaddleLatch = 0;
  pressUsed_ = false;
}

void IambicKeyer::Watch() {
  if (pressUsed_ && !Down(station_.LastPaddleInput)) {
    station_.PaddleState = NoPaddle;
    pressUsed_ = false;
  }
}

Element IambicKeyer::Next(Element last) {
  Watch();
  // The other paddle pressed during this element comes next.
  if (last == Element::Dot && station_.RightPaddleLatch.exchange(0) != 0) return Element::Dash;
  if (last == Element::Dash && station_.LeftPaddleLatch.exchange(0) != 0) return Element::Dot;
  const int32_t state = station_.PaddleState;
  if (state != NoPaddle && !pressUsed_) {
    pressUsed_ = true;
    return ElementOf(state);
  }
  const int32_t held = station_.LastPaddleInput;
  if (Down(held)) {
    // The other paddle went down after the one the state holds, and neither came up.
    if (last != Element::None && state != NoPaddle && held != state) return Other(last);
    return ElementOf(held);
  }
  // Presses latched during an element of their own kind.
  if (station_.RightPaddleLatch.exchange(0) != 0) return Element::Dash;
  if (station_.LeftPaddleLatch.exchange(0) != 0) return Element::Dot;
  return Element::None;
}

}  // namespace zudorave
