// The Preferences dialog on Win32.
#pragma once

#include <windows.h>

#include "app/preferences/setup.h"
#include "platform/win32/window_base.h"

namespace tw::win32 {

// Shows the dialog with `form`'s values, owned by `owner`; true after OK,
// with `form` then holding what the controls held.
bool ShowSetupDialog(HINSTANCE instance, HWND owner, const ErrorDisplay& errors, TfrmSetup& form);

}  // namespace tw::win32
