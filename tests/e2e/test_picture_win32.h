// A known picture on the screen: a topmost window of the test's own that
// paints a deterministic pattern, so that what a tool run captures can be
// checked to the pixel. It lives on a thread of its own and so keeps painting
// while the test thread waits; the test can switch it to another pattern at
// any time (for instance underneath a tool run, to show that the run keeps
// the frozen image).
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "e2e/harness_win32.h"

namespace e2e {

class TestPicture {
 public:
  TestPicture(const RECT& where, int pattern);
  TestPicture(const TestPicture&) = delete;
  TestPicture& operator=(const TestPicture&) = delete;
  ~TestPicture();

  // Repaints with another pattern; returns when the window has painted it.
  void SetPattern(int pattern);
  [[nodiscard]] HWND Window() const { return hwnd_; }
  [[nodiscard]] const RECT& Where() const { return where_; }

  // The colour that `pattern` gives the screen pixel (x, y). Any two of the
  // patterns 0 to 3 differ in every pixel.
  static COLORREF Expected(int pattern, int x, int y);
  // Above y 256, 200 colours; below, a gradient (tests/fakes/sample_pictures.h).
  static constexpr int kGifSamples = 100;

  struct Match {
    long compared = 0;
    long differing = 0;
    POINT firstDifference{};
    COLORREF seen = 0;
    COLORREF expected = 0;
    [[nodiscard]] std::string Describe() const;
  };
  // Compares the part of `shot` that this picture covers, leaving out the
  // rectangles in `exclude` (windows known to lie on top), with `pattern`.
  [[nodiscard]] Match Compare(const ScreenShot& shot, int pattern, const std::vector<RECT>& exclude = {}) const;
  // Whether the screen shows `pattern` here now (nothing excluded).
  [[nodiscard]] bool OnScreen(int pattern) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Run(HANDLE ready);
  void Paint(HWND hwnd);

  RECT where_;
  int pattern_;
  HWND hwnd_ = nullptr;
  std::thread thread_;
};

}  // namespace e2e
