// The global hot keys: one per tool, the hot-key id being the tool number,
// registered for the host window.
#pragma once

#include <cstdint>
#include <optional>

#include "model/settings.h"
#include "platform/hotkey_port.h"

namespace tw {

// Shortcut code to RegisterHotKey's terms; never the Windows-key modifier.
HotKeyCombination HotKeyFromShortcut(std::uint16_t shortcut);

// A refused combination is left unregistered and not reported: the tool is
// still there in the tray. A shortcut of 0 is registered too (key 0, no
// modifiers), which the system refuses or never delivers.
void RegisterToolHotKey(IHotKeyPort& port, int id, std::uint16_t shortcut);
// Ids 0-3 in this order, so when two tools share a combination the
// lower-numbered one gets it.
void RegisterHotKeys(IHotKeyPort& port, const TSettings& settings);
void UnregisterHotKeys(IHotKeyPort& port);

// WM_HOTKEY's wParam to the tool to start; nothing for any id but 0-3.
std::optional<int> ToolFromHotKeyId(std::uintptr_t wParam);

}  // namespace tw
