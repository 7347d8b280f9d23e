// The host's dialogs outside a run: Preferences.
#include <exception>

#include "app/host.h"
#include "app/preferences/setup.h"
#include "core/error.h"

namespace tw {

void TfrmHost::mniPreferencesClick() {
  TfrmSetup form;
  form.CopyIn(Settings);
  form.HelpFile = helpFile_;
  // A combination typed into a hot-key field must reach the field, not
  // start a tool; and nothing may start while the dialog is open.
  UnregisterHotKeysNow();
  toolsEnabled_ = false;
  SetIconState(IconState::Disabled, kAllTools);
  std::string failure;
  std::exception_ptr unexpected;
  try {
    if (ports_.dialogs.ShowSetup(form)) {
      form.CopyOut(Settings);
      SaveSettingsNow();
    }
  } catch (const Error& e) {
    failure = e.what();
  } catch (...) {
    unexpected = std::current_exception();
  }
  // Whatever happened, the program must work again: a failed save keeps the
  // new values in memory (the next run's end saves them) and the user can
  // open Preferences again.
  RegisterHotKeysNow();
  toolsEnabled_ = true;
  SetIconState(IconState::Normal, kAllTools);
  UpdateTrayIcons();
  if (unexpected) std::rethrow_exception(unexpected);
  if (!failure.empty()) ports_.app.ShowError(failure);
}

}  // namespace tw
