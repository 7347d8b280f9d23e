// The application window: hidden, top-level, the owner of dialogs and error
// boxes outside a run, and the idle callback kept going under modal loops.
#include "platform/win32/application_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/host_win32.h"
#include "platform/win32/dialog_base.h"
#include "platform/win32/instance_win32.h"
#include "win32/dialog_template.h"

namespace tw::win32 {
namespace {

// A dialog that only waits, ending by itself after a while should the test
// that shows it never end it.
class WaitingDialog final : public DialogBase {
 public:
  explicit WaitingDialog(const DLGTEMPLATE* source)
      : DialogBase(GetModuleHandleW(nullptr), {.memory = source}, {}) {}
  bool timedOut = false;

 private:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_TIMER) {
      OnTimer();
      return TRUE;
    }
    return DialogBase::HandleMessage(msg, wParam, lParam);
  }
  INT_PTR OnInitDialog() override {
    SetTimer(Handle(), 1, 5000, nullptr);
    return TRUE;
  }
  void OnTimer() {
    timedOut = true;
    Dismiss();
  }
};

class ApplicationWin32Test : public ::testing::Test {
 protected:
  ApplicationPort app{GetModuleHandleW(nullptr)};
};

TEST_F(ApplicationWin32Test, WindowIsHiddenTopLevelAndUnowned) {
  const HWND window = app.Window();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0) << "it would get a task bar button";
}

TEST_F(ApplicationWin32Test, IdleRunsWhileADialogItOwnsIsOpenAndTheHostStaysUsable) {
  HostWindow host(GetModuleHandleW(nullptr), app);
  const auto source = testing::OkCancelTemplate();
  WaitingDialog dialog(source.get());
  struct Seen {
    int idles = 0;
    bool dialogUp = false, ownerEnabled = true, hostEnabled = false;
  } seen;
  app.SetIdleHandler([&] {
    if (++seen.idles > 1) return;
    seen.dialogUp = IsWindow(dialog.Handle()) != FALSE;
    seen.ownerEnabled = IsWindowEnabled(app.Window()) != FALSE;
    seen.hostEnabled = IsWindowEnabled(host.Handle()) != FALSE;
    PostMessageW(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
  });
  dialog.ShowModal(app.Window());
  EXPECT_FALSE(dialog.timedOut) << "no WM_ENTERIDLE reached the idle callback";
  EXPECT_GE(seen.idles, 1);
  EXPECT_TRUE(seen.dialogUp);
  EXPECT_FALSE(seen.ownerEnabled);
  EXPECT_TRUE(seen.hostEnabled) << "a hot-key run could not be clicked";
}

TEST_F(ApplicationWin32Test, ErrorBoxesAreOwnedByTheHostOnlyWhileItIsShown) {
  EXPECT_EQ(app.ErrorOwner(), app.Window());
  HostWindow host(GetModuleHandleW(nullptr), app);
  app.SetHostWindow(host.Handle());
  EXPECT_EQ(app.ErrorOwner(), app.Window()) << "between runs";
  host.ShowHost();
  EXPECT_EQ(app.ErrorOwner(), host.Handle()) << "during a run";
  host.HideHost();
  EXPECT_EQ(app.ErrorOwner(), app.Window());
}

// A second start's command line comes from another process: the handler
// gets it as arguments, and nothing else that is sent.
TEST_F(ApplicationWin32Test, OnlyAHandedOverCommandLineReachesTheHandler) {
  std::vector<std::vector<std::string>> handed;
  app.SetHandOverHandler([&](const std::vector<std::string>& args) { handed.push_back(args); });
  std::wstring line = L"p.exe a\xD800" L"b";  // a surrogate without its pair
  ASSERT_TRUE(HandOverToRunningCopy(line));
  std::wstring tooLong(32768, L'x');
  for (COPYDATASTRUCT data : {COPYDATASTRUCT{kHandOverTag + 1, 8, line.data()}, COPYDATASTRUCT{kHandOverTag, 7, line.data()},
                              COPYDATASTRUCT{kHandOverTag, 65536, tooLong.data()}})
    EXPECT_EQ(SendMessageW(app.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), FALSE);
  app.ProcessMessages();
  EXPECT_EQ(handed, (std::vector<std::vector<std::string>>{{"a\xEF\xBF\xBD" "b"}}));
}

}  // namespace
}  // namespace tw::win32
