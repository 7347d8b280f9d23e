// The program's edges: the end of the session and a change of the display.
#include "app/host.h"
#include "app/trayicon/trayicon.h"

namespace tw {

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
  // the new one at its size.
  EndTool();
}

}  // namespace tw
