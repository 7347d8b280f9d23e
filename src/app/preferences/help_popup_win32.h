// The classic context-help popup: a bordered window beside a control with
// one topic's text, gone at the next click or key.
#pragma once

#include <windows.h>

#include <string>

#include "core/geometry.h"

namespace tw::win32 {

// The popup's window class: tests from outside find it by this name and read
// its text with WM_GETTEXT.
inline constexpr const wchar_t* kHelpPopupClass = L"TarnwickHelpPopup";

// Shows `text` (UTF-8) below `control` (screen coordinates) for `owner`, in
// the message font, and returns once a click or a key has closed it.
void ShowHelpPopup(HINSTANCE instance, HWND owner, const Rect& control, const std::string& text);

}  // namespace tw::win32
