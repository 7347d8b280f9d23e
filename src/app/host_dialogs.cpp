// The host's dialogs outside a run: Preferences and About, each with the
// tools off while it is open.
#include <exception>
#include <string>

#include "app/host.h"
#include "app/preferences/setup.h"
#include "core/error.h"

namespace tw {

void TfrmHost::WithToolsOff(const std::function<void()>& dialog, const std::function<void()>& restore) {
  toolsEnabled_ = false;
  SetIconState(IconState::Disabled, kAllTools);
  std::string failure;
  std::exception_ptr unexpected;
  try {
    dialog();
  } catch (const Error& e) {
    failure = e.what();
  } catch (...) {
    unexpected = std::current_exception();
  }
  // Whatever happened, the program works again before anything is said;
  // what the dialog took away (the hot keys) first, so that a hot key pressed
  // as the dialog closes is not lost while the icons change.
  restore();
  SetIconState(IconState::Normal, kAllTools);
  toolsEnabled_ = true;
  if (unexpected) std::rethrow_exception(unexpected);
  if (!failure.empty()) ports_.app.ShowError(failure);
}

void TfrmHost::mniPreferencesClick() {
  TfrmSetup form;
  form.CopyIn(Settings);
  form.HelpFile = helpFile_;
  // A combination typed into a hot-key field must reach the field, not
  // start a tool.
  UnregisterHotKeysNow();
  WithToolsOff(
      [&] {
        if (ports_.dialogs.ShowSetup(form)) {
          form.CopyOut(Settings);
          SaveSettingsNow();
        }
      },
      // A failed save keeps the new values in memory (the next run's end
      // saves them), and they take effect as if it had worked.
      [&] {
        RegisterHotKeysNow();
        UpdateTrayIcons();
      });
}

void TfrmHost::mniAboutClick() {
  // The hot keys stay registered: a run they start meanwhile is drawn and
  // works as ever.
  WithToolsOff([&] { ports_.dialogs.ShowAbout(); }, [&] { pmnTray.Find("mniAbout")->Enabled = true; });
}

}  // namespace tw
