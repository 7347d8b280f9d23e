// The Screenshot's save dialog on Windows: the common item dialog, or the
// classic GetSaveFileNameW dialog where the item dialog cannot be made.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "imaging/save_dialog.h"

namespace tw::win32 {

enum class SaveDialogStyle {
  ItemDialog,  // the common item dialog; the classic one if it cannot be made
  Classic,     // GetSaveFileNameW only
};

class SaveDialogPort final : public ISaveDialogPort {
 public:
  // `owner` names the window that owns the dialog at the moment it opens (a
  // dialog disables its owner, and one under the topmost host would be
  // hidden). The item dialog needs COM initialised apartment-threaded on the
  // calling thread.
  explicit SaveDialogPort(std::function<HWND()> owner, SaveDialogStyle style = SaveDialogStyle::ItemDialog);

  // Throws tw::Error when the dialog fails other than by the user's cancel.
  std::optional<SaveDialogResult> Execute(const SaveDialogRequest& request,
                                          const std::function<void(int)>& onTypeChange) override;

 private:
  std::function<HWND()> owner_;
  SaveDialogStyle style_;
};

}  // namespace tw::win32
