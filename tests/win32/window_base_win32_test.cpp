// The window base against the real window manager: errors stay inside the
// procedure and are shown once, paint is guarded, and a window is never
// destroyed under its own handler.
#include "platform/win32/window_base.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/error.h"
#include "win32/window_support.h"

namespace tw::win32 {
namespace {

constexpr wchar_t kClass[] = L"TarnwickWindowBaseProbe";
constexpr UINT kThrowError = WM_APP + 1;
constexpr UINT kThrowStd = WM_APP + 2;
constexpr UINT kThrowOther = WM_APP + 3;
constexpr UINT kAnswer = WM_APP + 4;
constexpr UINT kRun = WM_APP + 5;  // runs the test's action inside the procedure
constexpr LRESULT kAnswerValue = 42;

using testing::Pump;

class ProbeWindow final : public WindowBase {
 public:
  struct Options {
    DWORD style = WS_POPUP;
    bool throwAtCreate = false;
  };

  ProbeWindow(std::vector<std::string>& errors, std::vector<std::string>& log, Options options)
      : WindowBase([&errors](const std::string& message) { errors.push_back(message); }),
        log_(log),
        options_(options) {
    RegisterWindowClass(GetModuleHandleW(nullptr), {.name = kClass});
    Create(GetModuleHandleW(nullptr), kClass, {.title = L"probe", .style = options.style, .width = 80, .height = 60});
  }
  ~ProbeWindow() override { Destroy(); }

  using WindowBase::StartTimer;
  std::function<void(ProbeWindow&)> action;  // what kRun does
  std::function<void()> beforePaint;         // runs before the paint guard
  Rect painted{};

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_NCCREATE:
        if (options_.throwAtCreate) throw Error("no window today");
        break;
      case kThrowError: throw Error("the tool failed");
      case kThrowStd: throw std::runtime_error("out of range");
      case kThrowOther: throw 7;
      case kAnswer: return kAnswerValue;
      case kRun: OnRun(); return 0;
      case WM_PAINT: OnPaint(); return 0;
      case WM_DESTROY: log_.push_back("WM_DESTROY"); break;
      default: break;
    }
    return Default(msg, wParam, lParam);
  }
  void OnRun() {
    if (auto run = action) run(*this);
  }
  void OnPaint() {
    if (beforePaint) beforePaint();
    PaintGuard paint(Handle());
    painted = paint.Area();
  }

  std::vector<std::string>& log_;
  Options options_;
};

class WindowBaseTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProbeWindow> Make(ProbeWindow::Options options = {}) {
    return std::make_unique<ProbeWindow>(errors, log, options);
  }
  std::vector<std::string> errors;
  std::vector<std::string> log;
};

TEST_F(WindowBaseTest, AThrowingHandlerIsShownOnceAndTheWindowGoesOn) {
  const struct {
    UINT message;
    const char* shown;
  } cases[] = {
      {kThrowError, "the tool failed"},
      {kThrowStd, "out of range"},
      {kThrowOther, "Unexpected error"},
  };
  auto window = Make();
  for (const auto& c : cases) {
    errors.clear();
    EXPECT_EQ(SendMessageW(window->Handle(), c.message, 0, 0), 0);
    EXPECT_EQ(errors, (std::vector<std::string>{c.shown}));
    EXPECT_EQ(SendMessageW(window->Handle(), kAnswer, 0, 0), kAnswerValue) << c.shown;
    EXPECT_EQ(errors.size(), 1u) << c.shown;
    EXPECT_TRUE(window->Token().Alive());
  }
}

TEST_F(WindowBaseTest, PaintGetsTheInvalidatedAreaAndEndsIt) {
  auto window = Make({.style = WS_POPUP | WS_VISIBLE});
  Pump();
  const RECT area{5, 6, 20, 30};
  InvalidateRect(window->Handle(), &area, FALSE);
  UpdateWindow(window->Handle());
  EXPECT_EQ(window->painted, (Rect{5, 6, 20, 30}));
  EXPECT_FALSE(GetUpdateRect(window->Handle(), nullptr, FALSE)) << "EndPaint was not called";
}

TEST_F(WindowBaseTest, APaintThatThrowsBeforePaintingIsNotRepeated) {
  auto window = Make({.style = WS_POPUP | WS_VISIBLE});
  Pump();
  // Throws a few times only, so that a paint left invalid shows as more
  // errors rather than as an endless loop.
  int throwsLeft = 5;
  window->beforePaint = [&throwsLeft] {
    if (throwsLeft-- > 0) throw Error("no canvas");
  };
  InvalidateRect(window->Handle(), nullptr, FALSE);
  UpdateWindow(window->Handle());
  Pump();
  EXPECT_EQ(errors, (std::vector<std::string>{"no canvas"}));
  EXPECT_FALSE(GetUpdateRect(window->Handle(), nullptr, FALSE));
}

TEST_F(WindowBaseTest, ADestroyInsideTheHandlerWaitsForItsReturn) {
  auto window = Make();
  const HWND hwnd = window->Handle();
  const LivenessToken token = window->Token();
  window->action = [this](ProbeWindow& self) {
    self.Destroy();
    log.push_back(IsWindow(self.Handle()) ? "still there" : "destroyed under the handler");
    log.push_back(self.Token().Alive() ? "token alive" : "token gone");
    log.push_back("handler returns");
  };
  SendMessageW(hwnd, kRun, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"still there", "token gone", "handler returns", "WM_DESTROY"}));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window->Handle(), nullptr);
  EXPECT_FALSE(token.Alive());
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowBaseTest, ANestedDestroyWaitsForTheOutermostCall) {
  auto window = Make();
  const HWND hwnd = window->Handle();
  int depth = 0;
  window->action = [&](ProbeWindow& self) {
    if (++depth == 1) {
      SendMessageW(self.Handle(), kRun, 0, 0);  // the inner call destroys
      log.push_back(IsWindow(hwnd) ? "outer: still there" : "outer: gone");
    } else {
      self.Destroy();
    }
  };
  SendMessageW(hwnd, kRun, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"outer: still there", "WM_DESTROY"}));
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowBaseTest, AnObjectDeletedInsideItsOwnHandler) {
  auto window = Make();
  const HWND hwnd = window->Handle();
  const LivenessToken token = window->Token();
  window->action = [&](ProbeWindow&) {
    window.reset();
    log.push_back(IsWindow(hwnd) ? "still there" : "destroyed under the handler");
  };
  SendMessageW(hwnd, kRun, 0, 0);
  // The object was gone before WM_DESTROY: it goes to DefWindowProc alone.
  EXPECT_EQ(log, (std::vector<std::string>{"still there"}));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(token.Alive());
}

TEST_F(WindowBaseTest, ADestroyOutsideAnyHandlerIsImmediate) {
  auto window = Make();
  const HWND hwnd = window->Handle();
  const LivenessToken token = window->Token();
  EXPECT_TRUE(token.Alive());
  window->Destroy();
  EXPECT_EQ(log, (std::vector<std::string>{"WM_DESTROY"}));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(token.Alive());
  window->Destroy();  // nothing left to do
  EXPECT_EQ(log.size(), 1u);
  window.reset();
  EXPECT_FALSE(LivenessToken().Alive());
}

TEST_F(WindowBaseTest, FailuresToMakeAWindowOrTimerRaiseErrors) {
  // A throwing WM_NCCREATE is shown, and no half-made window stays.
  try {
    Make({.throwAtCreate = true});
    ADD_FAILURE() << "created";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("TarnwickWindowBaseProbe"), std::string::npos) << e.what();
  }
  EXPECT_EQ(errors, (std::vector<std::string>{"no window today"}));

  auto window = Make();
  EXPECT_NO_THROW(window->StartTimer(1, 1000));
  KillTimer(window->Handle(), 1);
  window->Destroy();
  // Without its window SetTimer would quietly make a thread timer.
  EXPECT_THROW(window->StartTimer(1, 1000), Error);

  // A class registered twice is fine. (A refused registration is not tried:
  // the one refusal within reach, a class name over 255 characters, corrupts
  // Wine 8's heap instead of failing.)
  EXPECT_NO_THROW(WindowBase::RegisterWindowClass(GetModuleHandleW(nullptr), {.name = kClass}));
}

}  // namespace
}  // namespace tw::win32
