// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/output_level.h"

#include <algorithm>
#include <cmath>

namespace zudorave {

void OutputLevel::SetDb(int32_t db) {
  db_.store(std::clamp(db, Off, 0), std::memory_order_relaxed);
  if (changed_) changed_();
}

double OutputLevel::Gain(int32_t db) { return db <= Off ? 0.0 : std::pow(10.0, db / 20.0); }

OutputLevel::Glide OutputLevel::Follow() {
  Glide& g = glide_;
  const int32_t db = Db();
  if (db != g.heading) {
    g.heading = db;
    g.step = (static_cast<float>(Gain(db)) - g.gain) / static_cast<float>(RampSamples);
    g.left = RampSamples;
  }
  return g;
}

void OutputLevel::Apply(std::span<int16_t> out) {
  Glide& g = glide_;
  Follow();
  // Untouched at full level: the samples reach the sink as the generator made them.
  if (g.left == 0 && g.heading == 0) return;
  for (int16_t& sample : out) {
    if (g.left > 0) {
      g.gain += g.step;
      if (--g.left == 0) g.gain = static_cast<float>(Gain(g.heading));
    }
    sample = static_cast<int16_t>(std::lround(static_cast<float>(sample) * g.gain));
  }
}

OutputLevel::Glide OutputLevel::Glide::After(uint64_t samples) const {
  Glide later = *this;
  if (samples >= left) {
    later.left = 0;
    if (left > 0) later.gain = static_cast<float>(Gain(heading));
  } else {
    later.left -= static_cast<uint32_t>(samples);
    later.gain += step * static_cast<float>(samples);
  }
  return later;
}

}  // namespace zudorave
