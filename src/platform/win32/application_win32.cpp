#include "platform/win32/application_win32.h"

#include <shellapi.h>

#include "platform/win32/utf.h"

namespace tw::win32 {

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

int ApplicationPort::Run(const std::function<void()>& idle) {
  MSG msg;
  for (;;) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      if (!Dispatch(msg)) return exitCode_;
    if (idle) idle();
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) continue;
    WaitMessage();
  }
}

void ApplicationPort::ShowError(const std::string& message) {
  MessageBoxW(errorOwner_, Widen(message).c_str(), L"Tarnwick", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

std::string ApplicationPort::ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return Narrow(path);
    }
    path.resize(path.size() * 2);  // a long path: try again with room
  }
}

std::vector<std::uint8_t> ApplicationPort::LoadResourceData(const std::string& name) {
  const std::wstring wide = Widen(name);
  HRSRC info = FindResourceW(instance_, wide.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (info == nullptr) return {};
  HGLOBAL loaded = LoadResource(instance_, info);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(instance_, info);
  if (data == nullptr || size == 0) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return {bytes, bytes + size};
}

std::vector<std::string> CommandLineArguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  if (argv == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(argv[i]));
  LocalFree(argv);
  return args;
}

}  // namespace tw::win32
