// In-memory stand-ins for the host's ports. Each records what it was asked,
// in order, and can be told what to answer.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "fakes/call_log.h"
#include "infowin/infowin.h"
#include "platform/image_export.h"
#include "tools/screenshot/save_dialog.h"
#include "infowin/info_layout.h"
#include "platform/ports.h"

namespace tw::fakes {

class FakeScreen final : public IScreenPort {
 public:
  explicit FakeScreen(CallLog& log, Size size = {320, 200});
  // A screen of another size, with the same kind of picture.
  void SetSize(Size s);
  Size ScreenSize() override { return size; }
  Point CursorPos() override { return cursor; }
  int LogicalDpi() override { return dpi; }
  // Logs "acquire desktop"; the canvas logs "copy desktop" and, as it goes,
  // "release desktop".
  std::unique_ptr<IDesktopCanvas> AcquireDesktopCanvas() override;

  Size size;
  Point cursor{0, 0};
  int dpi = 96;
  bool acquireSucceeds = true;
  bool canvasHeld = false;
  Pixmap desktop;  // what the screen shows now; a test may change it
  const Pixmap* copiedTo = nullptr;  // the host's capture, once a run copied
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
  void StartRunMemoryTimer(unsigned milliseconds) override { memoryTimer = milliseconds; }

  const Pixmap* surface = nullptr;
  unsigned memoryTimer = 0;
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
  // Logged only when a menu is open (while `whileOpen` runs).
  void EndMenu() override;

  struct Shown {
    std::string menu;
    Point at;
    std::vector<TMenuItem> items;  // a copy as shown (enabled, captions)
  };
  std::vector<Shown> shown;
  // The item the "user" picks, by name; empty picks nothing.
  std::string choose;
  std::function<void()> whileOpen;
  bool open = false;
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
  std::string DecimalSeparator() override { return decimalSeparator; }
  std::vector<std::uint8_t> LoadResourceData(const std::string& name) override;

  // Messages "waiting in the queue": run, once each, by the next
  // ProcessMessages.
  std::vector<std::function<void()>> pending;
  bool terminated = false;
  int beeps = 0;
  std::vector<std::string> errors;
  std::string programPath = "C:\\Tools\\Tarnwick.exe";
  std::string decimalSeparator = ".";
  std::map<std::string, std::vector<std::uint8_t>> resources;
  CallLog& log;
};

// The info window's view: what the window on screen was told.
class FakeInfoView final : public IInfoWindowView {
 public:
  explicit FakeInfoView(CallLog& callLog) : log(callLog) {}
  ~FakeInfoView() override;
  FakeInfoView(const FakeInfoView&) = delete;
  FakeInfoView& operator=(const FakeInfoView&) = delete;
  void Attach(TInfoWin& o) override { owner = &o; }
  InfoMetrics Metrics() override { return metrics; }
  void ApplyLayout(const InfoLayout& l) override { layout = l; }
  void SetRowText(int row, const std::string& text) override;
  void SetRowColor(int row, ColorRef color) override;
  void MoveTo(Point p) override { position = p; }
  void SetVisible(bool v) override { visible = v; }
  void ShowZoom(const Pixmap& zoom) override { shownZoom = zoom; ++zoomShows; }
  void CaptureMouse() override { log.Add("info capture"); captured = true; }
  void ReleaseMouse() override { log.Add("info release"); captured = false; }
  Point CursorPos() override { return cursor ? *cursor : Point{}; }

  TInfoWin* owner = nullptr;
  InfoMetrics metrics{};
  InfoLayout layout{};
  std::array<std::string, kInfoRowCount> texts;
  std::array<ColorRef, kInfoRowCount> colors{};
  Point position{};
  bool visible = false;
  bool captured = false;
  Pixmap shownZoom;
  int zoomShows = 0;
  const Point* cursor = nullptr;  // the screen's cursor, when wired to one
  FakeInfoView** alive = nullptr;  // cleared when the host frees the window
  CallLog& log;
};

class FakeInfoWindowFactory final : public IInfoWindowFactory {
 public:
  explicit FakeInfoWindowFactory(CallLog& callLog) : log(callLog) {}
  std::unique_ptr<TInfoWin> Create(unsigned rowMask, IInfoWindowHost& host) override;
  bool enabled = true;  // false: behave as a build without info windows
  std::vector<unsigned> masks;
  InfoMetrics metrics{};
  const Point* cursor = nullptr;
  FakeInfoView* last = nullptr;  // the host's window; nullptr once it is freed
  [[nodiscard]] TInfoWin* Current() const { return last != nullptr ? last->owner : nullptr; }
  CallLog& log;
};

class FakeClipboard final : public IClipboardPort {
 public:
  explicit FakeClipboard(CallLog& callLog) : log(callLog) {}
  void SetText(const std::string& t) override;
  void SetBitmap(const Pixmap& picture) override;
  bool held = false;  // another program holds it open
  std::string text;
  Pixmap bitmap;
  int bitmaps = 0;
  CallLog& log;
};

// The save dialog: answers with `answer` (nullopt: the user cancels) after
// reporting the type changes listed in `typeChanges`.
class FakeSaveDialog final : public ISaveDialogPort {
 public:
  explicit FakeSaveDialog(CallLog& callLog) : log(callLog) {}
  std::optional<SaveDialogResult> Execute(const SaveDialogRequest& request,
                                          const std::function<void(int)>& onTypeChange) override;
  std::vector<SaveDialogRequest> requests;
  std::vector<int> typeChanges;
  std::optional<SaveDialogResult> answer;
  std::function<void()> whileOpen;  // what happens meanwhile (a run ends...)
  CallLog& log;
};

class FakeImageExport final : public IImageExport {
 public:
  explicit FakeImageExport(CallLog& callLog) : log(callLog) {}
  void SaveBitmapToFile(const Pixmap& bitmap, const std::string& fileName, int formatIndex, int quality) override;
  struct Saved {
    Pixmap bitmap;
    std::string fileName;
    int formatIndex;
    int quality;
  };
  std::vector<Saved> saved;
  std::string failure;  // non-empty: the save throws this
  CallLog& log;
};

// A 16x16 16-colour icon file whose pixels are all palette entry `index`;
// 318 bytes. `index` tells pictures apart in tests.
std::vector<std::uint8_t> MakeIconFile(std::uint8_t index);
// An icon list in its stored form with `count` pictures MakeIconFile(base + i).
std::vector<std::uint8_t> MakeStoredIconList(int count, std::uint8_t base);

}  // namespace tw::fakes
