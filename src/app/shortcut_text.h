// Shortcut codes as Windows menus show them beside an item ("Ctrl+Alt+M").
#pragma once

#include <cstdint>
#include <string>

namespace tw {

// Modifiers in the order Shift+, Ctrl+, Alt+, then the key's name. Codes
// without a nameable key (0 among them) give empty text.
std::string ShortCutToText(std::uint16_t code);

// The name of a virtual key as menus show it ("F5", "PgUp", "Num 3", ";"),
// empty for keys without one.
std::string KeyName(unsigned virtualKey);

}  // namespace tw
