// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/received_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "platform/audio_format.h"

namespace zudorave {

namespace {

QLabel* Readout(const char* name, const char* widest, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAccessibleName(name);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest));
  return label;
}

// A figure, or a dash while no tone is being read.
QString Figure(bool known, double value, const char* unit) {
  return known ? QString("%1 %2").arg(value, 0, 'f', 0).arg(unit) : QString("- %1").arg(unit);
}

}  // namespace

ReceivedText::ReceivedText(ReceivedSamples& samples, WaveIn& device, UiThread& ui, QWidget* parent)
    : QWidget(parent), samples_(samples), device_(device), ui_(ui) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);

  text_ = new QPlainTextEdit(this);
  text_->setReadOnly(true);
  text_->setAccessibleName("Received text");
  text_->setToolTip("Morse read from the input while the station receives");
  text_->setFixedHeight(text_->fontMetrics().lineSpacing() * 4 + 12);
  auto* clear = new QPushButton("C&lear", this);
  clear->setAccessibleName("Clear received text");
  connect(clear, &QPushButton::clicked, text_, &QPlainTextEdit::clear);
  column->addWidget(text_);

  speed_ = Readout("Received speed", "00 wpm", this);
  pitch_ = Readout("Received pitch", "0000 Hz", this);
  quality_ = Readout("Signal to noise", "SNR -00 dB", this);
  lost_ = Readout("Lost samples", "000000 lost", this);
  missed_ = Readout("Missed samples", "000000 missed", this);
  auto* readouts = new QHBoxLayout;
  for (QLabel* readout : {speed_, pitch_, quality_, lost_, missed_}) readouts->addWidget(readout);
  readouts->addStretch();
  readouts->addWidget(clear);
  column->addLayout(readouts);
  Show({});
}

ReceivedText::~ReceivedText() { Stop(); }

void ReceivedText::Start() {
  if (decoder_) return;
  samples_.Open();
  // A report queued for a widget that has gone is dropped.
  decoder_ = std::make_unique<LiveDecoder>(
      samples_, SampleRate, ui_, [self = QPointer<ReceivedText>(this)](const LiveReport& report) {
        if (self) self->Show(report);
      });
}

void ReceivedText::Stop() {
  samples_.Close();
  decoder_.reset();
}

void ReceivedText::Show(const LiveReport& report) {
  if (!report.text.empty()) {
    QTextCursor end(text_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromStdString(report.text));
    text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
  }
  const DecoderReadout& found = report.readout;
  speed_->setText(Figure(found.reading, found.wpm, "wpm"));
  pitch_->setText(Figure(found.reading, found.pitchHz, "Hz"));
  quality_->setText("SNR " + Figure(found.reading, found.snrDb, "dB"));
  lost_->setText(QString("%1 lost").arg(report.lostSamples));
  missed_->setText(QString("%1 missed").arg(device_.MissedSamples()));
}

}  // namespace zudorave
