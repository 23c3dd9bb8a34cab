// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/live_decoder.h"

#include <pthread.h>

#include <array>
#include <utility>

#include "platform/worker.h"

namespace zudorave {

LiveDecoder::LiveDecoder(ReceivedSamples& samples, double sampleRate, UiThread& ui, Report report)
    : samples_(samples),
      ui_(ui),
      report_(std::make_shared<const Report>(std::move(report))),
      decoder_(sampleRate),
      thread_([this](std::stop_token stop) { Run(stop); }) {}

LiveDecoder::~LiveDecoder() {
  thread_.request_stop();
  thread_.join();
}

void LiveDecoder::Run(std::stop_token stop) {
  pthread_setname_np(pthread_self(), "morse-decoder");
  using Clock = std::chrono::steady_clock;
  Clock::time_point reported = Clock::now();
  while (!stop.stop_requested()) {
    Drain();
    std::string text = decoder_.TakeText();
    const Clock::time_point now = Clock::now();
    if (!text.empty() || now - reported >= ReadoutEvery) {
      Post(std::move(text));
      reported = now;
    }
    SleepUnlessStopped(Poll, stop);
  }
  // What was recorded before the stop is still read, to the end of the last character.
  while (Drain()) {
  }
  decoder_.Flush();
  Post(decoder_.TakeText());
}

bool LiveDecoder::Drain() {
  std::array<int16_t, 4096> chunk;
  bool any = false;
  for (std::size_t count; (count = samples_.Take(chunk)) > 0; any = true) {
    decoder_.Feed(std::span<const int16_t>(chunk.data(), count));
  }
  return any;
}

void LiveDecoder::Post(std::string text) {
  LiveReport report{std::move(text), decoder_.Readout(), samples_.Lost()};
  ui_.Post([to = report_, report = std::move(report)] { (*to)(report); });
}

}  // namespace zudorave
