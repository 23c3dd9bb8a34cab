// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Copies Morse off the input while the station receives: a thread of its own takes the samples
// the input recorded, in order and each once, feeds them to the decoder, and hands what it read
// to the user-interface thread as a queued call, never waiting for it. It starts with the
// object; destroying the object stops and joins the thread, after the samples still waiting
// and the character under way have been read.
// Threads: make and destroy on the thread that owns the samples' Open; the report runs on the
// user-interface thread.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>

#include "capture/received_samples.h"
#include "platform/ui_thread.h"
#include "receive/cw_decoder.h"

namespace zudorave {

struct LiveReport {
  std::string text;  // read since the last report
  DecoderReadout readout;
  uint64_t lostSamples = 0;  // since the reception started
};

class LiveDecoder {
 public:
  using Report = std::function<void(const LiveReport&)>;
  // How often the thread looks for samples: a character still shows well within half a second.
  static constexpr std::chrono::milliseconds Poll{20};
  // The readout is reported at least this often, with or without new text.
  static constexpr std::chrono::milliseconds ReadoutEvery{500};

  // samples (opened already) and ui outlive the decoder; report may be called after the
  // decoder has gone, so it checks its own target.
  LiveDecoder(ReceivedSamples& samples, double sampleRate, UiThread& ui, Report report);
  ~LiveDecoder();
  LiveDecoder(const LiveDecoder&) = delete;
  LiveDecoder& operator=(const LiveDecoder&) = delete;

 private:
  void Run(std::stop_token stop);
  bool Drain();  // true when it took anything
  void Post(std::string text);

  ReceivedSamples& samples_;
  UiThread& ui_;
  std::shared_ptr<const Report> report_;
  CwDecoder decoder_;    // the thread's only
  std::jthread thread_;  // last: starts once the rest is in place
};

}  // namespace zudorave
