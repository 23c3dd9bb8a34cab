#include "morse/morse_keyer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/fake_periodic_timer.h"
#include "platform/testing/fake_wave_out.h"

namespace zudorave::testing {
namespace {

using Calls = std::vector<std::string>;

struct Keying {
  StationValues station;
  FakeWaveOut device;
  FakePeriodicTimer timer;
  MorseKeyer keyer{station, device, timer};
};

TEST(MorseKeyer, ConstructionFillsTheDecodeMapOnce) {
  Keying k;
  EXPECT_EQ(k.station.DecodeMap.size(), 59u);
  MorseKeyer second(k.station, k.device, k.timer);
  EXPECT_EQ(k.station.DecodeMap.size(), 59u);
  EXPECT_EQ(k.station.DecodeMap.at("LPLLPL1"), ")");
}

TEST(MorseKeyer, StartOpensTheKeyingPlaybackForThreeDotsAndTicksEveryDot) {
  Keying k;
  k.station.DecodedTextReady = 1;
  ASSERT_TRUE(k.keyer.StartElementTimer());
  // 3 x 171 ms, prepared and not written.
  EXPECT_EQ(k.device.calls, (Calls{"Open 44100", "Prepare 45246 flags 12 loops 10000"}));
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
  EXPECT_EQ(k.device.calls, (Calls{"Reset", "Unprepare", "Unprepare", "Reset", "Close"}));
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
  FakeWaveOut device;
  FakePeriodicTimer timer;
  {
    MorseKeyer keyer(station, device, timer);
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
    uint8_t rightLatch;
    uint8_t leftLatch;
  };
  const Case cases[] = {
      {{1, 1}, 1, 1, 0, 0},        // a held key's repeat is ignored
      {{1, 2, 1}, 1, 1, 0, 0},     // released and pressed again: still left
      {{1, 0}, 1, 0, 1, 0},        // right while left is down is latched
      {{0, 1}, 0, 1, 0, 1},        // and the other way round
      {{2}, 2, 2, 0, 0},           // a release first is a repeat of the start value
      {{0, 2, 2, 0}, 0, 0, 0, 0},  // the state never returns to neither
      {{1, 0, 2, 0}, 1, 0, 1, 0},
  };
  for (const Case& c : cases) {
    Keying k;
    for (const int32_t input : c.inputs) k.keyer.SetPaddle(input);
    EXPECT_EQ(k.station.PaddleState, c.state) << ::testing::PrintToString(c.inputs);
    EXPECT_EQ(k.station.LastPaddleInput, c.last) << ::testing::PrintToString(c.inputs);
    EXPECT_EQ(k.station.RightPaddleLatch, c.rightLatch) << ::testing::PrintToString(c.inputs);
    EXPECT_EQ(k.station.LeftPaddleLatch, c.leftLatch) << ::testing::PrintToString(c.inputs);
  }
}

}  // namespace
}  // namespace zudorave::testing
