// SPDX-License-Identifier: GPL-3.0-or-later
// A device that queues far ahead takes back what it has not played and renders it again.
#include "platform/looping_wave_out.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace zudorave {
namespace {

using Samples = std::vector<int16_t>;

// The device's queue as the server holds it: renders are appended, a take-back cuts its end.
class QueuingLoop : public LoopingWaveOut {
 public:
  void Render(std::size_t n) {
    Samples out(n, -1);
    RenderLoopInto(out);
    queue.insert(queue.end(), out.begin(), out.end());
  }
  bool Back(std::size_t n) {
    if (!TakeBack(n)) return false;
    queue.resize(queue.size() - n);
    return true;
  }
  MmResult Open(const WaveFormatEx&) override { return MMSYSERR_NOERROR; }
  MmResult Close() override { return MMSYSERR_NOERROR; }

  Samples queue;
  int requeues = 0;

 private:
  bool DeviceOpen() const override { return true; }
  void HoldRender(bool) override {}
  void Silence() override {}
  void Requeue() override { ++requeues; }
};

Samples Counting(std::size_t n, int16_t first) {
  Samples s(n);
  std::iota(s.begin(), s.end(), first);
  return s;
}

WaveHdr Looped(Samples& buffer, uint32_t passes) {
  WaveHdr header{};
  header.lpData = reinterpret_cast<char*>(buffer.data());
  header.dwBufferLength = static_cast<uint32_t>(buffer.size() * sizeof(int16_t));
  header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
  header.dwLoops = passes;
  return header;
}

void Play(QueuingLoop& device, WaveHdr& header) {
  ASSERT_EQ(device.PrepareHeader(header), MMSYSERR_NOERROR);
  ASSERT_EQ(device.Write(header), MMSYSERR_NOERROR);
}

// What a loop of `buffer` sounds like from sample `from` of the stream on, `passes` in all.
Samples Expected(const Samples& buffer, uint32_t passes, std::size_t from, std::size_t to) {
  Samples s;
  for (std::size_t i = from; i < to; ++i) {
    s.push_back(i / buffer.size() < passes ? buffer[i % buffer.size()] : 0);
  }
  return s;
}

TEST(TakeBack, RendersWhatWasNotPlayedAgainFromTheBufferAsItIsNow) {
  struct Case {
    const char* name;
    std::size_t chunk;     // samples a request
    std::size_t requests;  // before the change
    std::size_t back;      // samples taken back
    uint32_t passes;
  };
  // A loop of 10 samples.
  const Case cases[] = {
      {"within one pass", 3, 2, 4, 5},
      {"across the loop's seam", 4, 4, 9, 5},
      {"across several seams and requests", 7, 5, 28, 9},
      {"back into the last pass", 5, 8, 15, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Samples buffer = Counting(10, 100);
    WaveHdr header = Looped(buffer, c.passes);
    QueuingLoop device;
    Play(device, header);
    for (std::size_t i = 0; i < c.requests; ++i) device.Render(c.chunk);
    const std::size_t rendered = device.queue.size();
    const Samples before = Expected(buffer, c.passes, 0, rendered - c.back);

    const Samples rewritten = Counting(10, 500);
    std::copy(rewritten.begin(), rewritten.end(), buffer.begin());  // in place
    ASSERT_TRUE(device.Back(c.back));
    device.Render(c.back + 20);  // what was taken back, and the next request

    EXPECT_EQ(Samples(device.queue.begin(), device.queue.begin() + (rendered - c.back)), before);
    EXPECT_EQ(Samples(device.queue.begin() + (rendered - c.back), device.queue.end()),
              Expected(buffer, c.passes, rendered - c.back, rendered + 20));
  }
}

TEST(TakeBack, ALoopWrittenSinceStartsWhereTheTakeBackBegins) {
  Samples first = Counting(10, 100);
  Samples second = Counting(6, 300);
  WaveHdr a = Looped(first, 50);
  WaveHdr b = Looped(second, 2);
  QueuingLoop device;
  Play(device, a);
  device.Render(25);
  device.Reset();
  Play(device, b);
  EXPECT_EQ(device.requeues, 2) << "each write asks the device to render its queue again";
  device.Render(4);  // the new loop, behind what was queued of the old one

  ASSERT_TRUE(device.Back(4 + 12));
  device.Render(20);
  EXPECT_EQ(Samples(device.queue.begin() + 13, device.queue.end()), Expected(second, 2, 0, 20));
}

TEST(TakeBack, RefusesWhatItCannotRenderAgain) {
  constexpr std::size_t Remembered = LoopHistory::Points;
  struct Case {
    const char* name;
    uint32_t passes;  // of a loop of 10 samples
    std::size_t requests;
    std::size_t chunk;
    bool reset;
    std::size_t back;
    bool taken;
  };
  const Case cases[] = {
      {"as far back as the points remembered", 1000, Remembered + 5, 1, false, Remembered - 1,
       true},
      {"further back than the points remembered", 1000, Remembered + 5, 1, false, Remembered + 1,
       false},
      {"more than was rendered", 1000, 1, 8, false, 9, false},
      // Its owner may free a header that has played out: it is never read again.
      {"a loop that has played out", 2, 1, 25, false, 10, false},
      {"a loop that was reset", 1000, 1, 25, true, 10, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Samples buffer = Counting(10, 100);
    WaveHdr header = Looped(buffer, c.passes);
    QueuingLoop device;
    Play(device, header);
    for (std::size_t i = 0; i < c.requests; ++i) device.Render(c.chunk);
    if (c.reset) device.Reset();
    EXPECT_EQ(device.Back(c.back), c.taken);
    const bool over = c.reset || c.passes * 10 <= c.requests * c.chunk;
    EXPECT_EQ(device.UnprepareHeader(header), over ? MMSYSERR_NOERROR : WAVERR_STILLPLAYING);
  }
}

TEST(TakeBack, ALevelGlideGoesOnFromWhereItStoodAtTheTakeBack) {
  Samples buffer(1000, 20000);
  auto renderWithAChange = [&](bool takeBack) {
    WaveHdr header = Looped(buffer, 100);
    OutputLevel level;
    QueuingLoop device;
    device.SetLevel(&level);
    Play(device, header);
    device.Render(1000);
    level.SetDb(-6);
    device.Render(300);
    if (takeBack) {
      EXPECT_TRUE(device.Back(200));
      device.Render(200);
    }
    device.Render(600);
    return device.queue;
  };
  const Samples straight = renderWithAChange(false);
  const Samples again = renderWithAChange(true);
  ASSERT_EQ(again.size(), straight.size());
  for (std::size_t i = 0; i < straight.size(); ++i) {
    ASSERT_LE(std::abs(again[i] - straight[i]), 1) << "at sample " << i;
  }
}

}  // namespace
}  // namespace zudorave
