#include "fakes/fakes.h"

#include <algorithm>
#include <utility>

#include "core/error.h"

namespace tw::fakes {

FakeScreen::FakeScreen(CallLog& l, Size s) : log(l) { SetSize(s); }

void FakeScreen::SetSize(Size s) {
  size = s;
  desktop.Resize(size.width, size.height);
  // A picture in which every pixel differs from its neighbours, so that any
  // misplaced copy shows.
  for (int y = 0; y < size.height; ++y)
    for (int x = 0; x < size.width; ++x)
      desktop.SetPixel(x, y, (static_cast<PixelValue>(x) << 12) ^ static_cast<PixelValue>(y) ^ 0x00A05000u);
}

namespace {

class FakeDesktopCanvas final : public IDesktopCanvas {
 public:
  explicit FakeDesktopCanvas(FakeScreen& screen) : screen_(screen) { screen_.canvasHeld = true; }
  ~FakeDesktopCanvas() override {
    screen_.log.Add("release desktop");
    screen_.canvasHeld = false;
  }
  void CopyTo(const Rect& area, Pixmap& target) override {
    screen_.log.Add("copy desktop");
    screen_.copiedTo = &target;
    RestorePixels(target, screen_.desktop, area);
  }

 private:
  FakeScreen& screen_;
};

}  // namespace

std::unique_ptr<IDesktopCanvas> FakeScreen::AcquireDesktopCanvas() {
  log.Add("acquire desktop");
  if (!acquireSucceeds) return nullptr;
  return std::make_unique<FakeDesktopCanvas>(*this);
}

void FakeHostWindow::ShowHost() {
  log.Add("show host");
  visible = true;
  RepaintHost();  // showing a window paints it
}

void FakeHostWindow::HideHost() {
  log.Add("hide host");
  visible = false;
}

void FakeHostWindow::RepaintHost() {
  log.Add("repaint");
  if (onPaint) onPaint();
  if (surface != nullptr) presented.push_back(surface->Bounds());
}

void FakeHostWindow::SetWindowCursor(CursorShape shape) { windowCursors.push_back(shape); }

int FakeMenus::PopupMenu(const TPopupMenu& menu, Point at) {
  log.Add("popup " + menu.Name);
  shown.push_back({menu.Name, at, menu.Items});
  open = true;
  if (whileOpen) whileOpen();
  if (!std::exchange(open, false)) return -1;  // ended meanwhile
  for (std::size_t i = 0; i < menu.Items.size(); ++i)
    if (!choose.empty() && menu.Items[i].Name == choose) return menu.Items[i].Enabled ? static_cast<int>(i) : -1;
  return -1;
}

void FakeApplication::ProcessMessages() {
  log.Add("process messages");
  auto now = std::move(pending);
  pending.clear();
  for (auto& message : now) message();
}

void FakeMenus::EndMenu() {
  if (std::exchange(open, false)) log.Add("end menu");
}

std::vector<std::uint8_t> FakeApplication::LoadResourceData(const std::string& name) {
  auto it = resources.find(name);
  return it == resources.end() ? std::vector<std::uint8_t>{} : it->second;
}

void FakeInfoView::SetRowText(int row, const std::string& text) {
  texts.at(static_cast<std::size_t>(row)) = text;
}

void FakeInfoView::SetRowColor(int row, ColorRef color) { colors.at(static_cast<std::size_t>(row)) = color; }

FakeInfoView::~FakeInfoView() {
  if (alive != nullptr && *alive == this) *alive = nullptr;
}

std::unique_ptr<TInfoWin> FakeInfoWindowFactory::Create(unsigned rowMask, IInfoWindowHost& host) {
  log.Add("create info window");
  masks.push_back(rowMask);
  if (!enabled) {
    last = nullptr;
    return nullptr;
  }
  auto view = std::make_unique<FakeInfoView>(log);
  view->metrics = metrics;
  view->cursor = cursor;
  view->alive = &last;
  last = view.get();
  return std::make_unique<TInfoWin>(std::move(view), host, rowMask);
}

void FakeClipboard::SetText(const std::string& t) {
  log.Add("clipboard text " + t);
  if (held) throw Error("Cannot open clipboard");
  text = t;
}

void FakeClipboard::SetBitmap(const Pixmap& picture) {
  log.Add("clipboard bitmap " + std::to_string(picture.Width()) + "x" + std::to_string(picture.Height()));
  if (held) throw Error("Cannot open clipboard");
  bitmap = picture;
  ++bitmaps;
}

std::optional<SaveDialogResult> FakeSaveDialog::Execute(const SaveDialogRequest& request,
                                                        const std::function<void(int)>& onTypeChange) {
  log.Add("save dialog");
  requests.push_back(request);
  for (int index : typeChanges) onTypeChange(index);
  if (whileOpen) whileOpen();
  return answer;
}

void FakeImageExport::SaveBitmapToFile(const Pixmap& bitmap, const std::string& fileName, int formatIndex,
                                       int quality) {
  log.Add("save " + fileName + " as " + std::to_string(formatIndex));
  if (!failure.empty()) throw Error(failure);
  saved.push_back({bitmap, fileName, formatIndex, quality});
}

namespace {

void PutLE32(std::vector<std::uint8_t>& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

void PutLE16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

std::vector<std::uint8_t> MakeIconFile(std::uint8_t index) {
  std::vector<std::uint8_t> f;
  PutLE16(f, 0);   // reserved
  PutLE16(f, 1);   // type: icon
  PutLE16(f, 1);   // one image
  f.push_back(16); // width
  f.push_back(16); // height
  f.push_back(16); // colours
  f.push_back(0);
  PutLE16(f, 1);   // planes
  PutLE16(f, 4);   // bits per pixel
  PutLE32(f, 40 + 64 + 128 + 64);
  PutLE32(f, 22);  // offset of the image
  PutLE32(f, 40);  // BITMAPINFOHEADER
  PutLE32(f, 16);
  PutLE32(f, 32);  // XOR and AND masks stacked
  PutLE16(f, 1);
  PutLE16(f, 4);
  for (int i = 0; i < 6; ++i) PutLE32(f, 0);
  for (int i = 0; i < 16; ++i) PutLE32(f, i * 0x111111);
  const auto nibbles = static_cast<std::uint8_t>(((index & 0xF) << 4) | (index & 0xF));
  f.insert(f.end(), 128, nibbles);
  f.insert(f.end(), 64, 0);
  return f;
}

std::vector<std::uint8_t> MakeStoredIconList(int count, std::uint8_t base) {
  std::vector<std::uint8_t> out;
  PutLE32(out, count);
  for (int i = 0; i < count; ++i) {
    const auto icon = MakeIconFile(static_cast<std::uint8_t>(base + i));
    PutLE32(out, static_cast<std::int32_t>(icon.size()));
    out.insert(out.end(), icon.begin(), icon.end());
  }
  return out;
}

}  // namespace tw::fakes
