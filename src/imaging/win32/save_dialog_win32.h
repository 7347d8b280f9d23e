// The Screenshot's save dialog on Windows: the common item dialog, or the
// classic GetSaveFileNameW dialog where the item dialog cannot be made.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "platform/save_dialog_port.h"

namespace tw::win32 {

// The classic dialog is the one the program shows. A name the user types
// must come back as typed: the file type picked decides the format, not the
// name ("shot.bmp" saved as PNG holds PNG data). The classic dialog keeps a
// typed extension and appends one only to a bare name. Wine's item dialog
// appends the type's extension to any other ("shot.bmp" under PNG becomes
// "shot.bmp.png") and rewrites the typed extension at each type pick.
enum class SaveDialogStyle {
  Classic,     // GetSaveFileNameW
  ItemDialog,  // the common item dialog; the classic one if it cannot be made
};

class SaveDialogPort final : public ISaveDialogPort {
 public:
  // `owner` names the window that owns the dialog at the moment it opens (a
  // dialog disables its owner, and one under the topmost host would be
  // hidden). The item dialog needs COM initialised apartment-threaded on the
  // calling thread; without it the classic dialog shows.
  explicit SaveDialogPort(std::function<HWND()> owner, SaveDialogStyle style = SaveDialogStyle::Classic);

  // Throws tw::Error when the dialog fails other than by the user's cancel.
  std::optional<SaveDialogResult> Execute(const SaveDialogRequest& request,
                                          const std::function<void(int)>& onTypeChange) override;

 private:
  std::function<HWND()> owner_;
  SaveDialogStyle style_;
};

}  // namespace tw::win32
