// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paddles as SetPaddle leaves them and the iambic keyer takes them: the state (the paddle
// whose press waits to be keyed, or none), the last input taken, and a latch for a press of
// each paddle while the other held the state.
//
// Two threads write them: SetPaddle on the user-interface thread, and the iambic keyer on the
// keying output's audio thread, which hands the state back once its press has keyed and clears
// the latches it keys. All four live in one atomic word and each change is a compare-exchange
// worked out from the values it replaces, so a press that comes while the keyer hands the
// state back is never lost. Lock-free: the audio thread may call anything here.
#include <atomic>
#include <cstdint>

namespace zudorave {

// Paddle inputs and states.
inline constexpr int32_t RightPaddle = 0;
inline constexpr int32_t LeftPaddle = 1;
inline constexpr int32_t NoPaddle = 2;

struct PaddleValues {
  int32_t state = NoPaddle;
  int32_t lastInput = NoPaddle;
  bool rightLatch = false;
  bool leftLatch = false;
  bool operator==(const PaddleValues&) const = default;
};

class SharedPaddles {
 public:
  PaddleValues Load() const { return Unpack(word_.load()); }
  // Where nothing else writes: the start of a run.
  void Store(const PaddleValues& values) { word_.store(Pack(values)); }

  // SetPaddle's table: 1 left, 0 right, 2 released. A repeat of the last input changes nothing;
  // the first press takes the state, a press of the other paddle meanwhile is latched.
  void Input(int32_t input);
  // The keyer's: the state back to none, unless a paddle is down; true when they are all up.
  bool HandBackIfUp();
  // The keyer's: clears a latch; true when it was set.
  bool TakeRightLatch();
  bool TakeLeftLatch();

 private:
  // The values fit a byte each; the inputs are small numbers that may be negative.
  static uint32_t Pack(const PaddleValues& values);
  static PaddleValues Unpack(uint32_t word);
  // Applies change to the values until the word did not move meanwhile; change returns false
  // to leave them as they are. Returns whether they changed.
  template <typename Change>
  bool Update(Change change);

  std::atomic<uint32_t> word_{Pack(PaddleValues{})};
};

}  // namespace zudorave
