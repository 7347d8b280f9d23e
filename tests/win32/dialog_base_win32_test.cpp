// The dialog base with a dialog from an in-memory template, shown modally by
// the real dialog manager: where the object lives, what counts as OK, and
// errors inside the dialog.
#include "platform/win32/dialog_base.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/error.h"
#include "platform/win32/application_win32.h"
#include "win32/dialog_template.h"

namespace tw::win32 {
namespace {

using testing::DialogTemplateBuilder;
using testing::OkCancelTemplate;

constexpr UINT kThrow = WM_APP + 1;
constexpr UINT kRecord = WM_APP + 2;
constexpr UINT kEndWithIdOk = WM_APP + 3;  // EndDialog(IDOK), not through the OK handler
constexpr UINT_PTR kSafetyTimer = 99;

class ProbeDialog final : public DialogBase {
 public:
  ProbeDialog(const DLGTEMPLATE* source, std::vector<std::string>& errors)
      : DialogBase(GetModuleHandleW(nullptr), {.memory = source},
                   [&errors](const std::string& message) { errors.push_back(message); }) {}

  // Runs once the dialog is up, from WM_INITDIALOG.
  std::function<void(HWND)> whenUp;
  bool throwAtInit = false;
  std::vector<std::string> log;
  HWND handleAtInit = nullptr;
  LONG_PTR storedAtInit = 0;
  bool ownerEnabledAtInit = true;

 private:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case kThrow: throw Error("the dialog failed");
      case kRecord: log.push_back("record"); return TRUE;
      case kEndWithIdOk: EndDialog(Handle(), IDOK); return TRUE;
      case WM_TIMER: OnTimer(); return TRUE;
      default: return DialogBase::HandleMessage(msg, wParam, lParam);
    }
  }
  INT_PTR OnInitDialog() override {
    handleAtInit = Handle();
    storedAtInit = GetWindowLongPtrW(Handle(), DWLP_USER);
    ownerEnabledAtInit = IsWindowEnabled(GetWindow(Handle(), GW_OWNER)) != FALSE;
    // A test that went wrong ends here rather than hanging.
    SetTimer(Handle(), kSafetyTimer, 5000, nullptr);
    if (throwAtInit) throw Error("cannot set up");
    if (whenUp) whenUp(Handle());
    return TRUE;
  }
  void OnTimer() {
    log.push_back("timed out");
    Dismiss();
  }
  void OnOk() override {
    log.push_back("ok");
    DialogBase::OnOk();
  }
  void OnCancel() override {
    log.push_back("cancel");
    DialogBase::OnCancel();
  }
};

class DialogBaseTest : public ::testing::Test {
 protected:
  ApplicationPort app{GetModuleHandleW(nullptr)};
  DialogTemplateBuilder source = OkCancelTemplate();
  std::vector<std::string> errors;
};

TEST_F(DialogBaseTest, OnlyTheOkHandlerConfirms) {
  const struct {
    const char* name;
    std::function<void(HWND)> end;
    bool confirmed;
    std::vector<std::string> log;
  } cases[] = {
      {"the OK button", [](HWND d) { PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }, true, {"ok"}},
      {"IDOK as a command", [](HWND d) { PostMessageW(d, WM_COMMAND, IDOK, 0); }, true, {"ok"}},
      {"Cancel", [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); }, false, {"cancel"}},
      {"EndDialog(IDOK) elsewhere", [](HWND d) { PostMessageW(d, kEndWithIdOk, 0, 0); }, false, {}},
      // Wine's dialog loop answers IDOK to this one.
      {"WM_QUIT", [](HWND) { PostQuitMessage(3); }, false, {}},
  };
  for (const auto& c : cases) {
    ProbeDialog dialog(source.get(), errors);
    dialog.whenUp = c.end;
    EXPECT_EQ(dialog.ShowModal(app.Window()), c.confirmed) << c.name;
    EXPECT_EQ(dialog.Confirmed(), c.confirmed) << c.name;
    EXPECT_EQ(dialog.log, c.log) << c.name;
    // The loop puts a WM_QUIT back for the loop outside it.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(DialogBaseTest, InitDialogStoresTheObjectUntilTheDialogEnds) {
  ProbeDialog dialog(source.get(), errors);
  const LivenessToken token = dialog.Token();
  bool aliveWhileUp = false;
  dialog.whenUp = [&](HWND d) {
    aliveWhileUp = token.Alive();
    PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
  };
  EXPECT_EQ(dialog.Handle(), nullptr);
  dialog.ShowModal(app.Window());
  EXPECT_NE(dialog.handleAtInit, nullptr);
  EXPECT_EQ(dialog.storedAtInit, reinterpret_cast<LONG_PTR>(&dialog));
  EXPECT_TRUE(aliveWhileUp);
  // The dialog disables its owner while it is up, and only then.
  EXPECT_FALSE(dialog.ownerEnabledAtInit);
  EXPECT_TRUE(IsWindowEnabled(app.Window()));
  EXPECT_FALSE(IsWindow(dialog.handleAtInit));
  EXPECT_EQ(dialog.Handle(), nullptr);
  EXPECT_FALSE(token.Alive());
  EXPECT_THROW(dialog.ShowModal(app.Window()), Error) << "a dialog is for one showing";
}

TEST_F(DialogBaseTest, AThrowingHandlerIsShownOnceAndTheDialogGoesOn) {
  ProbeDialog dialog(source.get(), errors);
  dialog.whenUp = [](HWND d) {
    PostMessageW(d, kThrow, 0, 0);
    PostMessageW(d, kRecord, 0, 0);
    PostMessageW(d, WM_COMMAND, IDOK, 0);
  };
  EXPECT_TRUE(dialog.ShowModal(app.Window()));
  EXPECT_EQ(errors, (std::vector<std::string>{"the dialog failed"}));
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"record", "ok"}));
}

TEST_F(DialogBaseTest, ADialogThatCannotSetItselfUpEndsUnconfirmed) {
  ProbeDialog dialog(source.get(), errors);
  dialog.throwAtInit = true;
  EXPECT_FALSE(dialog.ShowModal(app.Window()));
  EXPECT_EQ(errors, (std::vector<std::string>{"cannot set up"}));
  EXPECT_TRUE(dialog.log.empty()) << "it waited for the safety timer";
}

TEST_F(DialogBaseTest, ATemplateThatMakesNoDialogRaisesAnError) {
  DialogTemplateBuilder broken(L"broken", 100, 40);
  broken.Item(1, 0, L"x", 5, 5, 20, 10, WS_CHILD | WS_VISIBLE, L"TarnwickNoSuchControlClass");
  ProbeDialog dialog(broken.get(), errors);
  EXPECT_THROW(dialog.ShowModal(app.Window()), Error);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace tw::win32
