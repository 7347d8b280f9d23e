// Long runs of the real Tarnwick.exe, outside the everyday test run:
// a thousand tool runs after one start must leave the program holding what
// it held after the first ten (GDI and USER objects, memory); and the time
// from a hot key to the frozen screen, and the memory a run takes.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "e2e/tarnwick_fixture_win32.h"
#include "e2e/test_picture_win32.h"

#include <psapi.h>

namespace e2e {
namespace {

constexpr wchar_t kOptionsKey[] = L"SOFTWARE\\Velmora\\Tarnwick\\Options";

struct ToolKey {
  const wchar_t* option;
  const wchar_t* code;  // Ctrl+Alt+letter as stored
  WORD letter;
};
constexpr ToolKey kToolKeys[] = {
    {L"MagnifierKey", L"49223", 'G'}, {L"ScreenshotKey", L"49235", 'S'},
    {L"MeasurerKey", L"49229", 'M'},  {L"DropperKey", L"49220", 'D'},
};

struct Footprint {
  DWORD gdi = 0, user = 0;
  SIZE_T pagefile = 0;
  bool operator==(const Footprint&) const = default;
};

int RunsFromEnvironment() {
  const char* text = std::getenv("TARNWICK_SOAK_RUNS");
  const int runs = text != nullptr ? std::atoi(text) : 0;
  return runs > 10 ? runs : 1000;
}

class Soak : public TarnwickTest {
 protected:
  void SetUp() override {
    std::string error;
    for (const ToolKey& k : kToolKeys) ASSERT_TRUE(WriteRegistryText(kOptionsKey, k.option, k.code, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(Launch(true, L""));
    const RECT screen = ScreenRect();
    area_ = {screen.right / 2 - 200, screen.bottom / 2 - 150, screen.right / 2 + 200, screen.bottom / 2 + 150};
    picture_ = std::make_unique<TestPicture>(area_, 1);
    ASSERT_TRUE(WaitUntil([&] { return picture_->OnScreen(1); }, 5s));
    ASSERT_NO_FATAL_FAILURE(ResolveCounters());
  }

  // The counters' addresses inside the running program.
  void ResolveCounters() {
    local_.reset(LoadLibraryExW(TarnwickExePath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
    ASSERT_TRUE(local_) << "cannot map Tarnwick.exe here: " << GetLastError();
    const HMODULE remote = RemoteModule(tarnwick_.Get(), L"\\Tarnwick.exe");
    ASSERT_NE(remote, nullptr);
    const FARPROC gdi = GetProcAddress(local_.get(), "TarnwickLiveGdiObjects");
    const FARPROC user = GetProcAddress(local_.get(), "TarnwickLiveUserObjects");
    ASSERT_TRUE(gdi && user) << "the program exports no object counts";
    gdiCounter_ = Translate(local_.get(), gdi, remote);
    userCounter_ = Translate(local_.get(), user, remote);
  }

  Footprint Read() {
    Footprint f;
    std::string error;
    EXPECT_TRUE(RunRemote(tarnwick_.Get(), gdiCounter_, nullptr, &f.gdi, &error, "the GDI count")) << error;
    EXPECT_TRUE(RunRemote(tarnwick_.Get(), userCounter_, nullptr, &f.user, &error, "the USER count")) << error;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    EXPECT_TRUE(GetProcessMemoryInfo(tarnwick_.Get(), &memory, sizeof memory));
    f.pagefile = memory.PagefileUsage;
    return f;
  }
  // Once the end of the last run has settled (settings saved, windows freed).
  Footprint Settled() {
    Footprint last = Read(), now{};
    WaitUntil([&] {
      Pause(300ms);
      now = Read();
      const bool same = now.gdi == last.gdi && now.user == last.user;
      last = now;
      return same;
    },
              10s, 1ms);
    return now;
  }

  // As the end-to-end cases move it, but tried again when Wine took back an
  // old position: over a thousand runs the hidden host's last position comes
  // back now and then (an EnterNotify handled late), which is Wine's, not the
  // program's, and not what this test is about.
  void Move(POINT to) {
    std::string error;
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (MoveMouse(to, &error)) return;
      ++moveRetries_;
      Pause(100ms);
    }
    FAIL() << error;
  }

  // One run of tool `tool`, started by its hot key and ended by Escape.
  void OneRun(int tool, int n) {
    const POINT c = Centre(area_);
    const POINT a{c.x - 60 + n % 7, c.y - 40}, b{c.x + 50, c.y + 30 - n % 5};
    ASSERT_NO_FATAL_FAILURE(Move(a));
    PressKeys({VK_CONTROL, VK_MENU, kToolKeys[tool].letter});
    WindowInfo host;
    ASSERT_NO_FATAL_FAILURE(WaitForHostShown(&host));
    ASSERT_NO_FATAL_FAILURE(Move(c));
    if (tool == 1 || tool == 2) {  // a selection, a measured line
      MouseButtonHere(true);
      ASSERT_NO_FATAL_FAILURE(Move(b));
      MouseButtonHere(false);
    }
    if (tool == 1) {
      const DWORD before = GetClipboardSequenceNumber();
      PressKeys({VK_MENU, 'C'});
      ASSERT_TRUE(WaitUntil([&] { return GetClipboardSequenceNumber() != before; }, kReactionLimit)) << "no copy";
    }
    if (tool == 3) ClickHere();  // holds a colour
    ASSERT_NO_FATAL_FAILURE(Move(b));
    PressKey(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  }

  RECT area_{};
  std::unique_ptr<TestPicture> picture_;
  struct FreeModule {
    void operator()(HMODULE m) const { FreeLibrary(m); }
  };
  std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule> local_;
  LPTHREAD_START_ROUTINE gdiCounter_ = nullptr, userCounter_ = nullptr;
  int moveRetries_ = 0;
};

TEST_F(Soak, AThousandRunsHoldNoMoreThanTheFirstTen) {
  const int runs = RunsFromEnvironment();
  Footprint afterTen;
  for (int n = 0; n < runs; ++n) {
    ASSERT_NO_FATAL_FAILURE(OneRun(n % 4, n)) << "run " << n;
    if (n == 9) afterTen = Settled();
  }
  const Footprint atEnd = Settled();
  std::printf("after 10 runs: %lu GDI, %lu USER objects, %.1f MB; after %d runs: %lu GDI, %lu USER, %.1f MB"
              " (%d pointer moves tried again)\n",
              afterTen.gdi, afterTen.user, afterTen.pagefile / 1048576.0, runs, atEnd.gdi, atEnd.user,
              atEnd.pagefile / 1048576.0, moveRetries_);
  EXPECT_EQ(atEnd.gdi, afterTen.gdi);
  EXPECT_EQ(atEnd.user, afterTen.user);
  // The heap may keep a little more after many runs than after ten; not a
  // run's worth (a capture alone is 8 MB at 1920 x 1080).
  EXPECT_LE(atEnd.pagefile, afterTen.pagefile + 2 * 1048576) << "memory grew by "
                                                             << (atEnd.pagefile - afterTen.pagefile) / 1024 << " KB";
}

TEST_F(Soak, FromAHotKeyToTheFrozenScreenAndWhatARunTakes) {
  const RECT screen = ScreenRect();
  const long width = screen.right - screen.left, height = screen.bottom - screen.top;
  // What Wine itself takes to copy the whole desktop once, as the program
  // does at every start: the floor under any start-up latency here.
  std::vector<double> copies;
  for (int n = 0; n < 5; ++n) {
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(ScreenShot::TakeAll().Valid());
    copies.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(copies.begin(), copies.end());
  std::vector<double> latencies;
  SIZE_T idle = 0, running = 0;
  for (int n = 0; n < 20; ++n) {
    const POINT c = Centre(area_);
    ASSERT_NO_FATAL_FAILURE(Move({c.x + n, c.y}));
    const RECT lens{c.x + n - 30, c.y - 30, c.x + n + 30, c.y + 30};
    const ScreenShot before = ScreenShot::Take(lens);
    if (n == 0) idle = Settled().pagefile;
    const auto start = std::chrono::steady_clock::now();
    PressKeys({VK_CONTROL, VK_MENU, 'G'});
    // The lens shows the capture magnified: the first moment the screen
    // there differs is the frozen screen shown.
    const bool shown = WaitUntil(
        [&] {
          const ScreenShot now = ScreenShot::Take(lens);
          for (int y = lens.top; y < lens.bottom; y += 3)
            for (int x = lens.left; x < lens.right; x += 3)
              if (now.At(x, y) != before.At(x, y)) return true;
          return false;
        },
        // A short pause between looks: each look is a screen copy of its
        // own, which with no pause would compete with the program's.
        kReactionLimit, Millis(2));
    const auto stop = std::chrono::steady_clock::now();
    ASSERT_TRUE(shown) << "no lens after the hot key, run " << n << "; " << Seen();
    latencies.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    if (n == 0) running = Read().pagefile;
    PressKey(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(WaitForHostHidden());
  }
  std::sort(latencies.begin(), latencies.end());
  const double capture = (width + 50.0) * (height + 50.0) * 4, surface = width * height * 4.0;
  std::printf("%ldx%ld: hot key to frozen screen median %.1f ms, fastest %.1f, slowest %.1f (20 runs); "
              "one bare copy of the desktop takes %.1f ms; "
              "a run takes %.1f MB over idle (capture %.1f MB + surface %.1f MB)\n",
              width, height, latencies[10], latencies.front(), latencies.back(), copies[2], (running - idle) / 1048576.0,
              capture / 1048576.0, surface / 1048576.0);
  EXPECT_LE(static_cast<double>(running) - static_cast<double>(idle), capture + surface + 16.0 * 1048576);
}

}  // namespace
}  // namespace e2e
