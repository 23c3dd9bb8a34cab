// A manual keying run: the keying dialog runs modally over the main dialog while the monitor
// thread shows it the decoded text.
#include "ui/keying_dlg.h"
#include "ui/main_dlg.h"
#include "ui/station_threads.h"

namespace zudorave {

namespace {

// The monitor thread shows decoded text through this; it runs on the user-interface thread.
class KeyingDlgView : public DecodedTextView {
 public:
  explicit KeyingDlgView(KeyingDlg& dialog) : dialog_(dialog) {}
  void ShowDecodedText(const std::string& text) override { dialog_.ShowDecodedText(text); }

 private:
  KeyingDlg& dialog_;
};

}  // namespace

void MainDlg::RunKeyingDialog(int monitorPriority) {
  KeyingDlg dialog(
      &Keyer, context_.Station, context_.Stick, context_.Ask, context_.SpeakerDevice,
      [this] { States.EndManualRun(); }, this);
  KeyingDlgView view(dialog);
  ActiveKeyingDlg = &dialog;
  {
    // Joined when the run ends, before the dialog it writes to goes.
    KeyingMonitorThread monitor(context_.Station, context_.Ui, view, monitorPriority);
    dialog.exec();
  }
  ActiveKeyingDlg = nullptr;
}

}  // namespace zudorave
