#include "app/shortcut_text.h"

#include "model/settings.h"

namespace tw {

std::string KeyName(unsigned vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
    return std::string(1, static_cast<char>(vk));
  if (vk >= 0x70 && vk <= 0x87) return "F" + std::to_string(vk - 0x70 + 1);  // VK_F1 .. VK_F24
  if (vk >= 0x60 && vk <= 0x69) return "Num " + std::to_string(vk - 0x60);   // VK_NUMPAD0 ..
  switch (vk) {
    case 0x08: return "BkSp";
    case 0x09: return "Tab";
    case 0x0D: return "Enter";
    case 0x13: return "Pause";
    case 0x14: return "Caps Lock";
    case 0x1B: return "Esc";
    case 0x20: return "Space";
    case 0x21: return "PgUp";
    case 0x22: return "PgDn";
    case 0x23: return "End";
    case 0x24: return "Home";
    case 0x25: return "Left";
    case 0x26: return "Up";
    case 0x27: return "Right";
    case 0x28: return "Down";
    case 0x2D: return "Ins";
    case 0x2E: return "Del";
    case 0x6A: return "Num *";
    case 0x6B: return "Num +";
    case 0x6D: return "Num -";
    case 0x6E: return "Num Del";
    case 0x6F: return "Num /";
    case 0x90: return "Num Lock";
    case 0x91: return "Scroll Lock";
    // VK_OEM_* keys as their unshifted characters on a US keyboard.
    case 0xBA: return ";";
    case 0xBB: return "=";
    case 0xBC: return ",";
    case 0xBD: return "-";
    case 0xBE: return ".";
    case 0xBF: return "/";
    case 0xC0: return "`";
    case 0xDB: return "[";
    case 0xDC: return "\\";
    case 0xDD: return "]";
    case 0xDE: return "'";
    case 0xE2: return "\\";  // VK_OEM_102, the extra key of 102-key keyboards
    default: return {};
  }
}

std::string ShortCutToText(std::uint16_t code) {
  const std::string key = KeyName(code & kShortcutKeyMask);
  if (key.empty()) return {};
  std::string text;
  if (code & kShortcutShift) text += "Shift+";
  if (code & kShortcutCtrl) text += "Ctrl+";
  if (code & kShortcutAlt) text += "Alt+";
  return text + key;
}

}  // namespace tw
