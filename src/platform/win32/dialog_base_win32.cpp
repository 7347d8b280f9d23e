#include "platform/win32/dialog_base.h"

#include <exception>
#include <string>

#include "core/error.h"
#include "platform/win32/system_error.h"

namespace tw::win32 {

DialogBase::DialogBase(HINSTANCE instance, DialogTemplate source, ErrorDisplay errors)
    : instance_(instance), source_(source), state_(std::make_shared<detail::WindowState>()) {
  state_->errors = std::move(errors);
}

bool DialogBase::ShowModal(HWND owner) {
  if (shown_) throw Error("A dialog is shown once only");
  if (source_.resource == nullptr && source_.memory == nullptr) throw Error("A dialog without a template");
  shown_ = true;
  const auto param = reinterpret_cast<LPARAM>(this);
  if (source_.memory != nullptr)
    DialogBoxIndirectParamW(instance_, source_.memory, owner, &DialogBase::Proc, param);
  else
    DialogBoxParamW(instance_, source_.resource, owner, &DialogBase::Proc, param);
  // The return value says nothing that counts: IDOK may mean a WM_QUIT, and
  // 0 or -1 a dialog that never came up, which WM_INITDIALOG tells better.
  CheckLastError(initialised_, "Cannot show the dialog");
  return confirmed_;
}

INT_PTR DialogBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    default: return FALSE;
  }
}

INT_PTR DialogBase::OnCommand(int id, int, HWND) {
  switch (id) {
    case IDOK: OnOk(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
  }
}

void DialogBase::Accept() {
  if (state_->hwnd == nullptr) return;
  confirmed_ = true;
  state_->live = false;
  EndDialog(state_->hwnd, IDOK);
}

void DialogBase::Dismiss() {
  if (state_->hwnd == nullptr) return;
  state_->live = false;
  EndDialog(state_->hwnd, IDCANCEL);
}

INT_PTR DialogBase::Call(const detail::WindowState& state, DialogBase& self, UINT msg, WPARAM wParam,
                         LPARAM lParam) noexcept {
  // The one try/catch of every dialog of the program. A dialog that could
  // not set itself up would show, and give back, half-made values: it ends
  // at once, unconfirmed. Otherwise FALSE lets the dialog manager do its
  // default; for WM_PAINT that validates the area, so a throwing paint is
  // not repeated.
  try {
    return self.HandleMessage(msg, wParam, lParam);
  } catch (const std::exception& e) {  // tw::Error included
    if (msg == WM_INITDIALOG) self.Dismiss();
    detail::ReportError(state, e.what());
  } catch (...) {
    if (msg == WM_INITDIALOG) self.Dismiss();
    detail::ReportError(state, "Unexpected error");
  }
  return FALSE;
}

INT_PTR CALLBACK DialogBase::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<DialogBase*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    dialog->state_->hwnd = hwnd;
    dialog->state_->live = true;
    dialog->initialised_ = true;
  }
  auto* self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  // Messages before WM_INITDIALOG (WM_SETFONT among them) find no object.
  if (self == nullptr) return FALSE;

  const std::shared_ptr<detail::WindowState> state = self->state_;
  ++state->depth;
  const INT_PTR result = Call(*state, *self, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    state->hwnd = nullptr;
    state->live = false;
  }
  --state->depth;
  return result;
}

}  // namespace tw::win32
