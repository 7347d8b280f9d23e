// Menu models: what the shell shows when a popup menu opens. Items are made
// once, with the menu, and keep their place (handlers refer to them by name).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tw {

struct TMenuItem {
  std::string Name;
  std::string Caption;  // "-" is a separator
  int Tag = 0;
  bool Enabled = true;
  bool Default = false;
  bool Visible = true;
  bool Checked = false;
  bool RadioItem = false;  // its check mark is a dot: one of a group
  std::string ShortCutText;  // shown right of the caption ("Ctrl+Alt+M", "Esc")
  std::function<void(TMenuItem&)> OnClick;

  [[nodiscard]] bool IsSeparator() const { return Caption == "-"; }
  void Click() {
    if (OnClick) OnClick(*this);
  }
};

class TPopupMenu {
 public:
  std::string Name;
  bool AutoPopup = true;
  std::function<void()> OnPopup;
  std::vector<TMenuItem> Items;

  TMenuItem& Add(TMenuItem item) {
    Items.push_back(std::move(item));
    return Items.back();
  }
  TMenuItem* Find(const std::string& name) {
    for (auto& item : Items)
      if (item.Name == name) return &item;
    return nullptr;
  }
  // Checks `item` and clears the other radio items of the menu.
  void CheckRadioItem(const TMenuItem* item) {
    for (auto& i : Items)
      if (i.RadioItem) i.Checked = &i == item;
  }
  // The item that is both the default and enabled, if any.
  TMenuItem* DefaultEnabledItem() {
    for (auto& item : Items)
      if (item.Default && item.Enabled && item.Visible && !item.IsSeparator()) return &item;
    return nullptr;
  }
};

}  // namespace tw

namespace tw {

class IMenuPort;
struct Point;

// Opens `menu` at `at` the way every popup of the program opens: its OnPopup
// handler runs first (it may enable items or change captions), then the
// shell shows it. Returns the chosen item, or nullptr.
TMenuItem* ChoosePopupMenuItem(IMenuPort& port, TPopupMenu& menu, Point at);

// The same, then the chosen item's handler runs. Returns whether an item was
// chosen.
bool ShowPopupMenu(IMenuPort& port, TPopupMenu& menu, Point at);

}  // namespace tw
