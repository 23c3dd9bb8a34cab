// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A level an output plays at, in whole dB from 0 down to MinDb, or off. At 0 dB the samples
// pass untouched; any change glides over RampSamples, so moving a level never clicks.
// Threads: SetDb and Db on any thread (the user-interface thread); Apply on the output's audio
// thread only, one call at a time. Apply neither allocates, locks nor waits.
#include <atomic>
#include <cstdint>
#include <functional>
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

  // Where the glide stands, for an output that renders a stretch again: it goes back to where
  // the glide stood at the stretch's start. The audio thread's.
  struct Glide {
    int32_t heading = 0;  // the level the glide goes to
    float gain = 1;
    float step = 0;
    uint32_t left = 0;  // samples of the glide still to go
    // The same glide `samples` on.
    Glide After(uint64_t samples) const;
  };
  // Takes up a level set since, as Apply would, and says where the glide stands.
  Glide Follow();
  void GoBackTo(const Glide& glide) { glide_ = glide; }

  // Heard on SetDb's thread whenever the level is set. Set while no SetDb can run.
  void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

 private:
  std::atomic<int32_t> db_{0};
  std::function<void()> changed_;
  Glide glide_;  // the audio thread's
};

// The generator's and the keying side's levels, which the outputs apply and the station sets.
struct OutputLevels {
  OutputLevel generator;
  OutputLevel sidetone;
};

}  // namespace zudorave
