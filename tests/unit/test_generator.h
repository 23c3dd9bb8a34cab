// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh generator on a recording device, for the tests of one unit each.
#include "capture/capture_queue.h"
#include "platform/testing/fake_wave_out.h"
#include "synth/snd_tx.h"

namespace zudorave::testing {

struct TestGenerator {
  FakeWaveOut device;
  CaptureQueue filled;
  SndTx tx{SndTx::InitialAf1Frequency, device, filled};
};

}  // namespace zudorave::testing
