#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "platform/win32/window_base.h"

namespace tw::win32 {

// How a second start finds the running copy's application window.
inline constexpr wchar_t kApplicationWindowClass[] = L"TarnwickApplication";
inline constexpr wchar_t kApplicationWindowTitle[] = L"Tarnwick";

// What runs when a second start has handed over its arguments.
using HandOverHandler = std::function<void(const std::vector<std::string>& args)>;

// The application's own window: hidden, top-level, owning every dialog and
// message box that is not part of a tool run. A dialog disables its owner,
// and the host must stay clickable for a run that a hot key starts while,
// say, the About box is open. Modal loops (a dialog's, a menu's) send it
// WM_ENTERIDLE whenever their queue runs empty; it calls the same idle
// callback as the main loop, so idle work goes on during them. A second
// start of the program hands it its command line (WM_COPYDATA).
class ApplicationWindow final : public WindowBase {
 public:
  // Throws tw::Error when the window cannot be made.
  ApplicationWindow(HINSTANCE instance, std::function<void()> onIdle, ErrorDisplay errors);
  ~ApplicationWindow() override { Destroy(); }

  // Until one is set, handed-over arguments wait.
  void SetHandOverHandler(HandOverHandler handler);

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnEnterIdle();
  bool OnCopyData(const COPYDATASTRUCT* data);
  void OnHandedOver();

  std::function<void()> onIdle_;
  HandOverHandler onHandOver_;
  std::vector<std::vector<std::string>> handedOver_;  // not yet handled
};

// The message loop and the small system services.
class ApplicationPort final : public IApplicationPort {
 public:
  // Makes the application window; throws tw::Error when it cannot.
  explicit ApplicationPort(HINSTANCE instance);

  void ProcessMessages() override;
  void Terminate() override;
  bool Terminated() override { return terminated_; }
  void Beep() override { MessageBeep(0); }
  void ShowError(const std::string& message) override;
  std::string ProgramPath() override;
  std::vector<std::uint8_t> LoadResourceData(const std::string& name) override;
  std::string DecimalSeparator() override;

  // What runs each time the main loop's queue has just become empty, and
  // whenever a modal loop owned by the application window idles.
  void SetIdleHandler(std::function<void()> idle) { idle_ = std::move(idle); }
  void SetHandOverHandler(HandOverHandler handler) { window_.SetHandOverHandler(std::move(handler)); }
  // The main loop: runs until Terminate. Returns the exit code.
  int Run();

  // The owner of the dialogs and message boxes outside a run.
  [[nodiscard]] HWND Window() const { return window_.Handle(); }
  // The host window: while it is shown (topmost, over the whole screen) it
  // owns the error boxes, which would sit under it otherwise.
  void SetHostWindow(HWND host) { host_ = host; }
  [[nodiscard]] HWND ErrorOwner() const;
  // ShowError, for the windows' error display.
  [[nodiscard]] ErrorDisplay Errors() {
    return [this](const std::string& message) { ShowError(message); };
  }
  [[nodiscard]] HINSTANCE Instance() const { return instance_; }

 private:
  // False when WM_QUIT arrived.
  bool Dispatch(MSG& msg);
  void RunIdle() {
    if (idle_) idle_();
  }

  HINSTANCE instance_;
  HWND host_ = nullptr;
  bool terminated_ = false;
  int exitCode_ = 0;
  std::function<void()> idle_;
  ApplicationWindow window_;  // last: its callbacks reach the members above
};

// The command line after the program name, as UTF-8 arguments: this
// program's, or `commandLine`.
std::vector<std::string> CommandLineArguments();
std::vector<std::string> CommandLineArguments(const wchar_t* commandLine);

// The full path of Tarnwick.exe, however long; empty if Windows cannot say.
std::string ProgramFile();

}  // namespace tw::win32
