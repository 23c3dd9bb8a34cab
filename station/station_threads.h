// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two worker threads of the station. Each polls the station's values with sleeps and has
// the user-interface thread carry out whatever it changes on a window. Their owner asks them to
// stop and joins them (the destructor) before the window they use goes away.
// Construct and destroy on the user-interface thread.
#include <atomic>
#include <string>
#include <thread>

#include "morse/station_values.h"
#include "platform/ui_thread.h"

namespace zudorave {

// What the progress thread has carried out on the user-interface thread.
class ProgressTarget {
 public:
  virtual ~ProgressTarget() = default;
  // KeyedCharIndex has moved (or the transmission has just started).
  virtual void ShowKeyedChar() = 0;
  // The state has left Transmitting.
  virtual void TransmissionLeft() = 0;
};

// While the station transmits: has the caret moved to the keyed character whenever it changes
// (and once at the start), and, once the state has left Transmitting, says so.
class ProgressThread {
 public:
  static constexpr std::chrono::milliseconds Poll{100};

  ProgressThread(StationValues& station, UiThread& ui, ProgressTarget& target);
  ~ProgressThread();
  ProgressThread(const ProgressThread&) = delete;
  ProgressThread& operator=(const ProgressThread&) = delete;

  bool Finished() const { return finished_; }

 private:
  void Run(std::stop_token stop);
  void Follow(std::stop_token stop);

  StationValues& station_;
  UiThread& ui_;
  ProgressTarget& target_;
  std::atomic<bool> finished_{false};
  std::jthread thread_;  // last: starts once the rest is in place
};

// Where the keying dialog shows decoded text; user-interface thread only.
class DecodedTextView {
 public:
  virtual ~DecodedTextView() = default;
  virtual void ShowDecodedText(const std::string& text) = 0;
};

// While a manual run lasts: shows new decoded text in the keying dialog.
class KeyingMonitorThread {
 public:
  static constexpr std::chrono::milliseconds Poll{10};

  KeyingMonitorThread(StationValues& station, UiThread& ui, DecodedTextView& dialog, int priority);
  ~KeyingMonitorThread();
  KeyingMonitorThread(const KeyingMonitorThread&) = delete;
  KeyingMonitorThread& operator=(const KeyingMonitorThread&) = delete;

  int Priority() const { return priority_; }

 private:
  void Run(std::stop_token stop);

  StationValues& station_;
  UiThread& ui_;
  DecodedTextView& dialog_;
  const int priority_;
  std::jthread thread_;  // last
};

}  // namespace zudorave
