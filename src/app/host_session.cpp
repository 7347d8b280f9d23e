// The program's edges: a second start in the same session, the end of the
// session, and a change of the display.
#include "app/about/about.h"
#include "app/host.h"
#include "app/trayicon/trayicon.h"

namespace tw {

void TfrmHost::OnSecondStart(const std::vector<std::string>& args) {
  if (ports_.app.Terminated() || !tw::FirstRunDue(false, args)) return;
  // The user asked for the program's dialogs: one that is open already
  // (the very welcome, perhaps) is what they get, in front.
  if (ports_.dialogs.DialogOpen()) {
    ports_.dialogs.BringDialogToFront();
    return;
  }
  // The welcome would open under the host, which covers the screen.
  EndTool();
  RunFirstRunFlow();
}

void TfrmHost::EndSession() {
  if (sessionEnded_) return;
  sessionEnded_ = true;
  // Windows may end the process as soon as its windows have answered, in
  // the middle of a dialog or a run: all of it happens before this returns.
  // Every modal loop ends at the quit (a dialog that ends so is not
  // confirmed), the main loop after them.
  ports_.app.Terminate();
  UnregisterHotKeysNow();
  xtiMain_->SetActive(false);
  for (auto& icon : xtiTools_) icon->SetActive(false);
  // Last: a save that fails is reported once everything else is done.
  EndTool();
}

void TfrmHost::DisplayChanged() {
  // The frozen picture is of a screen that is gone; the next run captures
  // the new one at its size, and the memory kept for the old size goes now.
  EndTool();
  ReleaseRunMemory();
}

}  // namespace tw
