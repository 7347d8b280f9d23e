// Program start: the application window, the hidden host, its tray icons and
// the message loop.
#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <memory>
#include <string>

#include "app/host.h"
#include "app/host_win32.h"
#include "app/trayicon/trayicon_win32.h"
#include "infowin/infowin_win32.h"
#include "platform/win32/application_win32.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/hotkeys_win32.h"
#include "platform/win32/menus_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/screen_win32.h"
#include "platform/win32/utf.h"

namespace {

int RunProgram(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  tw::win32::ApplicationPort app(instance);
  tw::win32::ScreenPort screen;
  tw::win32::MenuPort menus;
  tw::win32::Win32RegistryPort registry;
  tw::win32::HostWindow window(instance, app);
  menus.SetOwner(window.Handle());
  app.SetHostWindow(window.Handle());
  tw::win32::Win32HotKeyPort hotkeys(window.Handle());
  auto tray = tw::MakeWin32TrayPort(instance, app.Errors());
  tw::win32::InfoWindowFactory infoWindows(instance, window.Handle(), app.Errors());
  tw::win32::ClipboardPort clipboard(window.Handle());

  tw::TfrmHost host({screen, window, app, menus, *tray, registry, hotkeys, infoWindows, clipboard});
  window.SetHost(&host);
  window.SetArguments(tw::win32::CommandLineArguments());
  try {
    host.FormCreate();
  } catch (const std::exception& e) {
    app.ShowError(e.what());
  }
  // The first tick comes as soon as the loop runs, after the host exists.
  window.StartStartupTimer();

  app.SetIdleHandler([&host] { host.ApplicationIdle(); });
  const int code = app.Run();
  app.SetIdleHandler(nullptr);

  try {
    host.FormDestroy();
  } catch (const std::exception& e) {
    app.ShowError(e.what());
  }
  window.SetHost(nullptr);
  window.Destroy();
  return code;
}

// What ends the program before or outside the loop: shown, so that a program
// that cannot even make its windows does not vanish without a word.
void ShowFatalError(const char* what) noexcept {
  try {
    const std::wstring text = L"Tarnwick cannot go on.\n\n" + tw::win32::Widen(what);
    MessageBoxW(nullptr, text.c_str(), L"Tarnwick", MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  } catch (...) {
    MessageBoxW(nullptr, L"Tarnwick cannot go on.", L"Tarnwick", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    return RunProgram(instance);
  } catch (const std::exception& e) {  // tw::Error included
    ShowFatalError(e.what());
  } catch (...) {
    ShowFatalError("Unexpected error");
  }
  return 1;
}
