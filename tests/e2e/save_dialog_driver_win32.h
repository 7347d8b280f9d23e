// Driving a save dialog as its user would: the common item dialog or the
// classic GetSaveFileNameW one, of another process (Tarnwick.exe) or of this
// one from a second thread. Only messages that Windows carries across
// processes are sent (WM_SETTEXT, WM_GETTEXT, CB_SETCURSEL, CB_GETCURSEL,
// WM_COMMAND with a notification code, BM_CLICK), and every wait has a
// deadline. Self-contained (user32 only), so the Win32 tests link it too.
//
// What Wine 8 shows (seen with a test program that listed every window):
//  - Both dialogs are top-level "#32770" windows owned by the window given
//    as their owner. The item dialog is titled "Save", the classic one "Save
//    As". The file-name field is an "Edit": control id 1152 (edt1) in the
//    item dialog, id 1148 (cmb13) inside a ComboBoxEx32 in the classic one.
//    The file-type list is the "ComboBox" with id 1136 (cmb1) in both; Save
//    and Cancel are the buttons IDOK and IDCANCEL.
//  - The item dialog takes a type pick at CBN_SELCHANGE, the classic dialog
//    at CBN_SELENDOK; a user's pick sends both, and so does this driver.
//  - The overwrite prompt is a message box owned by the dialog, with the
//    buttons IDYES "&Yes" and IDNO "&No" and the text "File already
//    exists.\nDo you want to replace it?"; the item dialog's is titled
//    "Save", the classic dialog's "Error".
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// The save dialog of process `pid` once it is shown with its file-name field
// and a filled file-type list, within `timeout`; nullptr if none came. With
// `owner`, only a dialog owned by that window counts.
HWND FindSaveDialog(DWORD pid, std::chrono::milliseconds timeout, HWND owner = nullptr);

// Shown and not yet closed.
bool SaveDialogOpen(HWND dialog);

// The text of the file-name field; nullopt when the dialog has none.
std::optional<std::wstring> SaveDialogFileName(HWND dialog);
// Types `name` into the file-name field (a name, or a full path).
bool SetSaveDialogFileName(HWND dialog, const std::wstring& name, std::string* error);

// The selected file type, 1-based; 0 when none is selected or there is no list.
int SaveDialogFileType(HWND dialog);
// Picks file type `index` (1-based) as a user's pick arrives: the list's
// selection, then its notifications to the list's parent. Returns once the
// dialog has handled them.
bool ChooseSaveDialogFileType(HWND dialog, int index, std::string* error);

// Press the dialog's Save or Cancel button. They return at once: what
// follows (the dialog closing, an overwrite prompt) is for the caller to
// wait for.
bool PressSaveDialogSave(HWND dialog, std::string* error);
bool PressSaveDialogCancel(HWND dialog, std::string* error);

// Waits up to `timeout` for `dialog` to close.
bool WaitForSaveDialogClosed(HWND dialog, std::chrono::milliseconds timeout);

struct OverwritePrompt {
  HWND window = nullptr;
  std::wstring title;
  std::wstring text;
  std::vector<std::wstring> buttons;  // in the order of the window's children
};
// The message box that `dialog` shows to ask about replacing a file, within
// `timeout`.
std::optional<OverwritePrompt> FindOverwritePrompt(HWND dialog, std::chrono::milliseconds timeout);
// Answers Yes (`replace`) or No, and waits up to `timeout` for the prompt to
// close.
bool AnswerOverwritePrompt(const OverwritePrompt& prompt, bool replace, std::chrono::milliseconds timeout,
                           std::string* error);

}  // namespace e2e
