// The About box and the welcome on Win32: modal dialogs of the same look, laid
// out in code for the message font they adopt (app/about/about.h has their
// layouts and texts).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "app/about/about.h"
#include "platform/win32/dialog_base.h"
#include "platform/win32/handles.h"

namespace tw::win32 {

// What the link does with its address when clicked: ShellExecuteW's
// arguments that count, and its result (above 32 when it opened).
using LinkOpener = std::function<INT_PTR(HWND parent, const wchar_t* verb, const wchar_t* file, int show)>;

// What the dialogs take from the system; a test passes its own.
struct BrandDialogSetup {
  LOGFONTW messageFont{};
  LinkOpener openLink;
  std::function<void()> beep;
};

// The message font now, ShellExecuteW and MessageBeep(0).
BrandDialogSetup SystemBrandDialogSetup();

// What the two dialogs share: the band with the program icon, the product
// name, the description and OK; placed at the centre of the screen.
class BrandDialog : public DialogBase {
 public:
  // The OK button, the labels (by id), the band and the icon's place, once
  // the dialog is up; for tests.
  [[nodiscard]] HWND Control(int id) const { return GetDlgItem(Handle(), id); }
  [[nodiscard]] const Rect& Band() const { return band_; }
  [[nodiscard]] const Rect& IconPlace() const { return iconPlace_; }

 protected:
  BrandDialog(HINSTANCE instance, ErrorDisplay errors, BrandDialogSetup setup, std::string_view caption);

  // The fonts, the band, the icon, the name, the description and OK, the
  // dialog sized and centred; the rest is each dialog's own.
  template <typename Control>
  void BuildCommon(const BrandDialogLayout<Control>& layout) {
    AdoptFonts(layout.nameFontHeight);
    band_ = layout[Control::Shape1];
    iconPlace_ = CentredPicture(layout[Control::imgIcon]);
    AddLabel(BrandControlId(Control::lblTarnwick), kProductName, NameFont(), layout[Control::lblTarnwick]);
    AddLabel(BrandControlId(Control::lblDescription), kProductDescription, DialogFont(),
             layout[Control::lblDescription]);
    AddOkButton(layout[Control::btnOK]);
    SizeAndCentre(layout.client);
  }
  // A static control; an empty `place` sizes it to its text.
  HWND AddLabel(int id, std::string_view text, HFONT font, const Rect& place, DWORD style = 0);
  [[nodiscard]] HFONT DialogFont() const { return dialogFont_.get(); }
  [[nodiscard]] HFONT NameFont() const { return nameFont_.get(); }
  [[nodiscard]] const BrandDialogSetup& Setup() const { return setup_; }
  // Focus on OK; what OnInitDialog returns then.
  INT_PTR FocusOk();

  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // WM_CTLCOLORSTATIC: a brush for the control, or 0 for the default.
  virtual INT_PTR OnColorStatic(HDC, HWND) { return 0; }
  // WM_SETCURSOR: true when a cursor was set.
  virtual bool OnSetCursor(HWND) { return false; }

 private:
  void OnPaint();
  void AdoptFonts(int nameFontHeight);
  void AddOkButton(const Rect& place);
  HWND AddControl(const wchar_t* className, int id, std::string_view text, DWORD style, HFONT font, const Rect& place);
  void SizeAndCentre(Size client);

  BrandDialogSetup setup_;
  std::string caption_;
  UniqueFont dialogFont_;
  UniqueFont nameFont_;
  UniqueBrush bandBrush_;
  UniqueIcon icon_;
  Rect band_{};
  Rect iconPlace_{};
};

// TfrmAbout: the name, the description, the link and the version.
class TfrmAbout final : public BrandDialog {
 public:
  TfrmAbout(HINSTANCE instance, ErrorDisplay errors, BrandDialogSetup setup);

 private:
  INT_PTR OnInitDialog() override;
  INT_PTR OnCommand(int id, int code, HWND control) override;
  INT_PTR OnColorStatic(HDC dc, HWND control) override;
  bool OnSetCursor(HWND over) override;
  void lblURLClick();

  UniqueFont linkFont_;
};

// TfrmFirstRun: the name, the description and the welcome text; it brings
// the program to the foreground as it shows.
class TfrmFirstRun final : public BrandDialog {
 public:
  TfrmFirstRun(HINSTANCE instance, ErrorDisplay errors, BrandDialogSetup setup);

 private:
  INT_PTR OnInitDialog() override;
  const std::string text_;
};

// Each shows its dialog owned by `owner` until it closes; tw::Error when it
// cannot show.
void ShowAboutDialog(HINSTANCE instance, HWND owner, const ErrorDisplay& errors);
void ShowFirstRunDialog(HINSTANCE instance, HWND owner, const ErrorDisplay& errors);

}  // namespace tw::win32
