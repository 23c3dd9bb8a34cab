// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/output_level.h"

#include <algorithm>
#include <cmath>

namespace zudorave {

void OutputLevel::SetDb(int32_t db) {
  db_.store(std::clamp(db, Off, 0), std::memory_order_relaxed);
}

double OutputLevel::Gain(int32_t db) { return db <= Off ? 0.0 : std::pow(10.0, db / 20.0); }

void OutputLevel::Apply(std::span<int16_t> out) {
  const int32_t db = Db();
  if (db != heading_) {
    heading_ = db;
    step_ = (static_cast<float>(Gain(db)) - gain_) / static_cast<float>(RampSamples);
    left_ = RampSamples;
  }
  // Untouched at full level: the samples reach the sink as the generator made them.
  if (left_ == 0 && heading_ == 0) return;
  for (int16_t& sample : out) {
    if (left_ > 0) {
      gain_ += step_;
      if (--left_ == 0) gain_ = static_cast<float>(Gain(heading_));
    }
    sample = static_cast<int16_t>(std::lround(static_cast<float>(sample) * gain_));
  }
}

}  // namespace zudorave
