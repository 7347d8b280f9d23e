// The program's modal dialogs outside a tool run. Each call makes its dialog,
// shows it owned by the application window, and frees it before returning;
// an error that stops the dialog from showing is raised as tw::Error.
#pragma once

namespace tw {

class TfrmSetup;

class IDialogPort {
 public:
  virtual ~IDialogPort() = default;
  // Preferences, showing `form`'s values. True when the user closed it with
  // OK; `form` then holds what the controls held. Anything else (Cancel,
  // Escape, the close box, the program ending) leaves `form` as it was.
  virtual bool ShowSetup(TfrmSetup& form) = 0;
  // The About box, until the user closes it (or the program ends).
  virtual void ShowAbout() = 0;
  // The welcome of the first start, until the user closes it (or the
  // program ends).
  virtual void ShowFirstRun() = 0;
  // Whether one of these dialogs is open now (a call above is still running).
  virtual bool DialogOpen() = 0;
  // Brings the open dialog to the front, for a user who asked for it again.
  virtual void BringDialogToFront() = 0;
};

}  // namespace tw
