// Program start: the hidden host, its tray icons and the message loop.
#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <memory>

#include "app/host.h"
#include "app/host_win32.h"
#include "app/trayicon/trayicon_win32.h"
#include "infowin/infowin.h"
#include "platform/win32/application_win32.h"
#include "platform/win32/hotkeys_win32.h"
#include "platform/win32/menus_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/screen_win32.h"

namespace {

int RunProgram(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  tw::win32::ApplicationPort app(instance);
  tw::win32::ScreenPort screen;
  tw::win32::MenuPort menus;
  tw::win32::Win32RegistryPort registry;
  tw::win32::HostWindow window(instance, app);
  if (window.Handle() == nullptr) return 1;
  menus.SetOwner(window.Handle());
  app.SetErrorOwner(window.Handle());
  tw::win32::Win32HotKeyPort hotkeys(window.Handle());
  auto tray = tw::MakeWin32TrayPort(instance);
  tw::NoInfoWindowFactory infoWindows;

  tw::TfrmHost host({screen, window, app, menus, *tray, registry, hotkeys, infoWindows});
  window.SetHost(&host);
  window.SetArguments(tw::win32::CommandLineArguments());
  try {
    host.FormCreate();
  } catch (const std::exception& e) {
    app.ShowError(e.what());
  }
  // The first tick comes as soon as the loop runs, after the host exists.
  window.StartStartupTimer();

  const int code = app.Run([&host, &app] {
    try {
      host.ApplicationIdle();
    } catch (const std::exception& e) {
      app.ShowError(e.what());
    }
  });

  try {
    host.FormDestroy();
  } catch (const std::exception& e) {
    app.ShowError(e.what());
  }
  window.SetHost(nullptr);
  window.Destroy();
  return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunProgram(instance); }
