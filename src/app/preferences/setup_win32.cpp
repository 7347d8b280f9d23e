#include "app/preferences/setup_win32.h"

#include "core/error.h"

namespace tw::win32 {

bool ShowSetupDialog(HINSTANCE, HWND, const ErrorDisplay&, TfrmSetup&) {
  throw Error("Preferences cannot be shown yet");
}

}  // namespace tw::win32
