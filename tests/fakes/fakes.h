// In-memory stand-ins for the host's ports. Each records what it was asked,
// in order, and can be told what to answer.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/menu.h"
#include "fakes/call_log.h"
#include "infowin/infowin.h"
#include "platform/ports.h"

namespace tw::fakes {

class FakeScreen final : public IScreenPort {
 public:
  explicit FakeScreen(CallLog& log, Size size = {320, 200});
  Size ScreenSize() override { return size; }
  Point CursorPos() override { return cursor; }
  int LogicalDpi() override { return dpi; }
  bool AcquireDesktopCanvas() override;
  void CopyFromDesktop(const Rect& area, Pixmap& target) override;
  void ReleaseDesktopCanvas() override;

  Size size;
  Point cursor{0, 0};
  int dpi = 96;
  bool acquireSucceeds = true;
  bool canvasHeld = false;
  Pixmap desktop;  // what the screen shows now; a test may change it
  CallLog& log;
};

class FakeHostWindow final : public IHostWindowPort {
 public:
  explicit FakeHostWindow(CallLog& callLog) : log(callLog) {}
  void AttachSurface(const Pixmap* s) override { surface = s; }
  void RegisterScreenCursors() override { log.Add("register cursors"); }
  void ShowHost() override;
  void HideHost() override;
  bool HostVisible() override { return visible; }
  void BringHostToForeground() override { log.Add("foreground"); }
  void Present(const Rect& area) override { presented.push_back(area); }
  void RepaintHost() override;
  void SetWindowCursor(CursorShape shape) override;
  void SetCursorNow(CursorShape shape) override { cursorNow.push_back(shape); }

  const Pixmap* surface = nullptr;
  bool visible = false;
  std::vector<Rect> presented;
  std::vector<CursorShape> windowCursors;
  std::vector<CursorShape> cursorNow;
  // What the shell does on a repaint: FormPaint, then showing everything.
  std::function<void()> onPaint;
  CallLog& log;
};

class FakeMenus final : public IMenuPort {
 public:
  explicit FakeMenus(CallLog& callLog) : log(callLog) {}
  int PopupMenu(const TPopupMenu& menu, Point at) override;

  struct Shown {
    std::string menu;
    Point at;
    std::vector<TMenuItem> items;  // a copy as shown (enabled, captions)
  };
  std::vector<Shown> shown;
  // The item the "user" picks, by name; empty picks nothing.
  std::string choose;
  std::function<void()> whileOpen;
  CallLog& log;
};

class FakeApplication final : public IApplicationPort {
 public:
  explicit FakeApplication(CallLog& callLog) : log(callLog) {}
  void ProcessMessages() override;
  void Terminate() override {
    log.Add("terminate");
    terminated = true;
  }
  bool Terminated() override { return terminated; }
  void Beep() override {
    log.Add("beep");
    ++beeps;
  }
  void ShowError(const std::string& message) override {
    log.Add("error: " + message);
    errors.push_back(message);
  }
  std::string ProgramPath() override { return programPath; }
  std::vector<std::uint8_t> LoadResourceData(const std::string& name) override;

  // Messages "waiting in the queue": run, once each, by the next
  // ProcessMessages.
  std::vector<std::function<void()>> pending;
  bool terminated = false;
  int beeps = 0;
  std::vector<std::string> errors;
  std::string programPath = "C:\\Tools\\Tarnwick.exe";
  std::map<std::string, std::vector<std::uint8_t>> resources;
  CallLog& log;
};

class FakeInfoWindow final : public IInfoWindow {
 public:
  Point Position() const override { return position; }
  void MoveTo(Point p) override { position = p; }
  bool Visible() const override { return visible; }
  void SetVisible(bool v) override { visible = v; }
  Point position{0, 0};
  bool visible = true;
};

class FakeInfoWindowFactory final : public IInfoWindowFactory {
 public:
  explicit FakeInfoWindowFactory(CallLog& callLog) : log(callLog) {}
  std::unique_ptr<IInfoWindow> Create(unsigned rowMask) override;
  bool enabled = true;  // false: behave as a build without info windows
  std::vector<unsigned> masks;
  FakeInfoWindow* last = nullptr;  // valid while the host keeps it
  CallLog& log;
};

// A 16x16 16-colour icon file whose pixels are all palette entry `index`;
// 318 bytes. `index` tells pictures apart in tests.
std::vector<std::uint8_t> MakeIconFile(std::uint8_t index);
// An icon list in its stored form with `count` pictures MakeIconFile(base + i).
std::vector<std::uint8_t> MakeStoredIconList(int count, std::uint8_t base);

}  // namespace tw::fakes
