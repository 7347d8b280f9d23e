// The host's About command and the first-run flow of the start-up timer.
#include <exception>
#include <string>

#include "app/host.h"
#include "core/error.h"

namespace tw {

void TfrmHost::mniAboutClick() {
  // Nothing starts from the tray while the box is open. The hot keys stay
  // registered: a run they start meanwhile is drawn and works as ever.
  toolsEnabled_ = false;
  SetIconState(IconState::Disabled, kAllTools);
  std::string failure;
  std::exception_ptr unexpected;
  try {
    ports_.dialogs.ShowAbout();
  } catch (const Error& e) {
    failure = e.what();
  } catch (...) {
    unexpected = std::current_exception();
  }
  // Whatever happened, the tray works again before anything is said.
  pmnTray.Find("mniAbout")->Enabled = true;
  SetIconState(IconState::Normal, kAllTools);
  toolsEnabled_ = true;
  if (unexpected) std::rethrow_exception(unexpected);
  if (!failure.empty()) ports_.app.ShowError(failure);
}

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
