#include "app/dialogs_win32.h"

#include "app/about/about_win32.h"
#include "app/preferences/setup_win32.h"

namespace tw::win32 {

bool DialogPort::ShowSetup(TfrmSetup& form) { return ShowSetupDialog(instance_, owner_, errors_, form); }

void DialogPort::ShowAbout() {
  // The owner stays hidden afterwards, whatever the box did: a shown
  // application window would be a stray window of the program.
  struct HideOwner {
    HWND owner;
    ~HideOwner() { ShowWindow(owner, SW_HIDE); }
  } hide{owner_};
  ShowAboutDialog(instance_, owner_, errors_);
}

void DialogPort::ShowFirstRun() { ShowFirstRunDialog(instance_, owner_, errors_); }

}  // namespace tw::win32
