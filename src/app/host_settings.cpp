// Where the host meets the settings store and the hot keys.
#include "app/host.h"
#include "app/hotkeys.h"
#include "app/settings_store.h"
#include "core/error.h"

namespace tw {

void TfrmHost::LoadSettingsAtStart() {
  // A failed load leaves the settings it had not reached at their defaults;
  // the program still starts, and the message says what went wrong.
  try {
    LoadSettings(Settings, ports_.registry, ports_.app.ProgramPath(), ports_.screen.LogicalDpi());
  } catch (const Error& e) {
    ports_.app.ShowError(e.what());
  }
}

void TfrmHost::SaveSettingsNow() { SaveSettings(Settings, ports_.registry, ports_.app.ProgramPath()); }

bool TfrmHost::IsFirstStartNow() {
  const bool first = IsFirstStart(ports_.registry);
  if (first) {
    // The welcome still shows when the record cannot be written; the user
    // learns why it will show again next time.
    try {
      RecordStart(ports_.registry);
    } catch (const Error& e) {
      ports_.app.ShowError(e.what());
    }
  }
  return first;
}

void TfrmHost::RegisterHotKeysNow() {
  // A dialog that the session's end closed must not register them again.
  if (!sessionEnded_) RegisterHotKeys(ports_.hotkeys, Settings);
}

void TfrmHost::UnregisterHotKeysNow() { UnregisterHotKeys(ports_.hotkeys); }

void TfrmHost::OnHotKey(std::uintptr_t id) {
  if (const auto tool = ToolFromHotKeyId(id)) StartTool(*tool);
}

}  // namespace tw
