#include "app/about/about_win32.h"

#include <shellapi.h>

#include "core/error.h"
#include "platform/win32/convert.h"
#include "platform/win32/message_font.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

namespace {

// A dialog with no controls and no caption yet: both dialogs make their
// controls in pixels for the font they adopt, so nothing in dialog units
// would stay. A fixed dialog border and a close box. DWORD-aligned, as
// DialogBoxIndirectParamW wants.
alignas(4) constexpr WORD kEmptyTemplate[] = {
    LOWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
    HIWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
    0, 0,           // extended style
    0,              // no items
    0, 0, 200, 100,  // place and size, replaced as the dialog comes up
    0, 0, 0,        // no menu, the standard class, no title
};

COLORREF ToColorRef(ColorRef c) { return static_cast<COLORREF>(c); }

}  // namespace

BrandDialogSetup SystemBrandDialogSetup() {
  BrandDialogSetup setup;
  setup.messageFont = MessageFont();
  setup.openLink = [](HWND parent, const wchar_t* verb, const wchar_t* file, int show) {
    return reinterpret_cast<INT_PTR>(ShellExecuteW(parent, verb, file, nullptr, nullptr, show));
  };
  setup.beep = [] { MessageBeep(0); };
  return setup;
}

// --- what both dialogs share ---

BrandDialog::BrandDialog(HINSTANCE instance, ErrorDisplay errors, BrandDialogSetup setup, std::string_view caption)
    : DialogBase(instance, {.memory = reinterpret_cast<const DLGTEMPLATE*>(kEmptyTemplate)}, std::move(errors)),
      setup_(std::move(setup)),
      caption_(caption),
      // A program without the icon resource (a test) shows the band alone.
      icon_(static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, kIconPicture.width,
                                          kIconPicture.height, LR_DEFAULTCOLOR))) {}

void BrandDialog::AdoptFonts(int nameFontHeight) {
  dialogFont_ = CreateFontOf(setup_.messageFont);
  // The product name: the message face at its own scaled height.
  LOGFONTW name = setup_.messageFont;
  name.lfHeight = nameFontHeight;
  name.lfWidth = 0;
  nameFont_ = CreateFontOf(name);
  bandBrush_.reset(CreateSolidBrush(ToColorRef(kBandColor)));
  if (!bandBrush_) throw Error("Cannot create the band's brush");
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_.get()), FALSE);
  SetWindowTextW(Handle(), Widen(caption_).c_str());
}

HWND BrandDialog::AddControl(const wchar_t* className, int id, std::string_view text, DWORD style, HFONT font,
                             const Rect& place) {
  HWND control = CreateWindowExW(0, className, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, place.left,
                                 place.top, place.Width(), place.Height(), Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (control == nullptr) throw Error("Cannot create the control " + std::to_string(id));
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

HWND BrandDialog::AddLabel(int id, std::string_view text, HFONT font, const Rect& place, DWORD style) {
  Rect bounds = place;
  if (IsRectEmpty(place)) {
    // As a label that sizes itself: one line, as large as its text.
    const std::wstring wide = Widen(text);
    RECT r{0, 0, 0, 0};
    WindowDC dc(Handle());
    if (dc) {
      const SelectionRestorer selected(dc.get(), font);
      DrawTextW(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    bounds = MakeRect({place.left, place.top}, {r.right - r.left, r.bottom - r.top});
  }
  return AddControl(L"STATIC", id, text, SS_LEFT | SS_NOPREFIX | style, font, bounds);
}

void BrandDialog::AddOkButton(const Rect& place) {
  // Enter presses the default button and Escape sends IDCANCEL: both close.
  AddControl(L"BUTTON", IDOK, kOkCaption, WS_TABSTOP | BS_DEFPUSHBUTTON, dialogFont_.get(), place);
  SendMessageW(Handle(), DM_SETDEFID, IDOK, 0);
}

void BrandDialog::SizeAndCentre(Size client) {
  RECT frame{0, 0, client.width, client.height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(Handle(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR BrandDialog::FocusOk() {
  SetFocus(GetDlgItem(Handle(), IDOK));
  return FALSE;  // the focus is set
}

INT_PTR BrandDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: OnPaint(); return TRUE;
    case WM_CTLCOLORSTATIC:
      // A dialog procedure returns the brush itself for this message.
      return OnColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
      if (!OnSetCursor(reinterpret_cast<HWND>(wParam))) return FALSE;
      SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
      return TRUE;
    default: return DialogBase::HandleMessage(msg, wParam, lParam);
  }
}

void BrandDialog::OnPaint() {
  PaintGuard paint(Handle());
  if (paint.dc() == nullptr) return;
  const RECT band = ToRECT(band_);
  FillRect(paint.dc(), &band, bandBrush_.get());
  if (icon_)
    DrawIconEx(paint.dc(), iconPlace_.left, iconPlace_.top, icon_.get(), kIconPicture.width, kIconPicture.height, 0,
               nullptr, DI_NORMAL);
}

// --- the About box ---

TfrmAbout::TfrmAbout(HINSTANCE instance, ErrorDisplay errors, BrandDialogSetup setup)
    : BrandDialog(instance, std::move(errors), std::move(setup), kAboutCaption) {}

INT_PTR TfrmAbout::OnInitDialog() {
  const AboutLayout layout = ScaleAboutLayout(Setup().messageFont.lfHeight);
  BuildCommon(layout);
  // The link: the message face and size, underlined.
  LOGFONTW link = Setup().messageFont;
  link.lfUnderline = TRUE;
  linkFont_ = CreateFontOf(link);
  AddLabel(BrandControlId(AboutControl::lblURL), kProductUrl, linkFont_.get(), layout[AboutControl::lblURL],
           SS_NOTIFY);
  AddLabel(BrandControlId(AboutControl::lblVersion), kAboutVersion, DialogFont(), layout[AboutControl::lblVersion]);
  return FocusOk();
}

INT_PTR TfrmAbout::OnCommand(int id, int code, HWND control) {
  if (id == BrandControlId(AboutControl::lblURL) && code == STN_CLICKED) {
    lblURLClick();
    return TRUE;
  }
  return BrandDialog::OnCommand(id, code, control);
}

INT_PTR TfrmAbout::OnColorStatic(HDC dc, HWND control) {
  if (GetDlgCtrlID(control) != BrandControlId(AboutControl::lblURL)) return 0;
  SetTextColor(dc, ToColorRef(kLinkColor));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

bool TfrmAbout::OnSetCursor(HWND over) {
  if (over == nullptr || GetDlgCtrlID(over) != BrandControlId(AboutControl::lblURL)) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

void TfrmAbout::lblURLClick() {
  const std::wstring url = Widen(kProductUrl);
  const INT_PTR result = Setup().openLink ? Setup().openLink(Handle(), L"open", url.c_str(), SW_SHOWDEFAULT) : 0;
  // 32 and below is a failure: no browser, no association, no memory.
  if (result <= 32 && Setup().beep) Setup().beep();
}

// --- the welcome ---

TfrmFirstRun::TfrmFirstRun(HINSTANCE instance, ErrorDisplay errors, BrandDialogSetup setup)
    : BrandDialog(instance, std::move(errors), std::move(setup), kFirstRunCaption), text_(WelcomeText()) {}

INT_PTR TfrmFirstRun::OnInitDialog() {
  const FirstRunLayout layout = ScaleFirstRunLayout(Setup().messageFont.lfHeight);
  BuildCommon(layout);
  // A static control without SS_SIMPLE or SS_LEFTNOWORDWRAP wraps its words.
  AddLabel(BrandControlId(FirstRunControl::Label1), text_, DialogFont(), layout[FirstRunControl::Label1]);
  // Shown at the first start, perhaps behind what the user started since:
  // the program takes the foreground, and its dialog with it.
  if (HWND owner = GetWindow(Handle(), GW_OWNER)) SetForegroundWindow(owner);
  return FocusOk();
}

// --- showing them ---

void ShowAboutDialog(HINSTANCE instance, HWND owner, const ErrorDisplay& errors) {
  TfrmAbout dialog(instance, errors, SystemBrandDialogSetup());
  dialog.ShowModal(owner);
}

void ShowFirstRunDialog(HINSTANCE instance, HWND owner, const ErrorDisplay& errors) {
  TfrmFirstRun dialog(instance, errors, SystemBrandDialogSetup());
  dialog.ShowModal(owner);
}

}  // namespace tw::win32
