// The record that the menu probe fills inside another process: the test
// writes `menu` into that process's memory, runs the probe there on a thread
// of its own, and reads the record back. Both sides are 64-bit builds of the
// same header, so the layout agrees.
#pragma once

#include <windows.h>

#include <cstdint>

namespace e2e::probe {

constexpr int kMaxItems = 40;
constexpr int kMaxText = 128;
constexpr char kEntryName[] = "TarnwickProbeReadMenu";
constexpr wchar_t kDllName[] = L"tarnwick_e2e_probe.dll";

struct MenuItem {
  UINT id;
  UINT type;   // MFT_*
  UINT state;  // MFS_*
  RECT rect;   // screen rectangle of the item while the menu is shown
  wchar_t text[kMaxText];
};

struct MenuRecord {
  std::uint32_t size;  // sizeof(MenuRecord): the two sides agree
  HMENU menu;
  std::int32_t count;  // -1: not a menu of that process
  MenuItem items[kMaxItems];
};

}  // namespace e2e::probe
