// The harness's pointer: the one way the end-to-end cases move the mouse.
//
// Why not SetCursorPos or an absolute SendInput move (seen with
// WINEDEBUG=+cursor,+event on Wine 8 with a virtual desktop): winex11 moves
// the X pointer for either by grabbing it on the desktop window, warping and
// letting go. The grab makes X send explorer.exe, which owns the desktop
// window, an EnterNotify (mode NotifyGrab) that still carries the position
// from before the warp, and winex11 turns every EnterNotify into an absolute
// mouse move. When explorer gets to it after the other processes have
// handled the warp, wineserver's cursor jumps back to the old place: the
// window there gets a WM_MOUSEMOVE for it, while the X pointer stays at the
// new place. GetCursorPos answers from wineserver for 100 ms after a change
// and from the X server after that, so the caller first sees the new place,
// then the old one, then the new one again. Worse, once wineserver is back at
// an old place, moving "there" again is no change to Wine, which then does not
// warp X at all: a case that went by the pixel next door stayed one pixel off.
//
// So the pointer is moved from outside Wine, by xdotool, as a real mouse
// moves it: no grab, and every event X sends carries the new place. The move
// counts as done when the X server's pointer is there and wineserver has
// taken a mouse move to that place (a low-level mouse hook sees every mouse
// move wineserver takes, from any process, before the window under the
// cursor gets its WM_MOUSEMOVE). A click sent after that is queued behind
// the move, so it lands where the pointer is.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <deque>
#include <thread>

#include "e2e/harness_win32.h"

namespace e2e {

namespace {

// Wine looks a program up in the Windows PATH; Z: is the Unix root.
constexpr wchar_t kXdotool[] = L"Z:\\usr\\bin\\xdotool";
constexpr Millis kCursorLimit{5000};

// The mouse moves that wineserver has taken, in order, as a WH_MOUSE_LL hook
// on a thread of its own sees them. The hook only notes the place and posts
// it to its own thread; the place is published when that post arrives, which
// is after the hook has answered wineserver, and so after wineserver has
// queued the move (it waits for the hook's answer to do so).
class MoveWatch {
 public:
  static MoveWatch& Get() {
    static MoveWatch watch;
    return watch;
  }

  struct Moves {
    unsigned long count = 0;  // moves seen so far
    POINT last{};
    std::deque<POINT> recent;  // the last few, oldest first
  };
  [[nodiscard]] Moves Seen() {
    Locked lock(lock_);
    return moves_;
  }
  [[nodiscard]] bool Running() const { return running_; }
  // Button presses and releases that have passed the hook so far.
  [[nodiscard]] unsigned long Buttons() const { return buttons_; }

 private:
  static constexpr UINT kPublish = WM_APP + 1;
  static constexpr size_t kRecent = 12;

  // A slim reader/writer lock, not std::mutex: the MinGW std::mutex goes
  // through winpthreads, and now and then a case died under Wine of an
  // "Invalid argument" thrown in its first mouse moves, where only this lock
  // could throw. Acquiring an SRW lock cannot fail.
  struct Locked {
    explicit Locked(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~Locked() { ReleaseSRWLockExclusive(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    SRWLOCK& lock_;
  };

  MoveWatch() {
    Handle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread thread([this, event = ready.get()] { Run(event); });
    WaitForSingleObject(ready.get(), 5000);
    // It lives as long as the test program; the process's end ends it.
    thread.detach();
  }

  void Run(HANDLE ready) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes the thread's queue
    HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, &MoveWatch::HookProc, GetModuleHandleW(nullptr), 0);
    running_ = hook != nullptr;
    SetEvent(ready);
    if (!hook) return;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == kPublish && msg.hwnd == nullptr) {
        Locked lock(lock_);
        moves_.last = POINT{static_cast<LONG>(msg.wParam), static_cast<LONG>(msg.lParam)};
        ++moves_.count;
        moves_.recent.push_back(moves_.last);
        if (moves_.recent.size() > kRecent) moves_.recent.pop_front();
        continue;
      }
      DispatchMessageW(&msg);
    }
    UnhookWindowsHookEx(hook);
  }

  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam != WM_MOUSEMOVE && wParam != WM_MOUSEWHEEL) ++Get().buttons_;
    if (code == HC_ACTION && wParam == WM_MOUSEMOVE) {
      const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
      PostThreadMessageW(GetCurrentThreadId(), kPublish, static_cast<WPARAM>(info->pt.x),
                         static_cast<LPARAM>(info->pt.y));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  SRWLOCK lock_ = SRWLOCK_INIT;
  Moves moves_;
  std::atomic<unsigned long> buttons_{0};
  bool running_ = false;
};

bool Same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

std::string Text(POINT p) { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")"; }

// Starts xdotool outside Wine. Wine gives no handle for a Unix program it
// starts (and passes it no pipes), so the program's effect is the only sign
// that it has run.
bool StartXdotool(const std::wstring& arguments, std::string* error) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring commandLine = L"xdotool " + arguments;
  if (!CreateProcessW(kXdotool, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    *error = "cannot start " + Narrow(kXdotool) + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  Handle process(pi.hProcess), thread(pi.hThread);
  return true;
}

}  // namespace

bool MoveMouse(POINT to, std::string* error) {
  std::string ignored;
  std::string& why = error ? *error : ignored;
  MoveWatch& watch = MoveWatch::Get();
  if (!watch.Running()) {
    why = "cannot install the low-level mouse hook (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  const MoveWatch::Moves before = watch.Seen();
  // A warp makes the X server send a motion event even when the pointer is
  // already there, so every move is heard, the first one too.
  if (!StartXdotool(L"mousemove " + std::to_wstring(to.x) + L" " + std::to_wstring(to.y), &why)) return false;
  MoveWatch::Moves seen;
  POINT cursor{};
  const bool arrived = WaitUntil(
      [&] {
        seen = watch.Seen();
        return seen.count > before.count && Same(seen.last, to) && GetCursorPos(&cursor) && Same(cursor, to);
      },
      kCursorLimit, Millis(2));
  if (!arrived) {
    why = "xdotool moved the pointer to " + Text(to) + ", but Wine's cursor is at " + Text(cursor) + " and " +
          std::to_string(seen.count - before.count) + " mouse move(s) reached Wine since; the last it took:";
    for (const POINT p : seen.recent) why += " " + Text(p);
    return false;
  }
  return true;
}

// Returns once wineserver has the `buttons` presses and releases in
// `inputs` (the hook has passed them), so that a pointer move made next from
// outside Wine cannot overtake them. `pressing`: they start with a press.
void InjectButtons(std::vector<INPUT> inputs, unsigned long buttons, bool pressing) {
  MoveWatch& watch = MoveWatch::Get();
  const unsigned long before = watch.Buttons();
  // Now and then, on a slow machine, a click reaches wineserver and no window
  // acts on it. A window that holds the mouse, or a menu mode, would explain
  // it: said here, so that a failure that follows shows it.
  GUITHREADINFO gui{.cbSize = sizeof(GUITHREADINFO)};
  if (pressing && GetGUIThreadInfo(0, &gui) && (gui.hwndCapture != nullptr || (gui.flags & ~GUI_CARETBLINKING) != 0))
    std::fprintf(stderr, "before a press: the foreground thread's capture is %s, its flags 0x%lx\n",
                 gui.hwndCapture ? Inspect(gui.hwndCapture).Describe().c_str() : "none", gui.flags);
  Inject(std::move(inputs));
  EXPECT_TRUE(!watch.Running() || WaitUntil([&] { return watch.Buttons() >= before + buttons; }, kCursorLimit, Millis(2)))
      << (watch.Buttons() - before) << " of " << buttons << " mouse buttons reached wineserver";
}

bool Click(POINT at, bool right, std::string* error) {
  if (!MoveMouse(at, error)) return false;
  ClickHere(0, right);
  return true;
}

void ClickHere(WORD modifier, bool right) {
  // One SendInput: wineserver queues the inputs in this order, so the
  // window sees the modifier held for the button and nothing in between.
  std::vector<INPUT> in;
  auto key = [&](bool up) {
    INPUT k{};
    k.type = INPUT_KEYBOARD;
    k.ki.wVk = modifier;
    k.ki.wScan = static_cast<WORD>(MapVirtualKeyW(modifier, MAPVK_VK_TO_VSC));
    k.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(k);
  };
  auto button = [&](DWORD flags) {
    INPUT m{};
    m.type = INPUT_MOUSE;
    m.mi.dwFlags = flags;
    in.push_back(m);
  };
  if (modifier != 0) key(false);
  button(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  button(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
  if (modifier != 0) key(true);
  InjectButtons(std::move(in), 2, true);
}

void MouseButtonHere(bool down, bool right) {
  INPUT m{};
  m.type = INPUT_MOUSE;
  m.mi.dwFlags = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                       : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  InjectButtons({m}, 1, down);
}

}  // namespace e2e
