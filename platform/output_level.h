// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A level an output plays at, in whole dB from 0 down to MinDb, or off. At 0 dB the samples
// pass untouched; any change glides over RampSamples, so moving a level never clicks.
// Threads: SetDb and Db on any thread (the user-interface thread); Apply on the output's audio
// thread only, one call at a time. Apply neither allocates, locks nor waits.
#include <atomic>
#include <cstdint>
#include <span>

namespace zudorave {

class OutputLevel {
 public:
  static constexpr int32_t MinDb = -40;
  static constexpr int32_t Off = MinDb - 1;     // silent
  static constexpr uint32_t RampSamples = 441;  // 10 ms at 44100 Hz

  // db is clamped to Off..0.
  void SetDb(int32_t db);
  int32_t Db() const { return db_.load(std::memory_order_relaxed); }
  // The gain of a level, 0 when off.
  static double Gain(int32_t db);

  // Scales out in place by the level, gliding to a new one.
  void Apply(std::span<int16_t> out);

 private:
  std::atomic<int32_t> db_{0};
  // The audio thread's own.
  int32_t heading_ = 0;  // the level the glide goes to
  float gain_ = 1;
  float step_ = 0;
  uint32_t left_ = 0;  // samples of the glide still to go
};

// The generator's and the keying side's levels, which the outputs apply and the station sets.
struct OutputLevels {
  OutputLevel generator;
  OutputLevel sidetone;
};

}  // namespace zudorave
