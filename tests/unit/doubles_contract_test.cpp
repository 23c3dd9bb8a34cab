// SPDX-License-Identifier: GPL-3.0-or-later
// The device doubles hold to the same contracts as the devices they stand in for; the devices'
// own runs are in platform_tests and sound_server_tests.
#include <functional>

#include "morse/key_sequencer.h"
#include "platform/testing/fake_joystick.h"
#include "platform/testing/fake_periodic_timer.h"
#include "platform/testing/fake_render_out.h"
#include "platform/testing/fake_wave_in.h"
#include "platform/testing/fake_wave_out.h"
#include "tests/contracts/joystick_contract.h"
#include "tests/contracts/periodic_timer_contract.h"
#include "tests/contracts/render_out_contract.h"
#include "tests/contracts/wave_in_contract.h"
#include "tests/contracts/wave_out_contract.h"

namespace zudorave::testing {
namespace {

struct FakeOutput {
  FakeWaveOut device;
  void SetUp() {}
};
INSTANTIATE_TYPED_TEST_SUITE_P(Double, WaveOutContract, FakeOutput);

struct FakeRenderOutput {
  FakeRenderOut device;
  void SetUp() {}
  void Play(int ms) { device.Pump(MsToSamples(static_cast<uint64_t>(ms))); }
  bool PlayUntil(const std::function<bool()>& condition) {
    Play(300);
    return condition();
  }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Double, RenderOutContract, FakeRenderOutput);

struct FakeInput {
  FakeWaveIn device;
  void SetUp() {}
  int Deliver() { return device.DeliverNotices(); }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Double, WaveInContract, FakeInput);

struct FakeTimer {
  FakePeriodicTimer timer;
  bool WaitFor(const std::function<bool()>& condition) {
    for (int tick = 0; tick < 100 && !condition(); ++tick) timer.Tick();
    return condition();
  }
  void Let(int periods) { timer.Tick(periods); }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Double, PeriodicTimerContract, FakeTimer);

struct FakeStick {
  FakeStick() { joystick.devices = 0; }
  FakeJoystick joystick;
  void SetUp() {}
  bool Plug() {
    joystick.devices = 1;
    return true;
  }
  void Press(int button) { joystick.Press(button); }
  void Release(int button) { joystick.Release(button); }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Double, JoystickContract, FakeStick);

}  // namespace
}  // namespace zudorave::testing
