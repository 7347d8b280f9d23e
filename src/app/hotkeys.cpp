#include "app/hotkeys.h"

namespace tw {

HotKeyCombination HotKeyFromShortcut(std::uint16_t shortcut) {
  HotKeyCombination combination;
  combination.key = shortcut & kShortcutKeyMask;
  if (shortcut & kShortcutShift) combination.modifiers |= kModShift;
  if (shortcut & kShortcutCtrl) combination.modifiers |= kModControl;
  if (shortcut & kShortcutAlt) combination.modifiers |= kModAlt;
  return combination;
}

void RegisterToolHotKey(IHotKeyPort& port, int id, std::uint16_t shortcut) {
  const HotKeyCombination combination = HotKeyFromShortcut(shortcut);
  static_cast<void>(port.RegisterHotKey(id, combination.modifiers, combination.key));
}

void RegisterHotKeys(IHotKeyPort& port, const TSettings& settings) {
  for (int tool = 0; tool < kToolCount; ++tool)
    RegisterToolHotKey(port, tool, settings.ToolKey(tool));
}

void UnregisterHotKeys(IHotKeyPort& port) {
  for (int tool = 0; tool < kToolCount; ++tool) port.UnregisterHotKey(tool);
}

std::optional<int> ToolFromHotKeyId(std::uintptr_t wParam) {
  // Unsigned, so that no id that wraps to a small negative int slips through.
  if (wParam >= static_cast<std::uintptr_t>(kToolCount)) return std::nullopt;
  return static_cast<int>(wParam);
}

}  // namespace tw
