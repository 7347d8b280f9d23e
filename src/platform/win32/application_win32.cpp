#include "platform/win32/application_win32.h"

#include <shellapi.h>

#include <exception>
#include <utility>

#include "platform/win32/handles.h"
#include "platform/win32/instance_win32.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

namespace {
// Handed-over arguments are handled from the queue, never inside the
// WM_COPYDATA that brings them: the sender waits for its answer, and the
// message may arrive while the program is still setting itself up.
constexpr UINT kHandedOverMessage = WM_APP + 1;
// More waiting than any user starts programs: the rest is refused.
constexpr std::size_t kHandOversWaiting = 8;
}  // namespace

ApplicationWindow::ApplicationWindow(HINSTANCE instance, std::function<void()> onIdle, ErrorDisplay errors)
    : WindowBase(std::move(errors)), onIdle_(std::move(onIdle)) {
  RegisterWindowClass(instance, {.name = kApplicationWindowClass});
  // A tool window: hidden as it is, it must never get a task bar button.
  Create(instance, kApplicationWindowClass,
         {.exStyle = WS_EX_TOOLWINDOW, .title = kApplicationWindowTitle, .style = WS_POPUP});
}

LRESULT ApplicationWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ENTERIDLE: OnEnterIdle(); return 0;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam)) ? TRUE : FALSE;
    case kHandedOverMessage: OnHandedOver(); return 0;
    default: return Default(msg, wParam, lParam);
  }
}

void ApplicationWindow::OnEnterIdle() {
  if (onIdle_) onIdle_();
}

void ApplicationWindow::SetHandOverHandler(HandOverHandler handler) {
  onHandOver_ = std::move(handler);
  if (onHandOver_ && !handedOver_.empty()) PostMessageW(Handle(), kHandedOverMessage, 0, 0);
}

bool ApplicationWindow::OnCopyData(const COPYDATASTRUCT* data) {
  if (data == nullptr || handedOver_.size() >= kHandOversWaiting) return false;
  auto args = HandedOverArguments(*data);
  if (!args) return false;
  handedOver_.push_back(std::move(*args));
  PostMessageW(Handle(), kHandedOverMessage, 0, 0);
  return true;
}

void ApplicationWindow::OnHandedOver() {
  if (!onHandOver_) return;
  // The handler may open a dialog, whose loop brings the next ones here.
  for (const auto& args : std::exchange(handedOver_, {})) onHandOver_(args);
}

ApplicationPort::ApplicationPort(HINSTANCE instance)
    : instance_(instance), window_(instance, [this] { RunIdle(); }, Errors()) {}

bool ApplicationPort::Dispatch(MSG& msg) {
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    exitCode_ = static_cast<int>(msg.wParam);
    return false;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

void ApplicationPort::ProcessMessages() {
  MSG msg;
  while (!terminated_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!Dispatch(msg)) {
      // The main loop must see the quit as well.
      PostQuitMessage(exitCode_);
      break;
    }
  }
}

void ApplicationPort::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

int ApplicationPort::Run() {
  MSG msg;
  for (;;) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      if (!Dispatch(msg)) return exitCode_;
    // The one try/catch of the main loop; the windows have their own.
    try {
      RunIdle();
    } catch (const std::exception& e) {  // tw::Error included
      ShowError(e.what());
    } catch (...) {
      ShowError("Unexpected error");
    }
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) continue;
    WaitMessage();
  }
}

HWND ApplicationPort::ErrorOwner() const {
  if (host_ != nullptr && IsWindowVisible(host_) != FALSE) return host_;
  return window_.Handle();
}

void ApplicationPort::ShowError(const std::string& message) {
  const HWND owner = ErrorOwner();
  // Without an owner the box stops every window of the thread instead.
  const UINT modality = owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL;
  MessageBoxW(owner, Widen(message).c_str(), L"Tarnwick", MB_OK | MB_ICONERROR | modality);
}

std::string ApplicationPort::ProgramPath() { return ProgramFile(); }

std::string ProgramFile() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {  // 0 included: no path
      path.resize(n);
      return Narrow(path);
    }
    path.resize(path.size() * 2);  // a long path: try again with room
  }
}

std::string ApplicationPort::DecimalSeparator() {
  wchar_t text[8] = {};  // at most three characters and the terminator
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) <= 1) return ".";
  return Narrow(text);
}

std::vector<std::uint8_t> ApplicationPort::LoadResourceData(const std::string& name) {
  const std::wstring wide = Widen(name);
  HRSRC info = FindResourceW(instance_, wide.c_str(), RT_RCDATA);
  if (info == nullptr) return {};
  HGLOBAL loaded = LoadResource(instance_, info);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(instance_, info);
  if (data == nullptr || size == 0) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return {bytes, bytes + size};
}

std::vector<std::string> CommandLineArguments() { return CommandLineArguments(GetCommandLineW()); }

std::vector<std::string> CommandLineArguments(const wchar_t* commandLine) {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(commandLine, &count);
  const UniqueLocal block(argv);  // the strings live in the same block
  std::vector<std::string> args;
  if (argv == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(argv[i]));
  return args;
}

}  // namespace tw::win32
