// A dialog template built in memory, for testing the dialog base without a
// resource: DLGTEMPLATE, then DLGITEMTEMPLATEs of predefined classes, each
// on a DWORD boundary.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace tw::win32::testing {

class DialogTemplateBuilder {
 public:
  static constexpr WORD kButton = 0x0080;

  DialogTemplateBuilder(std::wstring_view title, short cx, short cy) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    Dword(style);
    Dword(0);   // extended style
    words_.push_back(0);  // item count, filled in as items come
    for (short v : {short{10}, short{10}, cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    Text(title);
  }

  // A control of a predefined class (`atom`) or, with `className`, of a
  // registered one.
  DialogTemplateBuilder& Item(WORD id, WORD atom, std::wstring_view text, short x, short y, short cx, short cy,
                              DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP, std::wstring_view className = {}) {
    if (words_.size() % 2 != 0) words_.push_back(0);
    Dword(style);
    Dword(0);
    for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(id);
    if (className.empty()) {
      words_.push_back(0xFFFF);
      words_.push_back(atom);
    } else {
      Text(className);
    }
    Text(text);
    words_.push_back(0);  // no creation data
    ++words_[4];
    return *this;
  }

  [[nodiscard]] const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Dword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  void Text(std::wstring_view s) {
    for (wchar_t c : s) words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
  }

  // operator new's alignment covers the template's DWORD alignment.
  std::vector<WORD> words_;
};

// OK and Cancel, the smallest dialog worth showing.
inline DialogTemplateBuilder OkCancelTemplate() {
  DialogTemplateBuilder t(L"Tarnwick test dialog", 160, 60);
  t.Item(IDOK, DialogTemplateBuilder::kButton, L"OK", 20, 35, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
  t.Item(IDCANCEL, DialogTemplateBuilder::kButton, L"Cancel", 90, 35, 50, 14);
  return t;
}

}  // namespace tw::win32::testing
