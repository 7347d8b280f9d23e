// The first-run flow of the start-up timer.
#include "app/host.h"
#include "core/error.h"

namespace tw {

void TfrmHost::RunFirstRunFlow() {
  try {
    ports_.dialogs.ShowFirstRun();
  } catch (const Error& e) {
    // The flow is abandoned, as any command that fails.
    ports_.app.ShowError(e.what());
    return;
  }
  // Exit chosen from the tray while the welcome was open ends the program:
  // no dialog may open after it.
  if (ports_.app.Terminated()) return;
  mniPreferencesClick();
}

}  // namespace tw
