// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/live_decoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_format.h"
#include "platform/testing/queued_ui_thread.h"
#include "receive/testing/morse_signal.h"

namespace zudorave::testing {
namespace {

using namespace std::chrono_literals;

void Capture(ReceivedSamples& samples, const std::vector<int16_t>& values) {
  samples.Captured(reinterpret_cast<const std::byte*>(values.data()),
                   values.size() * sizeof(int16_t));
}

std::vector<int16_t> TakeAll(ReceivedSamples& samples) {
  std::vector<int16_t> taken;
  std::vector<int16_t> chunk(1000);
  while (const std::size_t count = samples.Take(chunk)) {
    taken.insert(taken.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(count));
  }
  return taken;
}

std::vector<int16_t> Ramp(std::size_t count, int16_t from) {
  std::vector<int16_t> ramp(count);
  std::iota(ramp.begin(), ramp.end(), from);
  return ramp;
}

TEST(ReceivedSamples, TakesEachSampleOnceInOrderAndCountsWhatFindsItFull) {
  ReceivedSamples samples;
  Capture(samples, {1, 2, 3});
  EXPECT_EQ(samples.Waiting(), 0u) << "a closed ring takes nothing";

  samples.Open();
  // Bytes at an odd address, as a device may hand them over.
  std::vector<std::byte> odd(1 + 3 * sizeof(int16_t));
  const int16_t three[] = {7, -8, 9};
  std::memcpy(odd.data() + 1, three, sizeof three);
  samples.Captured(odd.data() + 1, sizeof three);
  EXPECT_EQ(TakeAll(samples), (std::vector<int16_t>{7, -8, 9}));

  // Overfilled at once: the oldest stay, the rest are lost.
  const std::vector<int16_t> more = Ramp(ReceivedSamples::Capacity + 10, 0);
  Capture(samples, more);
  EXPECT_EQ(samples.Lost(), 10u);
  EXPECT_EQ(TakeAll(samples), std::vector<int16_t>(more.begin(), more.end() - 10));
  // Across the wrap, still in order.
  Capture(samples, Ramp(5000, 100));
  EXPECT_EQ(TakeAll(samples), Ramp(5000, 100));

  Capture(samples, {4, 5});
  samples.Close();
  Capture(samples, {6});
  EXPECT_EQ(TakeAll(samples), (std::vector<int16_t>{4, 5})) << "what waited is still taken";

  Capture(samples, {6});
  samples.Open();
  Capture(samples, {7});
  EXPECT_EQ(samples.Lost(), 0u);
  EXPECT_EQ(TakeAll(samples), std::vector<int16_t>{7}) << "a new reception starts clean";
}

TEST(LiveDecoder, ReadsWhileTheInputRecordsAndWhatWaitsOnStop) {
  SignalRecipe recipe;
  recipe.sampleRate = SampleRate;
  recipe.wpm = 25;
  recipe.snrDb = 20;
  recipe.words = 8;
  recipe.tailSeconds = 0.2;
  recipe.seed = 5;
  const TestSignal signal = MakeSignal(recipe);
  std::vector<int16_t> pcm;
  for (const float sample : signal.samples) pcm.push_back(static_cast<int16_t>(sample * 32767));

  ReceivedSamples samples;
  QueuedUiThread ui;
  std::string copy;
  LiveReport last;
  samples.Open();
  auto decoder = std::make_unique<LiveDecoder>(samples, SampleRate, ui, [&](const LiveReport& r) {
    copy += r.text;
    last = r;
  });
  // 10 ms at a time, as the device records, never running more than a second ahead of it.
  constexpr std::size_t Block = SampleRate / 100;
  const std::size_t lastSeconds = pcm.size() - 2 * SampleRate;
  for (std::size_t at = 0; at < lastSeconds; at += Block) {
    while (samples.Waiting() > SampleRate) std::this_thread::sleep_for(1ms);
    samples.Captured(reinterpret_cast<const std::byte*>(pcm.data() + at),
                     std::min(Block, lastSeconds - at) * sizeof(int16_t));
    ui.RunPending();
  }
  while (samples.Waiting() > 0) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(3 * LiveDecoder::Poll);
  ui.RunPending();
  EXPECT_GT(copy.size(), signal.expected.size() / 2) << "nothing came while recording";

  // The last two seconds, and a stop at once: what still waits is read all the same.
  samples.Captured(reinterpret_cast<const std::byte*>(pcm.data() + lastSeconds),
                   2 * SampleRate * sizeof(int16_t));
  samples.Close();
  decoder.reset();
  ui.RunPending();
  EXPECT_LE(CharacterErrorRate(copy, signal.expected), 0.02)
      << "sent: " << signal.expected << "\nread: " << copy;
  EXPECT_EQ(last.lostSamples, 0u);
  EXPECT_TRUE(last.readout.reading);
  EXPECT_NEAR(last.readout.wpm, 25, 2);
}

}  // namespace
}  // namespace zudorave::testing
