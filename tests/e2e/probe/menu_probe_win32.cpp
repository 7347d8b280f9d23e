// Loaded into Tarnwick.exe by the end-to-end tests to read one of its popup
// menus; see menu_reader_win32.cpp for why this runs inside that process.
#include "e2e/probe/menu_probe_win32.h"

extern "C" __declspec(dllexport) DWORD WINAPI TarnwickProbeReadMenu(void* param) {
  auto* record = static_cast<e2e::probe::MenuRecord*>(param);
  if (!record || record->size != sizeof(e2e::probe::MenuRecord)) return 0;
  const int count = GetMenuItemCount(record->menu);
  record->count = count;
  for (int i = 0; i < count && i < e2e::probe::kMaxItems; ++i) {
    e2e::probe::MenuItem& item = record->items[i];
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = item.text;
    info.cch = e2e::probe::kMaxText;
    item.text[0] = 0;
    if (GetMenuItemInfoW(record->menu, static_cast<UINT>(i), TRUE, &info)) {
      item.id = info.wID;
      item.type = info.fType;
      item.state = info.fState;
    }
    item.text[e2e::probe::kMaxText - 1] = 0;
    if (!GetMenuItemRect(nullptr, record->menu, static_cast<UINT>(i), &item.rect)) item.rect = RECT{};
  }
  return static_cast<DWORD>(count < 0 ? 0 : count);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
