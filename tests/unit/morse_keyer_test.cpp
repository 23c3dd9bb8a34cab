// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/morse_keyer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "morse/key_sequencer.h"

#include "platform/testing/fake_periodic_timer.h"
#include "platform/testing/fake_render_out.h"
#include "platform/testing/queued_ui_thread.h"
#include "tests/station_names.h"

namespace zudorave::testing {
namespace {

using Calls = std::vector<std::string>;

struct Keying {
  StationValues station;
  FakeRenderOut device;
  FakePeriodicTimer timer;
  QueuedUiThread ui;
  int32_t toneHz = 300;
  MorseKeyer keyer{station, device, timer, ui, toneHz};
};

TEST(MorseKeyer, ConstructionFillsTheDecodeMapOnce) {
  Keying k;
  EXPECT_EQ(k.station.DecodeMap.size(), 59u);
  MorseKeyer second(k.station, k.device, k.timer, k.ui, k.toneHz);
  EXPECT_EQ(k.station.DecodeMap.size(), 59u);
  EXPECT_EQ(k.station.DecodeMap.at("LPLLPL1"), ")");
}

TEST(MorseKeyer, StartOpensTheKeyingOutputAndTicksEveryDot) {
  Keying k;
  k.station.DecodedTextReady = 1;
  ASSERT_TRUE(k.keyer.StartElementTimer());
  EXPECT_EQ(k.device.calls, Calls{"Open 44100"});
  EXPECT_EQ(k.timer.calls, (Calls{"BeginPeriod 2", "SetEvent 171 1 user 200 flags 1"}));
  EXPECT_EQ(k.station.TimerIdle, 0);
  EXPECT_EQ(k.station.KeyingActive, 1);
  EXPECT_EQ(k.station.DecodedTextReady, 0);
  EXPECT_EQ(k.station.ElementTimerId, 1u);

  EXPECT_FALSE(k.keyer.StartElementTimer());  // already running: nothing changes
  EXPECT_EQ(k.timer.calls.size(), 2u);
  EXPECT_EQ(k.device.openDevices, 1);

  k.device.calls.clear();
  k.timer.calls.clear();
  k.keyer.StopElementTimer();
  EXPECT_EQ(k.timer.calls, (Calls{"KillEvent 1", "EndPeriod 2"}));
  EXPECT_EQ(k.device.calls, Calls{"Close"});
  EXPECT_EQ(k.station.TimerIdle, 1);
  EXPECT_EQ(k.station.KeyingActive, 0);
  EXPECT_EQ(k.timer.Running(), 0u);
  EXPECT_EQ(k.device.openDevices, 0);

  k.device.calls.clear();
  k.timer.calls.clear();
  k.keyer.StopElementTimer();  // idle: not even the device is touched
  EXPECT_TRUE(k.timer.calls.empty());
  EXPECT_TRUE(k.device.calls.empty());
}

TEST(MorseKeyer, WithoutAPlaybackDeviceOnlyTheSpeakerOptionLetsTheTimerRun) {
  for (const uint8_t useSpeaker : {uint8_t{0}, uint8_t{1}}) {
    Keying k;
    k.station.UseSpeaker = useSpeaker;
    k.station.DecodedTextReady = 1;
    k.device.openResult = MMSYSERR_NODRIVER;
    EXPECT_EQ(k.keyer.StartElementTimer(), useSpeaker == 1);
    EXPECT_EQ(k.timer.Running(), useSpeaker);
    EXPECT_EQ(k.station.TimerIdle, 1 - useSpeaker);
    EXPECT_EQ(k.station.DecodedTextReady, 1 - useSpeaker);
    k.keyer.StopElementTimer();
    EXPECT_EQ(k.device.calls, Calls{"Open 44100"});  // nothing to stop or close
  }
}

TEST(MorseKeyer, ATimerThatCannotStartLeavesNothingOpen) {
  Keying k;
  k.timer.failSetEvent = true;
  EXPECT_FALSE(k.keyer.StartElementTimer());
  EXPECT_EQ(k.station.TimerIdle, 1);
  EXPECT_EQ(k.device.openDevices, 0);
  k.timer.failSetEvent = false;
  EXPECT_TRUE(k.keyer.StartElementTimer());
}

// Sends "E" to its end, a tick and a dot of samples at a time, as the timer and the output
// would; nothing is carried out on the user-interface thread meanwhile.
void SendToTheEnd(StationValues& station, MorseKeyer& keyer, FakePeriodicTimer& timer,
                  FakeRenderOut& device) {
  station.TransmitText.Set("E");
  station.OperatingState = StationState::Transmitting;
  ASSERT_TRUE(keyer.StartElementTimer());
  for (int tick = 0; tick < 12; ++tick) {
    timer.Tick();
    device.Pump(MsToSamples(171));
  }
}
void SendToTheEnd(Keying& k) { SendToTheEnd(k.station, k.keyer, k.timer, k.device); }

TEST(MorseKeyer, AnEndedTransmissionStopsTheTimerThenTellsOnTheUserInterfaceThreadOnce) {
  for (const bool heard : {true, false}) {
    Keying k;
    // Without an output, "Use Speaker" lets the run go on with the ticks as its clock.
    k.device.openResult = heard ? MMSYSERR_NOERROR : MMSYSERR_NODRIVER;
    k.station.UseSpeaker = heard ? 0 : 1;
    int ends = 0;
    k.keyer.OnTransmissionEnd([&] {
      ++ends;
      EXPECT_EQ(k.timer.Running(), 0u);
      EXPECT_EQ(k.device.openDevices, 0);
    });
    SendToTheEnd(k);
    EXPECT_EQ(k.timer.Running(), 1u) << heard;  // only the user-interface thread stops it
    EXPECT_EQ(k.ui.RunPending(), 1) << heard;
    EXPECT_EQ(ends, 1) << heard;
    EXPECT_EQ(k.station.TimerIdle, 1) << heard;
    k.timer.Tick(3);
    EXPECT_EQ(k.ui.RunPending(), 0) << heard;
  }
}

TEST(MorseKeyer, AnEndThatArrivesTooLateChangesNothing) {
  const std::vector<std::function<void(Keying&)>> meanwhile = {
      // The window ended the transmission itself.
      [](Keying& k) {
        k.keyer.StopElementTimer();
        k.station.OperatingState = StationState::Idle;
      },
      // ... and started the next one.
      [](Keying& k) {
        k.keyer.StopElementTimer();
        ASSERT_TRUE(k.keyer.StartElementTimer());
      },
      // A reception began after it.
      [](Keying& k) { k.station.OperatingState = StationState::Receiving; },
  };
  for (std::size_t i = 0; i < meanwhile.size(); ++i) {
    Keying k;
    int ends = 0;
    k.keyer.OnTransmissionEnd([&] { ++ends; });
    SendToTheEnd(k);
    meanwhile[i](k);
    const int32_t idle = k.station.TimerIdle;
    k.ui.RunPending();
    EXPECT_EQ(ends, 0) << i;
    EXPECT_EQ(k.station.TimerIdle, idle) << i;
  }
  // The keyer is gone.
  StationValues station;
  FakeRenderOut device;
  FakePeriodicTimer timer;
  QueuedUiThread ui;
  const int32_t toneHz = 300;
  auto keyer = std::make_unique<MorseKeyer>(station, device, timer, ui, toneHz);
  int ends = 0;
  keyer->OnTransmissionEnd([&] { ++ends; });
  SendToTheEnd(station, *keyer, timer, device);
  keyer.reset();
  EXPECT_EQ(ui.RunPending(), 1);
  EXPECT_EQ(ends, 0);
}

TEST(MorseKeyer, TheSecondStopEndsTheTransmissionAsIfItHadRunOut) {
  Keying k;
  int ends = 0;
  k.keyer.OnTransmissionEnd([&] { ++ends; });
  k.station.TransmitText.Set("EEEEE");
  k.station.OperatingState = StationState::Transmitting;
  ASSERT_TRUE(k.keyer.StartElementTimer());
  k.station.OperatingState = StationState::StoppingTransmit;
  k.keyer.StopElementTimer();
  k.ui.RunPending();
  EXPECT_EQ(ends, 1);
  k.keyer.StopElementTimer();
  k.ui.RunPending();
  EXPECT_EQ(ends, 1);
}

TEST(MorseKeyer, AnOutputLostUnderATransmissionEndsItOnceAndAManualRunWaitsForIt) {
  for (const StationState state :
       {StationState::Transmitting, StationState::StoppingTransmit, StationState::ManualKeying}) {
    Keying k;
    int ends = 0;
    std::vector<bool> lost;
    k.keyer.OnTransmissionEnd([&] { ++ends; });
    k.keyer.OnOutputLost([&](bool ended) { lost.push_back(ended); });
    k.station.TransmitText.Set("PARIS");
    k.station.LoopFlag = 1;
    k.station.OperatingState = state;
    ASSERT_TRUE(k.keyer.StartElementTimer());
    k.device.lost = true;  // nothing renders any more: no character is ever finished
    k.timer.Tick(4);
    k.ui.RunPending();
    const bool sends = state != StationState::ManualKeying;
    EXPECT_EQ(ends, sends ? 1 : 0) << Name(state);
    EXPECT_EQ(lost, std::vector<bool>{sends}) << Name(state);
    EXPECT_EQ(k.timer.Running(), sends ? 0u : 1u) << Name(state);
    EXPECT_EQ(k.device.openDevices, sends ? 0 : 1) << Name(state);
    k.keyer.StopElementTimer();
    k.ui.RunPending();
    // The next run, on an output that is back, starts at once.
    k.device.lost = false;
    k.station.OperatingState = StationState::Transmitting;
    EXPECT_TRUE(k.keyer.StartElementTimer()) << Name(state);
  }
}

TEST(MorseKeyer, AManualRunDecodesOnAThreadOfItsOwnAndAStaleSpeedChangeLandsWhenItStops) {
  Keying k;
  k.station.OperatingState = StationState::ManualKeying;
  ASSERT_TRUE(k.keyer.StartElementTimer());
  k.station.RequestedDotMs = 48;
  k.station.SpeedChangePending = 1;
  k.keyer.SetPaddle(RightPaddle);
  k.device.Pump(MsToSamples(48));
  k.keyer.SetPaddle(NoPaddle);
  k.device.Pump(MsToSamples(5 * 48));
  // Shown without the user-interface thread, within the run; a generous wait, not a timing.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (k.station.DecodedTextReady == 0 && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(k.station.DecodedText.Get(), "t");
  EXPECT_EQ(k.station.DotMs, 171);  // the timer's until the run ends; the dash was at 48 ms
  k.station.RequestedDotMs = 100;
  k.station.SpeedChangePending = 1;
  k.keyer.StopElementTimer();
  EXPECT_EQ(k.station.DotMs, 100);
  EXPECT_EQ(k.station.SpeedChangePending, 0);
}

TEST(MorseKeyer, TheRunFlagFallsOnTheSecondTickAfterItWasSet) {
  Keying k;
  ASSERT_TRUE(k.keyer.StartElementTimer());
  k.timer.Tick(3);
  EXPECT_EQ(k.station.ElementCountdown, 2);  // nothing counts while the flag is clear
  k.station.ElementRunFlag = 1;
  k.timer.Tick();
  EXPECT_EQ(k.station.ElementRunFlag, 1);
  EXPECT_EQ(k.station.ElementCountdown, 1);
  k.timer.Tick();
  EXPECT_EQ(k.station.ElementRunFlag, 0);
  EXPECT_EQ(k.station.ElementCountdown, 2);
}

TEST(MorseKeyer, NoTickOutlivesTheKeyer) {
  StationValues station;
  FakeRenderOut device;
  FakePeriodicTimer timer;
  QueuedUiThread ui;
  const int32_t toneHz = 300;
  {
    MorseKeyer keyer(station, device, timer, ui, toneHz);
    ASSERT_TRUE(keyer.StartElementTimer());
  }
  EXPECT_EQ(timer.Running(), 0u);
  EXPECT_EQ(device.openDevices, 0);
}

TEST(MorseKeyer, SpeedTakesEffectAtOnceOnlyWhileTheTimerIsIdle) {
  struct Case {
    bool running;
    int32_t wpm;
    int32_t dotMs;
    int32_t requestedDotMs;
    uint8_t pending;
  };
  for (const Case c :
       {Case{false, 25, 48, 48, 0}, Case{false, 5, 240, 240, 0}, Case{true, 10, 171, 120, 1},
        Case{true, 7, 171, 171, 0}, Case{false, 0, 240, 240, 0}}) {
    Keying k;
    if (c.running) {
      ASSERT_TRUE(k.keyer.StartElementTimer());
    }
    k.keyer.SpeedStep(c.wpm);
    EXPECT_EQ(k.station.DotMs, c.dotMs) << c.wpm;
    EXPECT_EQ(k.station.RequestedDotMs, c.requestedDotMs) << c.wpm;
    EXPECT_EQ(k.station.SpeedChangePending, c.pending) << c.wpm;
    if (c.running) {
      EXPECT_EQ(k.timer.Find(1)->delayMs, 171u);  // the period stays
    }
  }
}

TEST(MorseKeyer, ASpacingAboveTheThresholdSetsTheFlag) {
  for (const auto& [position, flag] : {std::pair{10, 0}, std::pair{11, 1}, std::pair{0, 0}}) {
    Keying k;
    k.station.SpacingFlag = 0;
    k.keyer.SpacingStep(position);
    EXPECT_EQ(k.station.ExtraSpacing, position);
    EXPECT_EQ(k.station.SpacingFlag, flag) << position;
  }
}

TEST(MorseKeyer, PaddleSequences) {
  struct Case {
    std::vector<int32_t> inputs;
    int32_t state;
    int32_t last;
    bool rightLatch;
    bool leftLatch;
  };
  const Case cases[] = {
      {{1, 1}, 1, 1, false, false},        // a held key's repeat is ignored
      {{1, 2, 1}, 1, 1, false, false},     // released and pressed again: still left
      {{1, 0}, 1, 0, true, false},         // right while left is down is latched
      {{0, 1}, 0, 1, false, true},         // and the other way round
      {{2}, 2, 2, false, false},           // a release first is a repeat of the start value
      {{0, 2, 2, 0}, 0, 0, false, false},  // the state never returns to neither
      {{1, 0, 2, 0}, 1, 0, true, false},
  };
  for (const Case& c : cases) {
    Keying k;
    for (const int32_t input : c.inputs) k.keyer.SetPaddle(input);
    const PaddleValues paddles = k.station.Paddles.Load();
    EXPECT_EQ(paddles.state, c.state) << ::testing::PrintToString(c.inputs);
    EXPECT_EQ(paddles.lastInput, c.last) << ::testing::PrintToString(c.inputs);
    EXPECT_EQ(paddles.rightLatch, c.rightLatch) << ::testing::PrintToString(c.inputs);
    EXPECT_EQ(paddles.leftLatch, c.leftLatch) << ::testing::PrintToString(c.inputs);
  }
}

}  // namespace
}  // namespace zudorave::testing
