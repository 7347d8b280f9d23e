#include "app/dialogs_win32.h"

#include "app/preferences/setup_win32.h"

namespace tw::win32 {

bool DialogPort::ShowSetup(TfrmSetup& form) { return ShowSetupDialog(instance_, owner_, errors_, form); }

}  // namespace tw::win32
