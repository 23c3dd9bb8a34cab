// SPDX-License-Identifier: GPL-3.0-or-later
// The sound devices hold to the contracts their doubles keep, on the private server.
#include <functional>

#include "platform/pulse/pulse_render_out.h"
#include "platform/pulse/pulse_wave_out.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_render_out.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/sdl/sdl_wave_out.h"
#include "platform/testing/queued_ui_thread.h"
#include "sound_server.h"
#include "tests/contracts/render_out_contract.h"
#include "tests/contracts/wave_in_contract.h"
#include "tests/contracts/wave_out_contract.h"

namespace zudorave::testing {
namespace {

// Waits up to ten seconds; a loaded machine may be slow to start a stream.
bool Eventually(const std::function<bool()>& condition) {
  for (int ms = 0; ms < 10000 && !condition(); ms += 10) SleepMs(10);
  return condition();
}

struct SdlOutput {
  SdlAudio audio;
  SdlWaveOut device{audio};
  void SetUp() { RequireSoundServer(); }
};
struct PulseOutput {
  PulseWaveOut device;
  void SetUp() { RequireSoundServer(); }
};
using WaveOutputs = ::testing::Types<SdlOutput, PulseOutput>;
INSTANTIATE_TYPED_TEST_SUITE_P(Device, WaveOutContract, WaveOutputs);

struct SdlRenderOutput {
  SdlAudio audio;
  SdlRenderOut device{audio};
  void SetUp() { RequireSoundServer(); }
  void Play(int ms) { SleepMs(ms); }
  bool PlayUntil(const std::function<bool()>& condition) { return Eventually(condition); }
};
struct PulseRenderOutput {
  PulseRenderOut device;
  void SetUp() { RequireSoundServer(); }
  void Play(int ms) { SleepMs(ms); }
  bool PlayUntil(const std::function<bool()>& condition) { return Eventually(condition); }
};
using RenderOutputs = ::testing::Types<SdlRenderOutput, PulseRenderOutput>;
INSTANTIATE_TYPED_TEST_SUITE_P(Device, RenderOutContract, RenderOutputs);

struct SdlInput {
  QueuedUiThread ui;
  SdlAudio audio;
  SdlWaveIn device{audio, ui};
  void SetUp() { RequireSoundServer(); }
  int Deliver() { return ui.RunPending(); }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Device, WaveInContract, SdlInput);

}  // namespace
}  // namespace zudorave::testing
