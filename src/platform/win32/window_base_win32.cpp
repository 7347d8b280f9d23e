#include "platform/win32/window_base.h"

#include <exception>

#include "core/error.h"
#include "platform/win32/system_error.h"

namespace tw::win32 {

namespace detail {

void ReportError(const WindowState& state, const char* message) noexcept {
  if (!state.errors) return;
  try {
    state.errors(message);
  } catch (...) {
    // The display itself failed (out of memory, most likely): nothing is
    // left to show it with, and nothing may reach Windows.
  }
}

}  // namespace detail

namespace {

// What a message whose handler threw answers.
LRESULT AnswerAfterError(HWND hwnd, UINT msg) noexcept {
  switch (msg) {
    // Left invalid, the area would be painted, and the error shown, again
    // and again; the error's own message box would start the next round.
    case WM_PAINT: ValidateRect(hwnd, nullptr); return 0;
    case WM_NCCREATE: return FALSE;  // a half-made window is not kept
    case WM_CREATE: return -1;
    default: return 0;
  }
}

}  // namespace

WindowBase::WindowBase(ErrorDisplay errors) : state_(std::make_shared<detail::WindowState>()) {
  state_->errors = std::move(errors);
}

WindowBase::~WindowBase() {
  const HWND hwnd = window_.release();
  state_->live = false;
  if (hwnd == nullptr) return;
  // From here on the window answers through DefWindowProc alone: nothing of
  // the object is left for the procedure to reach.
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (state_->destroying) return;  // already on its way out
  if (state_->depth > 0) {
    // Deleted under its own handler: the procedure, which holds the state,
    // destroys the window when the outermost call returns.
    state_->destroyPending = true;
    return;
  }
  state_->hwnd = nullptr;
  DestroyWindow(hwnd);
}

void WindowBase::RegisterWindowClass(HINSTANCE instance, const WindowClass& windowClass) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = windowClass.style;
  wc.lpfnWndProc = &WindowBase::Proc;
  wc.hInstance = instance;
  wc.hIcon = windowClass.icon;
  wc.hCursor = windowClass.cursor;
  wc.hbrBackground = windowClass.background;
  wc.lpszClassName = windowClass.name;
  // A second object of the same kind finds its class there already.
  CheckLastError(RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS,
                 "Cannot register the window class", windowClass.name);
}

void WindowBase::Create(HINSTANCE instance, const wchar_t* className, const WindowPlacement& placement) {
  if (window_) throw Error("A window object makes one window only");
  const HWND hwnd = CreateWindowExW(placement.exStyle, className, placement.title, placement.style, placement.x,
                                    placement.y, placement.width, placement.height, placement.parent, nullptr,
                                    instance, this);
  if (hwnd == nullptr) {
    // Refused after WM_NCCREATE: whatever was attached is gone with it.
    window_.release();
    state_->hwnd = nullptr;
    state_->live = false;
  }
  CheckLastError(hwnd != nullptr, "Cannot create the window of class", className);
}

void WindowBase::StartTimer(UINT_PTR id, UINT milliseconds) {
  // Without a window SetTimer would make a thread timer with another id.
  if (!window_) throw Error("Cannot start a timer: the window is gone");
  CheckLastError(SetTimer(window_.get(), id, milliseconds, nullptr) != 0, "Cannot start a timer");
}

void WindowBase::Destroy() {
  if (!window_ || state_->destroying) return;
  state_->live = false;
  if (state_->depth > 0) {
    state_->destroyPending = true;
    return;
  }
  state_->destroying = true;
  DestroyWindow(window_.get());  // WM_NCDESTROY detaches
  state_->destroying = false;
}

LRESULT WindowBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return Default(msg, wParam, lParam); }

LRESULT WindowBase::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window_.get(), msg, wParam, lParam);
}

void WindowBase::Attach(HWND hwnd) {
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  window_.reset(hwnd);
  state_->hwnd = hwnd;
  state_->live = true;
}

void WindowBase::Detach() {
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  window_.release();  // Windows is destroying it
  state_->hwnd = nullptr;
  state_->live = false;
  state_->destroyPending = false;
}

void WindowBase::DestroyPendingWindow(detail::WindowState& state) noexcept {
  state.destroyPending = false;
  if (state.hwnd == nullptr) return;
  state.destroying = true;
  DestroyWindow(state.hwnd);  // an object still there detaches at WM_NCDESTROY
  state.destroying = false;
  state.hwnd = nullptr;
}

LRESULT WindowBase::Call(const detail::WindowState& state, WindowBase& self, HWND hwnd, UINT msg, WPARAM wParam,
                         LPARAM lParam) noexcept {
  // The one try/catch of every window of the program.
  try {
    return self.HandleMessage(msg, wParam, lParam);
  } catch (const std::exception& e) {  // tw::Error included
    const LRESULT answer = AnswerAfterError(hwnd, msg);
    detail::ReportError(state, e.what());
    return answer;
  } catch (...) {
    const LRESULT answer = AnswerAfterError(hwnd, msg);
    detail::ReportError(state, "Unexpected error");
    return answer;
  }
}

LRESULT CALLBACK WindowBase::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (auto* created = static_cast<WindowBase*>(create->lpCreateParams)) created->Attach(hwnd);
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);

  // Held for the whole call: the handler may delete the object.
  const std::shared_ptr<detail::WindowState> state = self->state_;
  ++state->depth;
  const LRESULT result = Call(*state, *self, hwnd, msg, wParam, lParam);
  // The object is still there if the window still leads to it.
  if (msg == WM_NCDESTROY && GetWindowLongPtrW(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(self))
    self->Detach();
  --state->depth;
  if (state->depth == 0 && state->destroyPending && !state->destroying) DestroyPendingWindow(*state);
  return result;
}

}  // namespace tw::win32
