#include "app/preferences/setup_win32.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "app/preferences/help_popup_win32.h"
#include "app/preferences/setup_ids.h"
#include "core/error.h"
#include "platform/win32/controls.h"
#include "platform/win32/convert.h"
#include "platform/win32/dialog_base.h"
#include "platform/win32/handles.h"
#include "platform/win32/message_font.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

namespace {

using C = SetupControl;

int ControlId(C c) {
  if (c == C::btnOk) return IDOK;
  if (c == C::btnCancel) return IDCANCEL;
  return IDC_SETUP_FIRST + static_cast<int>(c);
}

constexpr std::array<C, kToolCount> kTrayBoxes{C::chbMagnifier, C::chbScreenshot, C::chbMeasurer, C::chbDropper};
constexpr std::array<C, kToolCount> kHotKeyFields{C::htkMagnifier, C::htkScreenshot, C::htkMeasurer, C::htkDropper};
constexpr std::array<C, kRadioItems> kContrastItems{C::rbHighContrastOff, C::rbHighContrastMedium, C::rbHighContrastHigh};
constexpr std::array<C, kRadioItems> kCursorItems{C::rbCursorNone, C::rbCursorArrow, C::rbCursorCross};

bool IsHotKeyControl(HWND window) {
  wchar_t name[32] = {};
  return GetClassNameW(window, name, 32) > 0 && lstrcmpiW(name, HOTKEY_CLASSW) == 0;
}

// The message-filter hook of the dialog that is open. It lives here, not in
// the dialog object, because the hook procedure is handed nothing of ours and
// must still pass the handle on; the program shows one Preferences dialog at
// a time, on its one user-interface thread, and the dialog sets and clears it.
UniqueHook filterHook;

// What F1 sends from any other control: WM_HELP to the dialog for `control`.
void AskForHelp(HWND control) {
  HELPINFO help{.cbSize = sizeof(HELPINFO),
                .iContextType = HELPINFO_WINDOW,
                .iCtrlId = GetDlgCtrlID(control),
                .hItemHandle = control,
                .dwContextId = 0,
                .MousePos = ToPOINT(CursorPosition())};
  SendMessageW(GetAncestor(control, GA_ROOT), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
}

// Alt+letter in a hot-key field is the combination the user wants, not the
// mnemonic of a check box that would also be ticked.
LRESULT CALLBACK SwallowMnemonicsInHotKeyFields(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg != nullptr && msg->message == WM_SYSCHAR && IsHotKeyControl(msg->hwnd)) return TRUE;
    // F1 in a hot-key field asks for help, as everywhere in the dialog; the
    // field would otherwise take it as its key.
    if (msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && msg->wParam == VK_F1 &&
        IsHotKeyControl(msg->hwnd)) {
      if (msg->message == WM_KEYDOWN) AskForHelp(msg->hwnd);
      return TRUE;
    }
  }
  return CallNextHookEx(filterHook.get(), code, wParam, lParam);
}

// The number fields' key filter: digits, '.' and Backspace pass, anything
// else beeps.
LRESULT CALLBACK NumberFieldProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA));
  if (msg == WM_CHAR && !TfrmSetup::KeyPasses(static_cast<char32_t>(wParam))) {
    MessageBeep(0);
    return 0;
  }
  return CallWindowProcW(previous, edit, msg, wParam, lParam);
}

class SetupDialog final : public DialogBase {
 public:
  SetupDialog(HINSTANCE instance, const ErrorDisplay& errors, TfrmSetup& form)
      : DialogBase(instance, DialogTemplate{.resource = IDD_SETUP}, errors), instance_(instance), form_(form) {}
  ~SetupDialog() override { Unhook(); }
  SetupDialog(const SetupDialog&) = delete;
  SetupDialog& operator=(const SetupDialog&) = delete;

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_HSCROLL: UpdateValueLabels(); return TRUE;
      case WM_DRAWITEM:
        if (wParam == static_cast<WPARAM>(ControlId(C::pnlCalibrator))) {
          pntCalibratorPaint(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
          return TRUE;
        }
        return FALSE;
      case WM_HELP: OnHelp(*reinterpret_cast<const HELPINFO*>(lParam)); return TRUE;
      case WM_DESTROY: Unhook(); return FALSE;
      default: return DialogBase::HandleMessage(msg, wParam, lParam);
    }
  }

  INT_PTR OnInitDialog() override {
    FormCreate();
    CopyIn();
    UpdateValueLabels();
    filterHook.reset(SetWindowsHookExW(WH_MSGFILTER, &SwallowMnemonicsInHotKeyFields, nullptr, GetCurrentThreadId()));
    return TRUE;
  }

  INT_PTR OnCommand(int id, int code, HWND control) override {
    if (code == EN_CHANGE) {
      // The spin control only remembers a number once asked about it: ask at
      // every change, so that OK stores the last valid number typed.
      if (id == ControlId(C::edtDPI)) {
        ReadPosition(C::udnDPI, form_.Values.dpi, dpi_);
        InvalidateRect(Item(C::pnlCalibrator), nullptr, TRUE);
      } else if (id == ControlId(C::edtJPEGQuality)) {
        ReadPosition(C::udnJPEGQuality, form_.Values.jpegQuality, jpegQuality_);
      }
      return TRUE;
    }
    return DialogBase::OnCommand(id, code, control);
  }

  void OnOk() override {
    SetupValues v = form_.Values;
    for (std::size_t t = 0; t < kToolCount; ++t) {
      v.trayIcons[t] = IsDlgButtonChecked(Handle(), ControlId(kTrayBoxes[t])) == BST_CHECKED;
      const HotKeyEntry entry = HotKeyField(Item(kHotKeyFields[t])).HotKey();
      v.hotKeys[t] = {entry.key, entry.modifiers};
    }
    ReadTrackBars(v);
    v.highContrast = CheckedItem(kContrastItems);
    v.magnifierCursor = CheckedItem(kCursorItems);
    v.dpi = dpi_;
    v.jpegQuality = jpegQuality_;
    v.autoStart = IsDlgButtonChecked(Handle(), ControlId(C::chbAutoStart)) == BST_CHECKED;
    form_.Values = v;
    Accept();
  }

 private:
  HWND Item(C c) const { return GetDlgItem(Handle(), ControlId(c)); }
  LRESULT Send(C c, UINT msg, WPARAM wParam, LPARAM lParam) const {
    return SendDlgItemMessageW(Handle(), ControlId(c), msg, wParam, lParam);
  }

  void FormCreate() {
    const LOGFONTW messageFont = MessageFont();
    font_ = CreateFontOf(messageFont);
    for (int i = 0; i < kSetupControlCount; ++i)
      SendMessageW(Item(static_cast<C>(i)), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    const SetupLayout layout = ScaleSetupLayout(static_cast<int>(messageFont.lfHeight));
    for (int i = 0; i < kSetupControlCount; ++i) {
      const Rect& r = layout.bounds[static_cast<std::size_t>(i)];
      SetWindowPos(Item(static_cast<C>(i)), nullptr, r.left, r.top, r.Width(), r.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame{0, 0, layout.client.width, layout.client.height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    // Centred on the work area once its final size is known.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(Handle(), nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);

    for (C edit : {C::edtDPI, C::edtJPEGQuality}) {
      const HWND field = Item(edit);
      SetWindowLongPtrW(field, GWLP_USERDATA, GetWindowLongPtrW(field, GWLP_WNDPROC));
      SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NumberFieldProc));
    }
    Send(C::edtDPI, EM_LIMITTEXT, 4, 0);
    Send(C::edtJPEGQuality, EM_LIMITTEXT, 3, 0);
  }

  void CopyIn() {
    const SetupValues& v = form_.Values;
    for (std::size_t t = 0; t < kToolCount; ++t) {
      CheckDlgButton(Handle(), ControlId(kTrayBoxes[t]), v.trayIcons[t] ? BST_CHECKED : BST_UNCHECKED);
      HotKeyField(Item(kHotKeyFields[t])).SetHotKey({v.hotKeys[t].key, v.hotKeys[t].modifiers});
    }
    // Ranges before positions, and both before the first paint: a ruler
    // painted at 0 pixels per inch would have no inch to step by.
    const auto track = [this](C c, SetupRange range, std::int32_t pos) {
      const TrackBar bar(Item(c));
      bar.SetRange(range.min, range.max);
      bar.SetPageSize(1);
      bar.SetPos(pos);
    };
    track(C::trbWidth, kLensTrackRange, v.width);
    track(C::trbHeight, kLensTrackRange, v.height);
    track(C::trbZoom, kZoomTrackRange, v.zoom);
    CheckItem(kContrastItems, v.highContrast);
    CheckItem(kCursorItems, v.magnifierCursor);
    const auto spin = [this](C c, C edit, SetupRange range, std::int32_t pos) {
      const UpDown updown(Item(c));
      updown.SetBuddy(Item(edit));
      updown.SetRange(range.min, range.max);
      updown.SetPos(pos);
    };
    dpi_ = v.dpi;
    jpegQuality_ = v.jpegQuality;
    spin(C::udnDPI, C::edtDPI, kDpiRange, v.dpi);
    spin(C::udnJPEGQuality, C::edtJPEGQuality, kJpegQualityRange, v.jpegQuality);
    CheckDlgButton(Handle(), ControlId(C::chbAutoStart), v.autoStart ? BST_CHECKED : BST_UNCHECKED);
  }

  void ReadPosition(C spin, std::int32_t& value, std::int32_t& lastValid) {
    if (const std::optional<std::int32_t> pos = UpDown(Item(spin)).Pos()) lastValid = *pos;
    value = lastValid;
  }

  // The lens size and zoom as the track bars show them, for OK and for the
  // value labels alike.
  void ReadTrackBars(SetupValues& v) const {
    v.width = TrackBar(Item(C::trbWidth)).Pos();
    v.height = TrackBar(Item(C::trbHeight)).Pos();
    v.zoom = TrackBar(Item(C::trbZoom)).Pos();
  }

  void CheckItem(const std::array<C, kRadioItems>& items, int index) {
    for (int i = 0; i < kRadioItems; ++i)
      CheckDlgButton(Handle(), ControlId(items[static_cast<std::size_t>(i)]), i == index ? BST_CHECKED : BST_UNCHECKED);
  }
  int CheckedItem(const std::array<C, kRadioItems>& items) const {
    for (int i = 0; i < kRadioItems; ++i)
      if (IsDlgButtonChecked(Handle(), ControlId(items[static_cast<std::size_t>(i)])) == BST_CHECKED) return i;
    return -1;
  }

  void UpdateValueLabels() {
    TfrmSetup shown;
    ReadTrackBars(shown.Values);
    SetDlgItemTextW(Handle(), ControlId(C::lblWidthValue), Widen(shown.WidthValueText()).c_str());
    SetDlgItemTextW(Handle(), ControlId(C::lblHeightValue), Widen(shown.HeightValueText()).c_str());
    SetDlgItemTextW(Handle(), ControlId(C::lblZoomValue), Widen(shown.ZoomValueText()).c_str());
  }

  void pntCalibratorPaint(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    const Rect r = ToRect(item.rcItem);
    FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
    const RulerPlan plan = PlanCalibratorRuler({r.Width(), r.Height()}, dpi_);
    const SelectionRestorer pen(dc, GetStockObject(BLACK_PEN));
    const SelectionRestorer font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (const RulerLine& line : plan.lines) {
      MoveToEx(dc, r.left + line.a.x, r.top + line.a.y, nullptr);
      LineTo(dc, r.left + line.b.x, r.top + line.b.y);
    }
    for (const RulerNumber& n : plan.numbers) {
      const std::wstring text = Widen(n.text);
      RECT at{r.left + n.x, r.top + n.y, r.left + n.x, r.top + n.y};
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &at,
                DT_SINGLELINE | DT_CENTER | DT_NOCLIP | (n.above ? DT_BOTTOM : 0));
    }
  }

  void OnHelp(const HELPINFO& help) {
    const int index = help.iCtrlId - IDC_SETUP_FIRST;
    C control = C::Count;
    if (help.iCtrlId == IDOK) control = C::btnOk;
    else if (help.iCtrlId == IDCANCEL) control = C::btnCancel;
    else if (index >= 0 && index < kSetupControlCount) control = static_cast<C>(index);
    const int topic = control == C::Count ? 0 : SetupHelpTopic(control);
    // Beside the control the help is for, or below the caption for the
    // dialog's general help.
    RECT anchor{};
    const auto item = static_cast<HWND>(help.hItemHandle);
    if (topic == 0 || help.iContextType != HELPINFO_WINDOW || !IsWindow(item) || !GetWindowRect(item, &anchor)) {
      GetWindowRect(Handle(), &anchor);
      anchor.bottom = anchor.top + GetSystemMetrics(SM_CYCAPTION);
    }
    ShowHelpPopup(instance_, Handle(), ToRect(anchor), std::string(SetupHelpText(topic)));
  }

  void Unhook() { filterHook.reset(); }

  HINSTANCE instance_;
  TfrmSetup& form_;
  UniqueFont font_;
  std::int32_t dpi_ = 96, jpegQuality_ = 50;
};

}  // namespace

bool ShowSetupDialog(HINSTANCE instance, HWND owner, const ErrorDisplay& errors, TfrmSetup& form) {
  // The form keeps what it was given unless the dialog ends with OK.
  TfrmSetup working = form;
  SetupDialog dialog(instance, errors, working);
  if (!dialog.ShowModal(owner)) return false;
  form.Values = working.Values;
  return true;
}

}  // namespace tw::win32
