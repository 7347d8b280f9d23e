#include "infowin/infowin_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "core/error.h"
#include "platform/win32/convert.h"
#include "platform/win32/message_font.h"
#include "platform/win32/mouse_input.h"
#include "platform/win32/screen_win32.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

namespace {

constexpr COLORREF kWindowBackground = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBorderColor = RGB(0xD3, 0xD3, 0xD3);
constexpr COLORREF kCloseBackground = RGB(0xD4, 0x59, 0x47);
constexpr COLORREF kCloseGlyphColor = RGB(0xFF, 0xFF, 0xFF);

// Where a context menu was asked for: the mouse gives its point, the menu key
// none.
Point MenuPoint(LPARAM lParam) {
  if (lParam != -1) return PointOf(lParam);
  return CursorPosition();
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
  const COLORREF previous = SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc, previous);
}

void Place(HWND window, const Rect& r) {
  SetWindowPos(window, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

// The caption text's colour. Where the system's caption text is meant for a
// dark title bar (the classic schemes, Wine's default: white), it would not
// show on the white band, and the window text colour is used instead.
COLORREF CaptionTextColor() {
  const COLORREF c = GetSysColor(COLOR_CAPTIONTEXT);
  const int luminance = (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
  return luminance > 160 ? GetSysColor(COLOR_WINDOWTEXT) : c;
}

void RegisterPartClass(HINSTANCE instance, const wchar_t* name) {
  WindowBase::RegisterWindowClass(instance, {.name = name, .cursor = LoadCursorW(nullptr, IDC_ARROW)});
}

}  // namespace

// --- the parts ---

InfoPartWindow::InfoPartWindow(InfoWindowView& view, InfoControl control, HWND parent, const wchar_t* className,
                               const wchar_t* text, DWORD style, int id)
    : WindowBase(view.Errors()),
      view_(view),
      control_(control),
      background_(control.part == InfoPart::CloseButton ? kCloseBackground : kWindowBackground) {
  RegisterPartClass(view.Instance(), className);
  Create(view.Instance(), className,
         {.title = text, .style = WS_CHILD | style, .parent = parent});
  SetWindowLongPtrW(Handle(), GWLP_ID, id);
}

InfoPartWindow::~InfoPartWindow() { Destroy(); }

void InfoPartWindow::SetBackground(COLORREF color) {
  if (color == background_) return;
  background_ = color;
  InvalidateRect(Handle(), nullptr, FALSE);
}

bool InfoPartWindow::Clickable() const {
  return control_.part == InfoPart::CloseButton ||
         (control_.part == InfoPart::ValueLabel && IsCopyableRow(control_.row));
}

LRESULT InfoPartWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers everything
    case WM_SETTEXT: {
      const LRESULT result = Default(msg, wParam, lParam);
      InvalidateRect(Handle(), nullptr, FALSE);
      return result;
    }
    case WM_MOUSEMOVE:
      if (TInfoWin* owner = view_.Owner()) owner->MouseMove(control_, ShiftFromMouse(wParam));
      return 0;
    // Presses on the window are its own: none reaches the host.
    case WM_LBUTTONDOWN: OnButtonDown(); return 0;
    case WM_LBUTTONUP: OnButtonUp(PointOf(lParam)); return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return 0;
    case WM_CONTEXTMENU:
      // Handled here: passed on, it would bubble up to the host and open the
      // tool's menu. Nothing of this window is touched after the menu, which
      // may end the run and free the window.
      if (TInfoWin* owner = view_.Owner()) owner->ContextPopup(control_, MenuPoint(lParam));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT) break;
      SetCursor(LoadCursorW(nullptr, control_.part == InfoPart::ValueLabel && IsCopyableRow(control_.row)
                                         ? IDC_HAND
                                         : IDC_ARROW));
      return TRUE;
    default: break;
  }
  return Default(msg, wParam, lParam);
}

void InfoPartWindow::OnButtonDown() {
  if (!Clickable()) return;
  pressed_ = true;
  SetCapture(Handle());
}

void InfoPartWindow::OnButtonUp(Point at) {
  if (!pressed_) return;
  pressed_ = false;
  ReleaseCapture();
  RECT client{};
  GetClientRect(Handle(), &client);
  if (!PtInRect(ToRect(client), at)) return;
  TInfoWin* owner = view_.Owner();
  if (owner == nullptr) return;
  if (control_.part == InfoPart::CloseButton)
    owner->CloseClick();
  else
    owner->ValueClick(control_.row);
}

void InfoPartWindow::OnPaint() {
  PaintGuard paint(Handle());
  const HDC dc = paint.dc();
  if (dc == nullptr) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  if (control_.part == InfoPart::ZoomView) {
    view_.PaintZoom(dc);
    return;
  }
  FillSolid(dc, client, background_);
  const int length = GetWindowTextLengthW(Handle());
  if (length == 0) return;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(Handle(), text.data(), length + 1)));
  const bool close = control_.part == InfoPart::CloseButton;
  const HFONT font = close ? view_.CloseFont() : view_.Font();
  if (font == nullptr) return;
  SelectionRestorer selected(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, close ? kCloseGlyphColor : GetSysColor(COLOR_WINDOWTEXT));
  // Tabs go to the standard stops, eight average character widths apart.
  const UINT format = close ? DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX
                            : DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
}

// --- the window ---

InfoWindowView::InfoWindowView(HINSTANCE instance, HWND host, ErrorDisplay errors)
    : WindowBase(errors), instance_(instance), errors_(std::move(errors)) {
  font_ = CreateMessageFont();
  captionFont_ = CreateFontOf(CaptionFont());
  RegisterWindowClass(instance, {.name = kInfoWindowClass, .cursor = LoadCursorW(nullptr, IDC_ARROW)});
  Create(instance, kInfoWindowClass,
         {.title = L"Information",
          .style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
          .x = 8,
          .y = 8,
          .parent = host});

  auto part = [this](InfoControl control, HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    return std::make_unique<InfoPartWindow>(*this, control, parent, cls, text, style, id);
  };
  // The close glyph: "r" in Marlett.
  closeButton_ = part({InfoPart::CloseButton}, Handle(), kInfoPanelClass, L"r", WS_VISIBLE, kCloseButtonId);
  content_ = part({InfoPart::Content}, Handle(), kInfoPanelClass, L"", WS_VISIBLE | WS_CLIPCHILDREN, 2);
  zoomView_ = part({InfoPart::ZoomView}, content_->Handle(), kZoomViewClass, L"", WS_VISIBLE | WS_BORDER, 3);
  captionColumn_ =
      part({InfoPart::CaptionColumn}, content_->Handle(), kInfoPanelClass, L"", WS_VISIBLE | WS_CLIPCHILDREN, 4);
  valueColumn_ =
      part({InfoPart::ValueColumn}, content_->Handle(), kInfoPanelClass, L"", WS_VISIBLE | WS_CLIPCHILDREN, 5);
  for (int row = 0; row < static_cast<int>(kInfoRowCount); ++row) {
    const auto i = static_cast<std::size_t>(row);
    const std::wstring caption = Widen(kInfoRowCaptions[i]);
    captions_[i] = part({InfoPart::CaptionLabel, row}, captionColumn_->Handle(), kInfoLabelClass, caption.c_str(),
                        0, CaptionLabelId(row));
    values_[i] = part({InfoPart::ValueLabel, row}, valueColumn_->Handle(), kInfoLabelClass, L"", 0,
                      ValueLabelId(row));
  }

  // Tooltips are top-level windows of their own; topmost, or the host, which
  // is, would cover them.
  tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                 instance, nullptr));
  AddTooltip(closeButton_->Handle(), L"Close");
  for (int row = 0; row < static_cast<int>(kInfoRowCount); ++row)
    if (IsCopyableRow(row)) AddTooltip(values_[static_cast<std::size_t>(row)]->Handle(), L"Click to copy");
}

InfoWindowView::~InfoWindowView() {
  // From here on no event reaches the TInfoWin, which is going too.
  owner_ = nullptr;
  zoom_ = nullptr;
  tooltip_.reset();
  Destroy();
}

void InfoWindowView::AddTooltip(HWND part, const wchar_t* text) {
  if (!tooltip_) return;  // a window without tooltips still works
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(part);
  tool.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

InfoMetrics InfoWindowView::Metrics() {
  InfoMetrics m;
  m.smallCaption = GetSystemMetrics(SM_CYSMCAPTION);
  m.pixelsPerInch = ScreenDpiY();
  m.defaultFontHeight = DefaultMessageFont(m.pixelsPerInch).lfHeight;
  m.messageFontHeight = MessageFont().lfHeight;
  WindowDC screen(nullptr);
  TEXTMETRICW text{};
  if (screen) {
    SelectionRestorer selected(screen.get(), font_.get());
    GetTextMetricsW(screen.get(), &text);
  }
  m.labelHeight = text.tmHeight > 0 ? static_cast<int>(text.tmHeight) : 13;
  return m;
}

void InfoWindowView::ApplyLayout(const InfoLayout& layout) {
  layout_ = layout;
  LOGFONTW glyph{};
  glyph.lfHeight = layout.closeFontHeight;
  glyph.lfWeight = FW_NORMAL;
  glyph.lfCharSet = DEFAULT_CHARSET;
  constexpr wchar_t kMarlett[] = L"Marlett";
  std::copy(std::begin(kMarlett), std::end(kMarlett), glyph.lfFaceName);
  closeFont_ = CreateFontOf(glyph);

  SetWindowPos(Handle(), nullptr, 0, 0, layout.window.width, layout.window.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Place(closeButton_->Handle(), layout.closeButton);
  Place(content_->Handle(), layout.content);
  Place(zoomView_->Handle(), layout.zoomView);
  Place(captionColumn_->Handle(), layout.captionColumn);
  Place(valueColumn_->Handle(), layout.valueColumn);
  for (std::size_t row = 0; row < kInfoRowCount; ++row) {
    const int show = layout.rowShown[row] ? SW_SHOWNA : SW_HIDE;
    Place(captions_[row]->Handle(), layout.captionLabels[row]);
    Place(values_[row]->Handle(), layout.valueLabels[row]);
    ShowWindow(captions_[row]->Handle(), show);
    ShowWindow(values_[row]->Handle(), show);
  }
}

void InfoWindowView::SetRowText(int row, const std::string& text) {
  SetWindowTextW(values_.at(static_cast<std::size_t>(row))->Handle(), Widen(text).c_str());
}

void InfoWindowView::SetRowColor(int row, ColorRef color) {
  values_.at(static_cast<std::size_t>(row))->SetBackground(static_cast<COLORREF>(color));
}

void InfoWindowView::MoveTo(Point position) {
  SetWindowPos(Handle(), nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InfoWindowView::SetVisible(bool visible) { ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE); }

void InfoWindowView::ShowZoom(const Pixmap& zoom) {
  zoom_ = &zoom;
  WindowDC dc(zoomView_->Handle());
  if (dc) PaintZoom(dc.get());
}

void InfoWindowView::PaintZoom(HDC dc) const {
  if (zoom_ != nullptr) {
    PresentToDC(dc, *zoom_, zoom_->Bounds());
    return;
  }
  RECT client{};
  GetClientRect(zoomView_->Handle(), &client);
  FillSolid(dc, client, kWindowBackground);
}

void InfoWindowView::CaptureMouse() { SetCapture(Handle()); }

void InfoWindowView::ReleaseMouse() {
  if (GetCapture() == Handle()) ReleaseCapture();
}

Point InfoWindowView::CursorPos() { return CursorPosition(); }

LRESULT InfoWindowView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  TInfoWin* owner = owner_;
  switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers everything
    case WM_LBUTTONDOWN:
      if (owner != nullptr) owner->MouseDown(MouseButton::Left, PointOf(lParam));
      return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (owner != nullptr) owner->MouseDown(msg == WM_RBUTTONDOWN ? MouseButton::Right : MouseButton::Middle,
                                             PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
      if (owner != nullptr) owner->MouseUp();
      return 0;
    case WM_RBUTTONUP:
      if (owner != nullptr) owner->MouseUp();
      return Default(msg, wParam, lParam);  // WM_CONTEXTMENU follows
    case WM_MOUSEMOVE:
      if (owner != nullptr) owner->MouseMove({InfoPart::Window}, ShiftFromMouse(wParam));
      return 0;
    case WM_CAPTURECHANGED:
      if (owner != nullptr && reinterpret_cast<HWND>(lParam) != Handle()) owner->CaptureLost();
      return 0;
    case WM_CONTEXTMENU:
      // Not passed on (it would reach the host); nothing of this window is
      // touched after the menu.
      if (owner != nullptr) owner->ContextPopup({InfoPart::Window}, MenuPoint(lParam));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT) break;
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return TRUE;
    default: break;
  }
  return Default(msg, wParam, lParam);
}

void InfoWindowView::OnPaint() {
  PaintGuard paint(Handle());
  const HDC dc = paint.dc();
  if (dc == nullptr) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  // The window's background is never erased: what the parts leave (the
  // margins between border and content panel) is painted white here, or it
  // would show whatever was there before.
  FillSolid(dc, client, kWindowBackground);
  {
    UniqueBrush border(CreateSolidBrush(kBorderColor));
    if (border) FrameRect(dc, &client, border.get());
  }
  RECT band = ToRECT(layout_.captionBand);
  FillSolid(dc, band, kWindowBackground);
  RECT text = ToRECT(layout_.captionText);
  SelectionRestorer selected(dc, captionFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, CaptionTextColor());
  DrawTextW(dc, L"Information", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

std::unique_ptr<TInfoWin> InfoWindowFactory::Create(unsigned rowMask, IInfoWindowHost& host) {
  return std::make_unique<TInfoWin>(std::make_unique<InfoWindowView>(instance_, host_, errors_), host, rowMask);
}

}  // namespace tw::win32
