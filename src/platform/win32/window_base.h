// The one base of the program's windows: the object found from the handle,
// the handle owned, the procedure that lets no exception reach Windows, the
// paint guard, and destruction that never happens under a running handler.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "core/geometry.h"
#include "platform/win32/convert.h"
#include "platform/win32/handles.h"

namespace tw::win32 {

// Where a window shows what one of its handlers threw (the application's
// ShowError). May be empty: the error is then dropped, never passed on.
using ErrorDisplay = std::function<void(const std::string& message)>;

namespace detail {

// What a window's procedure needs beyond the object: it outlives the object
// for as long as a call of the procedure is running, so a handler may delete
// its own window object.
struct WindowState {
  HWND hwnd = nullptr;
  int depth = 0;  // calls of the procedure running now, nested ones included
  bool live = false;
  bool destroyPending = false;
  bool destroying = false;  // DestroyWindow for it is running
  ErrorDisplay errors;
};

// Shows `message` through `errors`; whatever the display throws stays here.
void ReportError(const WindowState& state, const char* message) noexcept;

}  // namespace detail

// Tells code that ran a modal wait inside a handler (a popup menu, a message
// box, a dialog) whether its window is still there to work with. It reads
// "gone" from the moment the window's end is decided: destroyed, a deferred
// destroy requested, or the window object deleted.
class LivenessToken {
 public:
  LivenessToken() = default;
  explicit LivenessToken(std::weak_ptr<const detail::WindowState> state) : state_(std::move(state)) {}
  [[nodiscard]] bool Alive() const {
    const auto state = state_.lock();
    return state && state->live;
  }

 private:
  std::weak_ptr<const detail::WindowState> state_;
};

// BeginPaint / EndPaint around one WM_PAINT.
class PaintGuard {
 public:
  explicit PaintGuard(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintGuard() { EndPaint(window_, &paint_); }
  PaintGuard(const PaintGuard&) = delete;
  PaintGuard& operator=(const PaintGuard&) = delete;

  // Null when BeginPaint failed; the area is then empty.
  [[nodiscard]] HDC dc() const { return dc_; }
  [[nodiscard]] Rect Area() const {
    if (dc_ == nullptr) return {};
    return ToRect(paint_.rcPaint);
  }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// What a window class of the program is registered with; the procedure is
// always the window base's.
struct WindowClass {
  const wchar_t* name = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  UINT style = 0;
};

// The arguments of CreateWindowExW other than the class and the object.
struct WindowPlacement {
  DWORD exStyle = 0;
  const wchar_t* title = L"";
  DWORD style = WS_POPUP;
  int x = 0, y = 0, width = 0, height = 0;
  HWND parent = nullptr;  // the owner, for a top-level window
};

class WindowBase {
 public:
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // Registers a class of the program's windows; one that is registered
  // already is fine. Throws tw::Error when Windows refuses.
  static void RegisterWindowClass(HINSTANCE instance, const WindowClass& windowClass);

  // Null before Create and once the window is gone.
  [[nodiscard]] HWND Handle() const { return window_.get(); }
  [[nodiscard]] LivenessToken Token() const { return LivenessToken(state_); }
  // True while a call of this window's procedure is running.
  [[nodiscard]] bool InHandler() const { return state_->depth > 0; }

  // Destroys the window now, or, from inside its own procedure, as soon as
  // the outermost running call of it returns.
  void Destroy();

 protected:
  explicit WindowBase(ErrorDisplay errors);

  // Creates the window of a registered class; `this` reaches the procedure
  // with WM_NCCREATE. Throws tw::Error when the window cannot be made.
  void Create(HINSTANCE instance, const wchar_t* className, const WindowPlacement& placement);
  // SetTimer for this window; throws tw::Error when there is no timer.
  void StartTimer(UINT_PTR id, UINT milliseconds);

  // One call per message. Unpack the parameters and call one named handler;
  // what is not handled goes to Default.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT Call(const detail::WindowState& state, WindowBase& self, HWND hwnd, UINT msg, WPARAM wParam,
                      LPARAM lParam) noexcept;
  static void DestroyPendingWindow(detail::WindowState& state) noexcept;
  void Attach(HWND hwnd);
  void Detach();

  UniqueWindow window_;
  std::shared_ptr<detail::WindowState> state_;
};

}  // namespace tw::win32
