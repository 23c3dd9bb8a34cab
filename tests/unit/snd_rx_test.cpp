// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/snd_rx.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "capture/capture_pool.h"
#include "platform/testing/fake_speaker.h"
#include "platform/testing/fake_wave_in.h"

namespace zudorave::testing {
namespace {

using Calls = std::vector<std::string>;

// The window the device reports to: it runs the capture object's buffer cycle.
struct Receiver : WimDataTarget {
  SndRx* rx = nullptr;
  int stopCommands = 0;
  void OnWimData(WaveIn& device, WaveHdr& header) override {
    rx->OnWimData(device, header, [this] { ++stopCommands; });
  }
};

struct Capture {
  FakeWaveIn device;
  FakeSpeaker speaker;
  CapturePool pool;
  CaptureQueue freeQueue;
  CaptureQueue filledQueue;
  Receiver window;
  SndRx rx{device, speaker, freeQueue, filledQueue};

  Capture() {
    CreateCapturePool(pool, freeQueue);
    window.rx = &rx;
  }
  CaptureBuffer* Record(int i) {
    return reinterpret_cast<CaptureBuffer*>(const_cast<std::byte*>(pool.Block())) + i;
  }
  void Run() {
    ASSERT_TRUE(rx.OpenSndRx(&window));
    rx.StartSndRx();
  }
  // The held buffer comes back with this much recorded, and its notice runs.
  void Return(uint32_t bytes) {
    device.ReturnBuffer(bytes);
    device.DeliverNotices();
  }
};

TEST(SndRxConstruction, FormatAndEngineValues) {
  Capture c;
  const WaveFormatEx& f = c.rx.Format();
  EXPECT_EQ(f.wFormatTag, 1);
  EXPECT_EQ(f.nChannels, 1);
  EXPECT_EQ(f.nSamplesPerSec, 44100u);
  EXPECT_EQ(f.nAvgBytesPerSec, 88200u);
  EXPECT_EQ(f.nBlockAlign, 2);
  EXPECT_EQ(f.wBitsPerSample, 16);
  EXPECT_EQ(f.cbSize, 0);
  EXPECT_EQ(c.rx.SamplePeriod(), 22);
  EXPECT_EQ(c.rx.lowThreshold, 100);
  EXPECT_EQ(c.rx.highThreshold, 300);
  EXPECT_EQ(c.rx.attackLevel, 135);
  EXPECT_EQ(c.rx.releaseLevel, 121);
  EXPECT_EQ(c.rx.markLevels[4].count, 0);
  EXPECT_EQ(c.rx.spaceLevels[0].count, 0);
  EXPECT_EQ(c.rx.Current(), nullptr);
  EXPECT_FALSE(c.rx.DeviceOpen());
  EXPECT_TRUE(c.device.calls.empty());
}

TEST(SndRxRecording, OpenTakesTheFirstFreeBufferAndStartAddsIt) {
  Capture c;
  c.Run();
  EXPECT_EQ(c.rx.Current(), c.Record(0));
  EXPECT_EQ(c.freeQueue.Size(), 7u);
  EXPECT_EQ(c.device.calls, (Calls{"GetNumDevs", "Open", "Prepare 88200 user 0 flags 0 loops 0",
                                   "Start", "AddBuffer 88200 user 0 flags 2 loops 0"}));
  EXPECT_EQ(c.device.openedFormat.nAvgBytesPerSec, 88200u);
  EXPECT_EQ(c.rx.Header()->lpData, reinterpret_cast<char*>(c.Record(0)->data));
  EXPECT_EQ(c.device.target, &c.window);
}

TEST(SndRxRecording, AFullBufferIsQueuedAndTheNextOneArmedWithClearedFields) {
  Capture c;
  c.Run();
  c.device.calls.clear();
  c.device.added->dwUser = 77;
  c.device.added->dwLoops = 3;
  c.Return(88200);
  ASSERT_EQ(c.filledQueue.Size(), 1u);
  EXPECT_EQ(c.filledQueue.Front(), c.Record(0));
  EXPECT_EQ(c.Record(0)->length, 88200);
  EXPECT_EQ(c.rx.Current(), c.Record(1));
  EXPECT_EQ(c.device.calls, (Calls{"Unprepare", "Prepare 88200 user 0 flags 0 loops 0",
                                   "AddBuffer 88200 user 0 flags 2 loops 0"}));
  c.Return(88200);
  EXPECT_EQ(c.filledQueue.Front(), c.Record(0));  // the oldest stays in front
  EXPECT_EQ(c.filledQueue.Size(), 2u);
  EXPECT_EQ(c.rx.Current(), c.Record(2));
}

TEST(SndRxRecording, APartlyFilledBufferIsQueuedWithItsLengthAndEndsTheCycle) {
  Capture c;
  c.Run();
  c.device.calls.clear();
  c.Return(30000);
  EXPECT_EQ(c.filledQueue.Front()->length, 30000);
  EXPECT_EQ(c.rx.Current(), nullptr);
  EXPECT_EQ(c.freeQueue.Size(), 7u);
  EXPECT_EQ(c.device.calls, (Calls{"Unprepare"}));
}

TEST(SndRxRecording, WhenThePoolIsSpentTheDeviceGetsNoNewBuffer) {
  Capture c;
  c.Run();
  for (int i = 0; i < 8; ++i) c.Return(88200);
  EXPECT_EQ(c.filledQueue.Size(), 8u);
  EXPECT_EQ(c.rx.Current(), nullptr);
  EXPECT_EQ(c.device.added, nullptr);
  c.rx.CloseSndRx();
  // Nothing left for a new run: the device opens but gets no buffer, and nothing crashes.
  c.device.calls.clear();
  EXPECT_TRUE(c.rx.OpenSndRx(&c.window));
  c.rx.StartSndRx();
  EXPECT_EQ(c.device.calls, (Calls{"GetNumDevs", "Open", "Start"}));
}

TEST(SndRxStop, AStopRequestSoundsTheTwoToneSignalOffTheCallersThreadAndQueuesNothing) {
  Capture c;
  c.Run();
  c.rx.SetStopRequested(true);
  c.device.bytesRecorded = 20000;
  c.rx.CloseSndRx();  // the partly filled buffer comes back; its notice runs after the close
  c.device.calls.clear();
  EXPECT_EQ(c.device.DeliverNotices(), 1);
  EXPECT_EQ(c.window.stopCommands, 1);
  c.rx.FinishStopSignal();
  EXPECT_EQ(c.speaker.calls, (Calls{"Beep 1000 60", "Beep 500 60"}));
  // The window is not held while it sounds.
  EXPECT_NE(c.speaker.threads.at(0), std::this_thread::get_id());
  EXPECT_TRUE(c.filledQueue.Empty());
  EXPECT_EQ(c.freeQueue.Size(), 7u);
  EXPECT_TRUE(c.device.calls.empty());  // not even unprepared
  EXPECT_EQ(c.rx.Current(), c.Record(0));
}

TEST(SndRxStop, TheNextOpenReusesTheBufferOfTheStoppedRun) {
  Capture c;
  c.Run();
  c.rx.SetStopRequested(true);
  c.rx.CloseSndRx();
  c.device.calls.clear();
  c.Run();
  EXPECT_EQ(c.rx.Current(), c.Record(0));
  EXPECT_EQ(c.freeQueue.Size(), 7u);
  EXPECT_FALSE(c.rx.StopRequested());  // cleared by a successful start
}

TEST(SndRxStop, CloseStopsUnpreparesResetsAndClosesKeepingTheCurrentBuffer) {
  Capture c;
  c.Run();
  c.device.calls.clear();
  EXPECT_TRUE(c.rx.CloseSndRx());
  EXPECT_EQ(c.device.calls, (Calls{"Stop", "Unprepare", "Reset", "Close"}));
  EXPECT_EQ(c.rx.Current(), c.Record(0));
  EXPECT_EQ(c.device.openDevices, 0);
}

// Mike ticked, unticked and ticked again before the first run's returned buffer had its notice
// run: the notice arrives while the same buffer records for the second run.
TEST(SndRxLateNotice, ANoticeFromTheRunBeforeChangesNothing) {
  struct Case {
    const char* name;
    uint32_t bytes;         // in the first run's buffer when it came back
    bool fullBeforeUntick;  // or partly filled, handed back by the untick
    bool stopRequested;     // in the second run, before the notice runs
  };
  const Case cases[] = {
      {"partly filled, from the untick", 30000, false, false},
      {"full, from before the untick", 88200, true, false},
      {"partly filled, with a stop requested since", 30000, false, true},
  };
  for (const Case& late : cases) {
    SCOPED_TRACE(late.name);
    Capture c;
    c.Run();
    if (late.fullBeforeUntick) {
      c.device.ReturnBuffer(late.bytes);
    } else {
      c.device.bytesRecorded = late.bytes;
    }
    c.rx.CloseSndRx();
    c.Run();
    ASSERT_EQ(c.device.added, c.rx.Header());
    c.rx.SetStopRequested(late.stopRequested);
    c.device.calls.clear();
    EXPECT_EQ(c.device.DeliverNotices(), 1);
    EXPECT_TRUE(c.device.calls.empty());
    EXPECT_TRUE(c.speaker.calls.empty());
    EXPECT_EQ(c.window.stopCommands, 0);
    EXPECT_TRUE(c.filledQueue.Empty());
    EXPECT_EQ(c.rx.Current(), c.Record(0));
    // The second run goes on recording.
    c.rx.SetStopRequested(false);
    c.Return(88200);
    ASSERT_EQ(c.filledQueue.Size(), 1u);
    EXPECT_EQ(c.filledQueue.Front()->length, 88200);
    EXPECT_EQ(c.rx.Current(), c.Record(1));
  }
}

TEST(SndRxFailures, AnOpenThatFailsTakesNoBuffer) {
  Capture c;
  c.device.openResult = MMSYSERR_NODRIVER;
  EXPECT_FALSE(c.rx.OpenSndRx(&c.window));
  EXPECT_EQ(c.freeQueue.Size(), 8u);
  EXPECT_EQ(c.rx.Current(), nullptr);
  EXPECT_FALSE(c.rx.DeviceOpen());
}

TEST(SndRxFailures, AFailedStartUnpreparesAndKeepsTheStopRequest) {
  Capture c;
  c.rx.SetStopRequested(true);
  c.rx.elementCounter = 5;
  c.device.startResult = MMSYSERR_ERROR;
  c.device.addResult = WAVERR_UNPREPARED;
  c.Run();
  EXPECT_EQ(c.device.calls[3], "Start");
  EXPECT_EQ(c.device.calls[4], "Unprepare");
  EXPECT_EQ(c.rx.LastResult(), WAVERR_UNPREPARED);
  EXPECT_TRUE(c.rx.StopRequested());
  EXPECT_EQ(c.rx.elementCounter, 5);
}

TEST(SndRxSharing, ASecondOpenWhileCapturingSharesTheRunningDevice) {
  Capture c;
  c.Run();
  c.rx.SetStopRequested(true);
  c.device.calls.clear();
  EXPECT_TRUE(c.rx.OpenSndRx(&c.window));
  c.rx.StartSndRx();
  EXPECT_TRUE(c.device.calls.empty());  // no second device, no second buffer
  EXPECT_EQ(c.device.openDevices, 1);
  EXPECT_EQ(c.freeQueue.Size(), 7u);
  EXPECT_FALSE(c.rx.StopRequested());
  c.rx.CloseSndRx();
  EXPECT_EQ(c.device.openDevices, 0);
}

TEST(SndRxLifetime, DestructionResetsAndClosesAnOpenDevice) {
  FakeWaveIn device;
  FakeSpeaker speaker;
  CaptureQueue freeQueue, filledQueue;
  CaptureBuffer buffer{nullptr, 0};
  freeQueue.PushBack(&buffer);
  {
    SndRx rx(device, speaker, freeQueue, filledQueue);
    rx.OpenSndRx(nullptr);
    device.calls.clear();
  }
  EXPECT_EQ(device.calls, (Calls{"Reset", "Stop", "Unprepare", "Reset", "Close"}));
}

TEST(SndRxLifetime, NoMemoryForTheHeaderMeansNoCapture) {
  FakeWaveIn device;
  FakeSpeaker speaker;
  CaptureQueue freeQueue, filledQueue;
  SndRx rx(device, speaker, freeQueue, filledQueue, [](std::size_t) { return MemoryBlock{}; });
  EXPECT_FALSE(rx.OpenSndRx(nullptr));
  EXPECT_TRUE(device.calls.empty());
}

}  // namespace
}  // namespace zudorave::testing
