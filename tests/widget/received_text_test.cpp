// SPDX-License-Identifier: GPL-3.0-or-later
// The received text in the station panel: read from the input's tap from Receive to Stop, and
// only then, shown as it comes, with what the decoder found; Clear empties it.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "receive/testing/morse_signal.h"
#include "ui/menu_resource.h"

namespace zudorave::testing {
namespace {

class ReceivedTextTest : public DialogTest {
 protected:
  ReceivedSamples samples;

  void SetUp() override {
    DialogDevices devices = Devices();
    devices.Received = &samples;
    dlg = std::make_unique<MainDlg>(ContextFor(*objects, devices, prompts, environment, true));
    dlg->Create();
  }
  // The tap outlives the window, as the program's does.
  void TearDown() override { dlg.reset(); }

  template <typename T>
  T* Named(const char* name) const {
    for (T* widget : dlg->findChildren<T*>()) {
      if (widget->accessibleName() == name) return widget;
    }
    return nullptr;
  }

  // Records a signal into the tap in 10 ms blocks, letting the window run between them.
  void Record(const TestSignal& signal) {
    std::vector<int16_t> pcm;
    for (const float sample : signal.samples) pcm.push_back(static_cast<int16_t>(sample * 32767));
    constexpr std::size_t Block = SampleRate / 100;
    for (std::size_t at = 0; at < pcm.size(); at += Block) {
      while (samples.Waiting() > SampleRate) QTest::qWait(1);
      samples.Captured(reinterpret_cast<const std::byte*>(pcm.data() + at),
                       std::min(Block, pcm.size() - at) * sizeof(int16_t));
      if (at % (10 * Block) == 0) QCoreApplication::processEvents();
    }
  }
};

TEST_F(ReceivedTextTest, ReceiveReadsTheInputIntoTheBoxUntilStop) {
  auto* text = Named<QPlainTextEdit>("Received text");
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->isReadOnly());
  for (const char* readout :
       {"Received speed", "Received pitch", "Signal to noise", "Lost samples", "Missed samples"}) {
    EXPECT_NE(Named<QLabel>(readout), nullptr) << readout;
  }

  Button(IDC_MIKE)->toggle();
  dlg->OnCommand(IDC_MIKE, BN_CLICKED);
  EXPECT_FALSE(samples.IsOpen()) << "Mike alone reads nothing";

  SignalRecipe recipe;
  recipe.sampleRate = SampleRate;
  recipe.wpm = 25;
  recipe.words = 6;
  recipe.pitchHz = 650;
  const TestSignal signal = MakeSignal(recipe);
  Choose(ID_CONFIG_RECEIVE);
  ASSERT_TRUE(samples.IsOpen());
  Record(signal);
  auto copied = [&] {
    return CharacterErrorRate(text->toPlainText().toStdString(), signal.expected) == 0;
  };
  EXPECT_TRUE(QTest::qWaitFor(copied, 10000)) << text->toPlainText().toStdString();
  EXPECT_EQ(Named<QLabel>("Received speed")->text(), "25 wpm");
  EXPECT_EQ(Named<QLabel>("Received pitch")->text(), "650 Hz");
  EXPECT_EQ(Named<QLabel>("Lost samples")->text(), "0 lost");

  Choose(ID_CONFIG_STOP);
  EXPECT_FALSE(samples.IsOpen()) << "read after Stop";

  Named<QPushButton>("Clear received text")->click();
  EXPECT_TRUE(text->toPlainText().isEmpty());
}

}  // namespace
}  // namespace zudorave::testing
