// Program start: the application window, the hidden host, its tray icons and
// the message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/dialogs_win32.h"
#include "app/host_win32.h"
#include "app/trayicon/trayicon_win32.h"
#include "imaging/win32/gdip_loader.h"
#include "imaging/win32/imaging_ports.h"
#include "imaging/win32/save_dialog_win32.h"
#include "infowin/infowin_win32.h"
#include "platform/win32/application_win32.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/hotkeys_win32.h"
#include "platform/win32/instance_win32.h"
#include "platform/win32/menus_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/screen_win32.h"
#include "platform/win32/utf.h"

// The GDI and USER objects the program holds, for a long test of many runs
// that watches them from outside: it starts a thread in this process at one
// of these addresses and takes the thread's exit code. The system's own
// count (GetGuiResources) is not available everywhere the tests run.
extern "C" __declspec(dllexport) DWORD WINAPI TarnwickLiveGdiObjects(void*) {
  return static_cast<DWORD>(tw::win32::LiveHandles(tw::win32::HandleKind::Gdi));
}
extern "C" __declspec(dllexport) DWORD WINAPI TarnwickLiveUserObjects(void*) {
  return static_cast<DWORD>(tw::win32::LiveHandles(tw::win32::HandleKind::User));
}

namespace {

// COM for the shell and the common dialogs, apartment-threaded as they
// expect; undone when the program ends.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

int RunProgram(HINSTANCE instance) {
  // One copy per session: a second start hands its command line to the
  // running copy and leaves before it makes a window or an icon or touches
  // the registry, so the two never save over each other.
  const tw::win32::InstanceClaim claim;
  if (!claim.First()) {
    tw::win32::HandOverToRunningCopy(GetCommandLineW());
    return 0;
  }
  // GDI+ first, kept until the very end: every export uses it. Without it
  // the program runs, and a save says why it cannot.
  const tw::win32::TGdipLoaderFull gdiplus;
  const ComApartment com;
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
  // Owned by the host while it covers the screen (a dialog under it would
  // be hidden), by the application window otherwise.
  tw::win32::SaveDialogPort saveDialog([&app] { return app.ErrorOwner(); });
  tw::win32::ImageExport images(gdiplus);
  tw::win32::DialogPort dialogs(instance, app.Window(), app.Errors());

  tw::TfrmHost host({screen, window, app, menus, *tray, registry, hotkeys, infoWindows, clipboard, dialogs},
                    tw::ProgramTools({clipboard, saveDialog, images}));
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
  app.SetHandOverHandler([&host](const std::vector<std::string>& args) { host.OnSecondStart(args); });
  const int code = app.Run();
  app.SetHandOverHandler(nullptr);
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
