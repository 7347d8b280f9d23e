// What a dialog of another process shows: its child controls with their
// texts (asked of each control by message, which crosses processes), its
// client area on the screen, and a picture of it for the documentation.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "e2e/harness_win32.h"

namespace e2e {

struct ChildControl {
  HWND hwnd = nullptr;
  int id = 0;
  std::wstring className;
  std::wstring text;
  RECT rect{};  // on the screen
  bool visible = false;
};

// Every descendant of `parent`, in the order Windows lists them.
std::vector<ChildControl> ChildControls(HWND parent);
// The first of `controls` with this id, or nullptr.
const ChildControl* ControlWithId(const std::vector<ChildControl>& controls, int id);
// The first with this text, or nullptr.
const ChildControl* ControlWithText(const std::vector<ChildControl>& controls, const std::wstring& text);
std::string Describe(const std::vector<ChildControl>& controls);

// `window`'s client area in screen coordinates.
RECT ClientRectOnScreen(HWND window);

// Writes `shot` as a PNG file through GDI+ (loaded here by name, as the
// program loads it). A path beginning with '/' is a Linux path, reached
// through Wine's Z: drive.
bool SavePng(const ScreenShot& shot, const std::wstring& path, std::string* error);

// Where the end-to-end run puts the pictures that the README shows.
std::wstring DocumentationPicture(const std::wstring& name);
// Writes what the screen shows in `area` as that picture (a failure to write
// fails the case).
void SaveDocumentationPicture(const RECT& area, const std::wstring& name);

}  // namespace e2e
