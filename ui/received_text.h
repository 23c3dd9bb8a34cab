// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Received Morse in the station panel: the text read so far, a button that clears it, and what
// the decoder found (speed, pitch, signal to noise) with the samples lost on the way. From the
// start of a reception to its end a decoder of its own reads what the input records.
// Threads: user-interface thread only; the decoder's thread reaches it through queued calls.
#include <QWidget>
#include <cstdint>
#include <memory>

#include "capture/received_samples.h"
#include "platform/ui_thread.h"
#include "platform/wave_in.h"
#include "receive/live_decoder.h"

class QLabel;
class QPlainTextEdit;

namespace zudorave {

class ReceivedText : public QWidget {
 public:
  // samples (the input's tap), device and ui outlive the widget.
  ReceivedText(ReceivedSamples& samples, WaveIn& device, UiThread& ui, QWidget* parent);
  ~ReceivedText() override;

  void Start();
  // Joins the decoder once it has read what was recorded.
  void Stop();
  bool Reading() const { return decoder_ != nullptr; }

  // New text goes to the end, and the box scrolls there.
  void Show(const LiveReport& report);
  QPlainTextEdit* Box() const { return text_; }

 private:
  ReceivedSamples& samples_;
  WaveIn& device_;
  UiThread& ui_;
  QPlainTextEdit* text_ = nullptr;
  QLabel* speed_ = nullptr;
  QLabel* pitch_ = nullptr;
  QLabel* quality_ = nullptr;
  QLabel* lost_ = nullptr;
  QLabel* missed_ = nullptr;
  std::unique_ptr<LiveDecoder> decoder_;
};

}  // namespace zudorave
