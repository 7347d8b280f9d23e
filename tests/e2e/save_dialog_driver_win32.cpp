#include "e2e/save_dialog_driver_win32.h"

#include <dlgs.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <iterator>

namespace e2e {

namespace {

using Millis = std::chrono::milliseconds;

// How long one sent message may take: the dialog's thread answers at once
// unless it hangs, and then the caller hears of it instead of hanging too.
constexpr UINT kSendLimitMs = 5000;
// The message box's text control.
constexpr int kPromptTextId = 0xFFFF;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) {
  DWORD_PTR answer = 0;
  const bool sent =
      SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendLimitMs, &answer) != 0;
  if (result != nullptr) *result = static_cast<LRESULT>(answer);
  return sent;
}

// Asked of the window itself, so that it also works for a control of
// another process (GetWindowText would not ask there).
std::optional<std::wstring> TextOf(HWND window) {
  LRESULT length = 0;
  if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length)) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  LRESULT copied = 0;
  if (!Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied)) return std::nullopt;
  text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

// Pumps this thread's messages while it waits, so that windows of the
// waiting thread stay responsive.
bool WaitFor(const std::function<bool()>& condition, Millis timeout) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  for (;;) {
    if (condition()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return condition();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 20)),
                              QS_ALLINPUT);
  }
}

// The first visible descendant of `parent` with this class and one of these
// control ids.
HWND FindControl(HWND parent, const wchar_t* className, std::initializer_list<int> ids) {
  struct Search {
    const wchar_t* className;
    std::initializer_list<int> ids;
    HWND found;
  } search{className, ids, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (!IsWindowVisible(child) || ClassOf(child) != s->className) return TRUE;
        if (std::find(s->ids.begin(), s->ids.end(), GetDlgCtrlID(child)) == s->ids.end()) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The item dialog's field is edt1, the classic dialog's the edit of the
// combo box cmb13, whose id it carries.
HWND FileNameField(HWND dialog) { return FindControl(dialog, L"Edit", {edt1, cmb13}); }
HWND FileTypeList(HWND dialog) { return FindControl(dialog, L"ComboBox", {cmb1}); }
HWND DialogButton(HWND dialog, int id) { return FindControl(dialog, L"Button", {id}); }

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::vector<HWND> TopLevelDialogs(DWORD pid) {
  struct Collect {
    DWORD pid;
    std::vector<HWND> found;
  } collect{pid, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(data);
        if (ProcessOf(window) == c->pid && IsWindowVisible(window) && ClassOf(window) == L"#32770")
          c->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&collect));
  return collect.found;
}

bool IsShownSaveDialog(HWND window, HWND owner) {
  if (owner != nullptr && GetWindow(window, GW_OWNER) != owner) return false;
  const HWND list = FileTypeList(window);
  LRESULT count = 0;
  return FileNameField(window) != nullptr && list != nullptr && Send(list, CB_GETCOUNT, 0, 0, &count) &&
         count > 0;
}

bool Press(HWND dialog, int id, const char* what, std::string* error) {
  const HWND button = DialogButton(dialog, id);
  if (button == nullptr) {
    if (error) *error = std::string("the save dialog has no ") + what + " button";
    return false;
  }
  // Under a prompt the dialog takes no clicks, and a user's would be lost.
  if (!IsWindowEnabled(dialog) || !IsWindowEnabled(button)) {
    if (error) *error = std::string("the save dialog's ") + what + " button cannot be pressed now";
    return false;
  }
  // Posted: what the press starts (an overwrite prompt) is a modal wait of
  // the dialog's thread, which a sent message would sit in.
  if (!PostMessageW(button, BM_CLICK, 0, 0)) {
    if (error) *error = std::string("posting BM_CLICK to ") + what + " failed";
    return false;
  }
  return true;
}

}  // namespace

HWND FindSaveDialog(DWORD pid, Millis timeout, HWND owner) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (const HWND window : TopLevelDialogs(pid)) {
          if (IsShownSaveDialog(window, owner)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

bool SaveDialogOpen(HWND dialog) { return IsWindow(dialog) && IsWindowVisible(dialog); }

std::optional<std::wstring> SaveDialogFileName(HWND dialog) {
  const HWND field = FileNameField(dialog);
  if (field == nullptr) return std::nullopt;
  return TextOf(field);
}

bool SetSaveDialogFileName(HWND dialog, const std::wstring& name, std::string* error) {
  const HWND field = FileNameField(dialog);
  if (field == nullptr) {
    if (error) *error = "the save dialog has no file-name field";
    return false;
  }
  LRESULT set = FALSE;
  if (!Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), &set) || set != TRUE) {
    if (error) *error = "WM_SETTEXT on the file-name field failed";
    return false;
  }
  return true;
}

int SaveDialogFileType(HWND dialog) {
  const HWND list = FileTypeList(dialog);
  LRESULT selected = CB_ERR;
  if (list == nullptr || !Send(list, CB_GETCURSEL, 0, 0, &selected) || selected == CB_ERR) return 0;
  return static_cast<int>(selected) + 1;
}

bool ChooseSaveDialogFileType(HWND dialog, int index, std::string* error) {
  const HWND list = FileTypeList(dialog);
  LRESULT count = 0;
  if (list == nullptr || !Send(list, CB_GETCOUNT, 0, 0, &count)) {
    if (error) *error = "the save dialog has no file-type list";
    return false;
  }
  if (index < 1 || index > count) {
    if (error) *error = "file type " + std::to_string(index) + " is not among the " + std::to_string(count);
    return false;
  }
  LRESULT selected = CB_ERR;
  if (!Send(list, CB_SETCURSEL, static_cast<WPARAM>(index - 1), 0, &selected) || selected != index - 1) {
    if (error) *error = "CB_SETCURSEL on the file-type list failed";
    return false;
  }
  // A pick in the list tells its parent twice: the item dialog acts on the
  // first notification, the classic dialog on the second.
  const HWND parent = GetParent(list);
  const WORD id = static_cast<WORD>(GetDlgCtrlID(list));
  for (const WORD code : {WORD{CBN_SELCHANGE}, WORD{CBN_SELENDOK}}) {
    if (!Send(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(list))) {
      if (error) *error = "the save dialog did not take the file-type notification " + std::to_string(code);
      return false;
    }
  }
  return true;
}

bool PressSaveDialogSave(HWND dialog, std::string* error) { return Press(dialog, IDOK, "Save", error); }

bool PressSaveDialogCancel(HWND dialog, std::string* error) { return Press(dialog, IDCANCEL, "Cancel", error); }

bool WaitForSaveDialogClosed(HWND dialog, Millis timeout) {
  return WaitFor([&] { return !SaveDialogOpen(dialog); }, timeout);
}

std::optional<OverwritePrompt> FindOverwritePrompt(HWND dialog, Millis timeout) {
  std::optional<OverwritePrompt> prompt;
  WaitFor(
      [&] {
        for (const HWND window : TopLevelDialogs(ProcessOf(dialog))) {
          if (GetWindow(window, GW_OWNER) != dialog || DialogButton(window, IDYES) == nullptr ||
              DialogButton(window, IDNO) == nullptr)
            continue;
          OverwritePrompt found;
          found.window = window;
          found.title = TextOf(window).value_or(L"");
          if (const HWND text = GetDlgItem(window, kPromptTextId)) found.text = TextOf(text).value_or(L"");
          for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if (IsWindowVisible(child) && ClassOf(child) == L"Button")
              found.buttons.push_back(TextOf(child).value_or(L""));
          }
          prompt = std::move(found);
          return true;
        }
        return false;
      },
      timeout);
  return prompt;
}

bool AnswerOverwritePrompt(const OverwritePrompt& prompt, bool replace, Millis timeout, std::string* error) {
  const HWND button = DialogButton(prompt.window, replace ? IDYES : IDNO);
  if (button == nullptr || !PostMessageW(button, BM_CLICK, 0, 0)) {
    if (error) *error = std::string("cannot press ") + (replace ? "Yes" : "No") + " on the overwrite prompt";
    return false;
  }
  if (!WaitFor([&] { return !IsWindow(prompt.window) || !IsWindowVisible(prompt.window); }, timeout)) {
    if (error) *error = "the overwrite prompt is still open " + std::to_string(timeout.count()) + " ms after the answer";
    return false;
  }
  return true;
}

}  // namespace e2e
