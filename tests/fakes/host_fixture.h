// A TfrmHost wired to fakes of every port, created as the program creates it.
#pragma once

#include <memory>

#include "app/host.h"
#include "app/trayicon/trayicon.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_hotkeys.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_tray.h"
#include "fakes/fakes.h"
#include "tools/dropper/dropper.h"
#include "tools/magnifier/magnifier.h"
#include "tools/measurer/measurer.h"
#include "tools/screenshot/screenshot.h"

namespace tw::fakes {

// The icon lists the fixture stores: list n holds pictures with palette
// indices 3n, 3n+1, 3n+2 (main icon n = 4, tool t: n = t).
inline int IconListBase(int tool) { return tool < 0 ? 12 : 3 * tool; }

struct HostFixture {
  CallLog log;
  FakeScreen screen{log};
  FakeHostWindow window{log};
  FakeApplication app{log};
  FakeMenus menus{log};
  FakeTrayPort tray;
  FakeRegistry registry;
  FakeHotKeys hotkeys;
  FakeInfoWindowFactory infoWindows{log};
  FakeClipboard clipboard{log};
  FakeSaveDialog saveDialog{log};
  FakeImageExport images{log};
  FakeDialogs dialogs{log};
  std::unique_ptr<TfrmHost> host;

  explicit HostFixture(bool create = true, ToolFactory makeTool = {}) {
    tray.shared = &log;
    infoWindows.cursor = &screen.cursor;
    registry.shared = &log;
    hotkeys.shared = &log;
    app.resources["XTIMAIN"] = MakeStoredIconList(3, static_cast<std::uint8_t>(IconListBase(-1)));
    const char* lists[] = {"XTIMAGNIFIER", "XTISCREENSHOT", "XTIMEASURER", "XTIDROPPER"};
    for (int t = 0; t < 4; ++t)
      app.resources[lists[t]] = MakeStoredIconList(3, static_cast<std::uint8_t>(IconListBase(t)));
    if (!makeTool) makeTool = ProgramTools({clipboard, saveDialog, images});
    host = std::make_unique<TfrmHost>(
        HostPorts{screen, window, app, menus, tray, registry, hotkeys, infoWindows, clipboard, dialogs}, makeTool);
    window.onPaint = [this] { host->FormPaint(window.surface->Bounds()); };
    if (create) host->FormCreate();
  }

  // The host's state as the fakes see it.
  [[nodiscard]] const Pixmap& Surface() const { return *window.surface; }
  [[nodiscard]] const Pixmap& Capture() const { return *screen.copiedTo; }
  [[nodiscard]] bool RunActive() const { return window.visible; }
  [[nodiscard]] TInfoWin* Info() const { return infoWindows.Current(); }
  // Whether the tray menu offers the tools now.
  bool ToolsEnabled() {
    host->pmnTrayPopup();
    return host->pmnTray.Find("mniMagnifier")->Enabled;
  }

  TMagnifier& magnifier() { return static_cast<TMagnifier&>(host->Tool(kMagnifier)); }
  TScreenshot& screenshot() { return static_cast<TScreenshot&>(host->Tool(kScreenshot)); }
  TMeasurer& measurer() { return static_cast<TMeasurer&>(host->Tool(kMeasurer)); }
  TDropper& dropper() { return static_cast<TDropper&>(host->Tool(kDropper)); }

  // The picture an icon shows now, as the state index of its list, or -1 for
  // a picture of another list (or none): main icon pictures count 0-2, a
  // tool's red picture on the main icon counts as 10 + tool.
  int ShownState(int tool) {
    const TIcon& shown = host->TrayIcon(tool).Icon();
    for (int s = 0; s < 3; ++s)
      if (shown == TIcon(MakeIconFile(static_cast<std::uint8_t>(IconListBase(tool) + s)))) return s;
    for (int t = 0; t < 4; ++t)
      if (shown == TIcon(MakeIconFile(static_cast<std::uint8_t>(IconListBase(t) + 1)))) return 10 + t;
    return -1;
  }
};

}  // namespace tw::fakes
