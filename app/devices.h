#pragma once
// The sound devices the program runs on, made in one place so that the real ones can be
// swapped in without touching start-up.
#include <memory>

#include "platform/speaker.h"
#include "platform/wave_in.h"
#include "platform/wave_out.h"

namespace zudorave {

struct Devices {
  std::unique_ptr<WaveOut> waveOut;
  std::unique_ptr<WaveIn> waveIn;
  std::unique_ptr<Speaker> speaker;
};

Devices CreateDevices();

}  // namespace zudorave
