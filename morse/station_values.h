#pragma once
// The station's program-wide values in one place, which the main dialog, the keyer and the
// worker threads reach by reference. A value another thread may touch (the element timer's
// thread, the worker threads, a keying engine) is atomic; texts are behind a lock. The first
// ones are written in the order the program sets them up.
#include <atomic>
#include <cstdint>

#include "morse/guarded_text.h"
#include "morse/morse_tables.h"
#include "morse/operating_state.h"
#include "platform/periodic_timer.h"

namespace zudorave {

inline constexpr int32_t MinSpeedWpm = 5;
inline constexpr int32_t MaxSpeedWpm = 25;
inline constexpr int32_t InitialSpeedWpm = 7;
inline constexpr int32_t MaxExtraSpacing = 1000;
inline constexpr int32_t InitialDotMs = 1200 / InitialSpeedWpm;  // 171

// Paddle inputs and states.
inline constexpr int32_t RightPaddle = 0;
inline constexpr int32_t LeftPaddle = 1;
inline constexpr int32_t NoPaddle = 2;

struct StationValues {
  // Speed and spacing: the element timer runs at DotMs; a speed asked for while it runs waits
  // in RequestedDotMs with SpeedChangePending set.
  std::atomic<int32_t> ExtraSpacing{0};
  std::atomic<int32_t> DotMs{InitialDotMs};
  std::atomic<int32_t> RequestedDotMs{DotMs.load()};
  // The text to send, taken from the text box.
  GuardedText TransmitText;
  const int32_t SpacingThreshold = 10;
  const int32_t SpacingBase = SpacingThreshold;
  MorseDecodeMap DecodeMap{17};  // empty until the keyer fills it
  GuardedText DecodedText;

  std::atomic<uint8_t> SpeedChangePending{0};
  std::atomic<uint8_t> SpacingFlag{1};

  // The element timer.
  std::atomic<int32_t> TimerIdle{1};
  std::atomic<uint8_t> KeyingActive{1};
  TimerId ElementTimerId = 0;  // user-interface thread only
  std::atomic<uint8_t> ElementRunFlag{0};
  std::atomic<int32_t> ElementCountdown{2};
  std::atomic<uint8_t> DecodedTextReady{0};

  // The paddles: the state, the last input taken, and presses of the other paddle meanwhile.
  std::atomic<int32_t> PaddleState{NoPaddle};
  std::atomic<int32_t> LastPaddleInput{NoPaddle};
  std::atomic<uint8_t> RightPaddleLatch{0};
  std::atomic<uint8_t> LeftPaddleLatch{0};

  // What the station does, and where sending has got.
  std::atomic<StationState> OperatingState{StationState::Idle};
  std::atomic<int32_t> KeyedCharIndex{0};
  int32_t TypedLength = 0;  // user-interface thread only
  std::atomic<int32_t> SendPosition{0};
  std::atomic<int32_t> LoopFlag{0};

  // Settings of the Option menu, and a tone change held back while transmitting.
  std::atomic<uint8_t> UseSpeaker{0};
  std::atomic<uint8_t> IgnoreSpaces{0};
  std::atomic<uint8_t> ToneChangePending{0};
};

}  // namespace zudorave
