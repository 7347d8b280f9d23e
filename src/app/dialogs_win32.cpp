#include "app/dialogs_win32.h"

#include "app/about/about_win32.h"
#include "app/preferences/setup_win32.h"

namespace tw::win32 {

namespace {

class OpenCount {
 public:
  explicit OpenCount(int& count) : count_(count) { ++count_; }
  ~OpenCount() { --count_; }
  OpenCount(const OpenCount&) = delete;
  OpenCount& operator=(const OpenCount&) = delete;

 private:
  int& count_;
};

}  // namespace

bool DialogPort::ShowSetup(TfrmSetup& form) {
  const OpenCount open(open_);
  return ShowSetupDialog(instance_, owner_, errors_, form);
}

void DialogPort::ShowAbout() {
  // The owner stays hidden afterwards, whatever the box did: a shown
  // application window would be a stray window of the program.
  struct HideOwner {
    HWND owner;
    ~HideOwner() { ShowWindow(owner, SW_HIDE); }
  } hide{owner_};
  const OpenCount open(open_);
  ShowAboutDialog(instance_, owner_, errors_);
}

void DialogPort::ShowFirstRun() {
  const OpenCount open(open_);
  ShowFirstRunDialog(instance_, owner_, errors_);
}

void DialogPort::BringDialogToFront() {
  // The dialog, or a message box over it: whichever of the owner's windows
  // was active last.
  const HWND popup = GetLastActivePopup(owner_);
  if (popup != nullptr && popup != owner_) SetForegroundWindow(popup);
}

}  // namespace tw::win32
