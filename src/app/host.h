// TfrmHost: the program object. It owns the settings record, the tray icons
// and menus, and the tool-run state, and carries the handlers that the shell
// calls as window messages arrive. Between runs it is hidden; during a run it
// covers the screen with the frozen capture.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dialog_port.h"
#include "core/geometry.h"
#include "core/pixmap.h"
#include "infowin/infowin.h"
#include "model/settings.h"
#include "platform/menu.h"
#include "platform/ports.h"
#include "tools/tools.h"

namespace tw {

class TTrayIcon;
class ITrayPort;
class IRegistryPort;
class IHotKeyPort;

// Everything the host reaches Windows through itself; what only the tools
// use comes to them with their factory.
struct HostPorts {
  IScreenPort& screen;
  IHostWindowPort& window;
  IApplicationPort& app;
  IMenuPort& menus;
  ITrayPort& tray;
  IRegistryPort& registry;
  IHotKeyPort& hotkeys;
  IInfoWindowFactory& infoWindows;
  IClipboardPort& clipboard;  // the info window's values
  IDialogPort& dialogs;
};

// The picture a tray icon shows, as its index in the icon's list.
enum class IconState { Normal = 0, Running = 1, Disabled = 2 };

class TfrmHost final : private IInfoWindowHost {
 public:
  TfrmHost(const HostPorts& ports, const ToolFactory& makeTool);
  ~TfrmHost() override;
  TfrmHost(const TfrmHost&) = delete;
  TfrmHost& operator=(const TfrmHost&) = delete;

  // --- lifecycle ---
  void FormCreate();
  void FormDestroy();
  // True when the close may go ahead; a visible host hides instead.
  bool FormCloseQuery();
  void FormClose();
  // The one-shot start-up timer: the first-run flow.
  void StartupTimerTick(const std::vector<std::string>& args);

  // --- tray host ---
  void SetIconState(IconState state, unsigned tools);
  void UpdateTrayIcons();
  void mniStartClick(TMenuItem& sender);
  void xtiMouseUp(TTrayIcon& sender, MouseButton button, ShiftState shift, int x, int y);
  void xtiMainClick(TTrayIcon& sender);
  void pmnTrayPopup();
  void mniExitClick();
  // Preferences: the dialog with the hot keys off and the tools disabled
  // meanwhile; OK stores and saves what it shows.
  void mniPreferencesClick();
  // The About box, with the tools disabled meanwhile; the hot keys stay.
  void mniAboutClick();
  void OnHotKey(std::uintptr_t id);
  void OnApplicationDeactivate();
  // The application's idle moment: runs the idle handler, if one is installed.
  void ApplicationIdle();

  // --- tool run ---
  void StartTool(int tool);
  void EndTool();
  // A while after a run's end, the capture's memory is given back.
  void ReleaseRunMemory();
  static constexpr unsigned kRunMemoryKeptMs = 60'000;
  void FormShow();
  // Restores `area` of the surface from the capture and lets the running
  // tool redraw its overlay there; the shell then shows it.
  void FormPaint(const Rect& area);
  void FormHide();
  void FormMouseDown(MouseButton button, ShiftState shift, int x, int y);
  void FormMouseMove(ShiftState shift, int x, int y);
  void FormMouseUp(MouseButton button, ShiftState shift, int x, int y);
  void FormKeyDown(unsigned key, ShiftState shift);
  // The host's right-click menu; false when there is none (Magnifier).
  bool FormContextPopup(Point at);
  // WM_SETCURSOR over the host: true when a cursor was set here.
  bool OnSetCursor(bool cursorOverHost);

  // --- the program's edges (host_session.cpp) ---
  // A second start in this session handed over its arguments and left: "/F"
  // asks for the welcome and Preferences, or for the dialog already open.
  void OnSecondStart(const std::vector<std::string>& args);
  // The session ends (WM_ENDSESSION): a run ends as EndTool ends it, the
  // icons and hot keys go, and the program ends; an open dialog ends with
  // it, Preferences as Cancel. Nothing comes back afterwards.
  void EndSession();
  // The display's size or colour depth changed: a run on the old picture ends.
  void DisplayChanged();

  // --- the info window's menu ---
  void pmnInfoWinPopup();
  void mniHideInfoClick();
  void mniCopyInfoClick();
  void mniInfoZoomClick(TMenuItem& sender);

  // --- state, read by the shell and the tools ---
  TSettings Settings;

  // The tray icons, by tool number; -1 is the main icon, and any other
  // number is out of range.
  [[nodiscard]] TTrayIcon& TrayIcon(int tool);
  // The tool objects, by tool number (0-3).
  [[nodiscard]] TTool& Tool(int tool);

  TPopupMenu pmnTray;
  TPopupMenu pmnInfoWin;

 private:
  // What the info window reports.
  void InfoMouseMove(ShiftState shift) override;
  void InfoContextPopup(const InfoControl& control, Point at) override;
  void InfoCopyText(const std::string& text) override;

  // Runs `dialog` with nothing starting from the tray meanwhile, then runs
  // `restore` and puts the tools back whatever happened; an Error from the
  // dialog is shown after that.
  void WithToolsOff(const std::function<void()>& dialog, const std::function<void()>& restore);
  // Opens `menu` during the run and runs the chosen command if the run is
  // still the one going on when the menu closes.
  void PopupInRun(TPopupMenu& menu, Point at);
  void BuildMenus();
  void BuildInfoMenu();
  // The zoom item that matches InfoScale carries the check mark; none when
  // no item does.
  void CheckInfoScaleItem();
  void BuildTrayIcons();
  void ShowHostWindow();
  void HideHostWindow();
  // The run's info window, if its tool has one: made, placed, shown, and
  // filled in at the cursor.
  void OpenInfoWindow(TTool& running, Size screen);
  // The tool of the run in progress, or nullptr.
  TTool* RunningTool();
  void LoadSettingsAtStart();
  void SaveSettingsNow();
  void RegisterHotKeysNow();
  void UnregisterHotKeysNow();
  bool IsFirstStartNow();
  // The welcome, then Preferences as from the tray menu.
  void RunFirstRunFlow();

  HostPorts ports_;
  TInfoWinSlot infoWin_;
  std::unique_ptr<TTrayIcon> xtiMain_;
  std::array<std::unique_ptr<TTrayIcon>, kToolCount> xtiTools_;

  class RunContext;
  std::unique_ptr<RunContext> runContext_;
  std::array<std::unique_ptr<TTool>, kToolCount> tools_;

  std::unique_ptr<IDesktopCanvas> desktopCanvas_;  // held for the run
  Pixmap capture_;
  Pixmap surface_;
  std::function<void()> idleHandler_;
  std::string helpFile_;
  InfoControl infoPopupControl_;

  int currentTool_ = 0;
  std::uint64_t runCount_ = 0;  // numbers the runs: the current one is runCount_
  bool runActive_ = false;
  bool starting_ = false;
  bool toolsEnabled_ = true;
  bool created_ = false;
  bool sessionEnded_ = false;
};

}  // namespace tw
