// The info window's value labels as another program finds them: children of
// the host with the label class and the row's control id.
#pragma once

#include <windows.h>

#include <string>

#include "infowin/infowin_ids.h"

namespace e2e {

// The label of value row `row`, or nullptr.
inline HWND ValueLabel(HWND host, int row) {
  struct Search {
    int id;
    HWND found;
  } search{tw::ValueLabelId(row), nullptr};
  EnumChildWindows(
      host,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        wchar_t name[32] = {};
        GetClassNameW(hwnd, name, 32);
        if (GetDlgCtrlID(hwnd) != s->id || std::wstring(name) != tw::kInfoLabelClass) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline std::wstring ValueText(HWND host, int row) {
  wchar_t text[128] = {};
  if (HWND label = ValueLabel(host, row)) GetWindowTextW(label, text, 128);
  return text;
}

inline RECT LabelRect(HWND host, int row) {
  RECT r{};
  if (HWND label = ValueLabel(host, row)) GetWindowRect(label, &r);
  return r;
}

}  // namespace e2e
