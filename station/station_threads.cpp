// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/station_threads.h"

#include "platform/worker.h"

namespace zudorave {

ProgressThread::ProgressThread(StationValues& station, UiThread& ui, ProgressTarget& target)
    : station_(station),
      ui_(ui),
      target_(target),
      thread_([this](std::stop_token stop) { Run(stop); }) {}

ProgressThread::~ProgressThread() {
  thread_.request_stop();
  thread_.join();
}

void ProgressThread::Run(std::stop_token stop) {
  Follow(stop);
  finished_ = true;
}

void ProgressThread::Follow(std::stop_token stop) {
  auto show = [&] {
    return CallOnUiThread(
        ui_, [this] { target_.ShowKeyedChar(); }, stop);
  };
  int32_t last = station_.KeyedCharIndex;
  if (!show()) return;
  while (station_.OperatingState == StationState::Transmitting) {
    const int32_t index = station_.KeyedCharIndex;
    if (index != last) {
      if (!show()) return;
      last = index;
    }
    if (!SleepUnlessStopped(Poll, stop)) return;
  }
  CallOnUiThread(
      ui_, [this] { target_.TransmissionLeft(); }, stop);
}

KeyingMonitorThread::KeyingMonitorThread(StationValues& station, UiThread& ui,
                                         DecodedTextView& dialog, int priority)
    : station_(station),
      ui_(ui),
      dialog_(dialog),
      priority_(priority),
      thread_([this](std::stop_token stop) { Run(stop); }) {}

KeyingMonitorThread::~KeyingMonitorThread() {
  thread_.request_stop();
  thread_.join();
}

void KeyingMonitorThread::Run(std::stop_token stop) {
  SetCurrentThreadPriority(priority_);
  while (KeysByHand(station_.OperatingState)) {
    // The flag is taken before the text, so text decoded meanwhile is shown on the next pass.
    if (station_.DecodedTextReady.exchange(0) == 1) {
      const std::string text = station_.DecodedText.Get();
      if (!CallOnUiThread(
              ui_, [&] { dialog_.ShowDecodedText(text); }, stop))
        return;
    }
    if (!SleepUnlessStopped(Poll, stop)) return;
  }
}

}  // namespace zudorave
