#include "app/host.h"

#include "app/about/about.h"
#include "app/run_context.h"
#include "app/shortcut_text.h"
#include "app/trayicon/trayicon.h"
#include "core/error.h"
#include "core/paths.h"

namespace tw {

namespace {

struct TrayIconDefinition {
  int tag;
  const char* hint;
  const char* iconList;  // the RCDATA resource holding the stored icon list
};

constexpr TrayIconDefinition kMainIcon{-1, "Tarnwick", "XTIMAIN"};
constexpr std::array<TrayIconDefinition, kToolCount> kToolIcons{{
    {kMagnifier, "Magnifier", "XTIMAGNIFIER"},
    {kScreenshot, "Screenshot", "XTISCREENSHOT"},
    {kMeasurer, "Measurer", "XTIMEASURER"},
    {kDropper, "Dropper", "XTIDROPPER"},
}};

}  // namespace

TfrmHost::TfrmHost(const HostPorts& ports, const ToolFactory& makeTool)
    : ports_(ports), infoWin_(ports.infoWindows, *this), runContext_(std::make_unique<RunContext>(*this)) {
  for (int t = 0; t < kToolCount; ++t) {
    tools_[static_cast<std::size_t>(t)] = makeTool(t, *runContext_);
    if (!tools_[static_cast<std::size_t>(t)]) throw Error("No tool " + std::to_string(t));
  }
  BuildMenus();
  BuildTrayIcons();
}

TfrmHost::~TfrmHost() {
  if (created_) {
    try {
      FormDestroy();
    } catch (...) {
      // Destruction must not throw; FormDestroy reports through the error
      // display when it runs from the shell.
    }
  }
}

void TfrmHost::BuildMenus() {
  pmnTray.Name = "pmnTray";
  auto start = [this](TMenuItem& item) { mniStartClick(item); };
  pmnTray.Add({.Name = "mniExit", .Caption = "E&xit", .OnClick = [this](TMenuItem&) { mniExitClick(); }});
  pmnTray.Add({.Name = "mniSep1", .Caption = "-"});
  pmnTray.Add({.Name = "mniAbout", .Caption = "&About...", .OnClick = [this](TMenuItem&) { mniAboutClick(); }});
  pmnTray.Add({.Name = "mniPreferences",
               .Caption = "&Preferences...",
               .OnClick = [this](TMenuItem&) { mniPreferencesClick(); }});
  pmnTray.Add({.Name = "mniSep2", .Caption = "-"});
  pmnTray.Add({.Name = "mniMagnifier", .Caption = "Ma&gnifier", .Tag = kMagnifier, .OnClick = start});
  pmnTray.Add({.Name = "mniScreenshot", .Caption = "&Screenshot", .Tag = kScreenshot, .OnClick = start});
  pmnTray.Add({.Name = "mniMeasurer", .Caption = "&Measurer", .Tag = kMeasurer, .OnClick = start});
  pmnTray.Add({.Name = "mniDropper", .Caption = "&Dropper", .Tag = kDropper, .OnClick = start});
  pmnTray.OnPopup = [this] { pmnTrayPopup(); };
  BuildInfoMenu();
}

void TfrmHost::BuildTrayIcons() {
  auto make = [this](const TrayIconDefinition& def) {
    auto icon = std::make_unique<TTrayIcon>(ports_.tray, ports_.menus, ports_.app);
    icon->Tag = def.tag;
    icon->SetActive(false);
    icon->SetHint(def.hint);
    icon->SetPopupMenu(&pmnTray);
    const auto stored = ports_.app.LoadResourceData(def.iconList);
    if (!stored.empty()) icon->Icons().LoadFromStream(stored);
    return icon;
  };
  xtiMain_ = make(kMainIcon);
  xtiMain_->OnClick = [this](TTrayIcon& sender) { xtiMainClick(sender); };
  for (const auto& def : kToolIcons) {
    auto& icon = xtiTools_[static_cast<std::size_t>(def.tag)];
    icon = make(def);
    icon->OnMouseUp = [this](TTrayIcon& sender, MouseButton button, ShiftState shift, int x, int y) {
      xtiMouseUp(sender, button, shift, x, y);
    };
  }
  xtiMain_->Loaded();
  for (auto& icon : xtiTools_) icon->Loaded();
}

TTool& TfrmHost::Tool(int tool) { return *tools_.at(static_cast<std::size_t>(tool)); }

TTrayIcon& TfrmHost::TrayIcon(int tool) {
  if (tool == kMainIcon.tag) return *xtiMain_;
  return *xtiTools_.at(static_cast<std::size_t>(tool));
}

void TfrmHost::FormCreate() {
  created_ = true;
  surface_.Resize(ports_.screen.ScreenSize().width, ports_.screen.ScreenSize().height);
  ports_.window.AttachSurface(&surface_);
  LoadSettingsAtStart();
  // Switching to another program always ends a run: the shell reports the
  // application's deactivation to OnApplicationDeactivate.
  helpFile_ = FolderOfPath(ports_.app.ProgramPath()) + "Tarnkit.hlp";
  UpdateTrayIcons();
  SetIconState(IconState::Normal, kAllTools);
  RegisterHotKeysNow();
  ports_.window.RegisterScreenCursors();
}

void TfrmHost::FormDestroy() {
  if (!created_) return;
  created_ = false;
  UnregisterHotKeysNow();
  EndTool();
}

bool TfrmHost::FormCloseQuery() {
  if (ports_.window.HostVisible()) {
    HideHostWindow();
    return false;
  }
  return true;
}

void TfrmHost::FormClose() {
  // The host is the main window: closing it ends the program.
  ports_.app.Terminate();
}

void TfrmHost::StartupTimerTick(const std::vector<std::string>& args) {
  // Asked first and always: a first start is recorded even with "/F".
  const bool firstStart = IsFirstStartNow();
  if (tw::FirstRunDue(firstStart, args)) RunFirstRunFlow();
}

void TfrmHost::SetIconState(IconState iconState, unsigned tools) {
  const int state = static_cast<int>(iconState);
  auto pick = [](TTrayIcon& icon, int index) {
    TIconList& list = icon.Icons();
    if (index < list.Count()) icon.SetIcon(list[index]);
  };
  for (int t = 0; t < kToolCount; ++t)
    if ((tools & (1u << t)) != 0) pick(*xtiTools_[static_cast<std::size_t>(t)], state);
  if (iconState == IconState::Running) {
    if (currentTool_ >= 0 && currentTool_ < kToolCount) {
      TIconList& list = xtiTools_[static_cast<std::size_t>(currentTool_)]->Icons();
      if (list.Count() > state) xtiMain_->SetIcon(list[state]);
    }
  } else {
    pick(*xtiMain_, state);
  }
}

void TfrmHost::UpdateTrayIcons() {
  // A dialog that the session's end closed must not bring its icons back.
  if (sessionEnded_) return;
  for (int t = 0; t < kToolCount; ++t)
    xtiTools_[static_cast<std::size_t>(t)]->SetActive((Settings.IconFlags & (1u << t)) != 0);
  xtiMain_->SetActive((Settings.IconFlags & kAllTools) == 0);
}

void TfrmHost::mniStartClick(TMenuItem& sender) { StartTool(sender.Tag); }

void TfrmHost::xtiMouseUp(TTrayIcon& sender, MouseButton button, ShiftState, int, int) {
  if (button != MouseButton::Left) return;
  if (toolsEnabled_)
    StartTool(sender.Tag);
  else
    ports_.app.Beep();
}

void TfrmHost::xtiMainClick(TTrayIcon& sender) {
  // A right click already opened the menu inside the tray icon; this is the
  // left click, which opens the same menu where the cursor is.
  const Point at = ports_.screen.CursorPos();
  sender.Popup(at.x, at.y);
}

void TfrmHost::pmnTrayPopup() {
  for (const char* name : {"mniMagnifier", "mniScreenshot", "mniMeasurer", "mniDropper", "mniPreferences", "mniAbout"})
    pmnTray.Find(name)->Enabled = toolsEnabled_;
  for (const char* name : {"mniMagnifier", "mniScreenshot", "mniMeasurer", "mniDropper"}) {
    TMenuItem& item = *pmnTray.Find(name);
    item.ShortCutText = ShortCutToText(Settings.ToolKey(item.Tag));
  }
}

void TfrmHost::mniExitClick() { ports_.app.Terminate(); }

void TfrmHost::OnApplicationDeactivate() { EndTool(); }

void TfrmHost::ApplicationIdle() {
  if (!idleHandler_) return;
  auto handler = std::move(idleHandler_);
  idleHandler_ = nullptr;
  handler();
}

}  // namespace tw
