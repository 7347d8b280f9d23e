// The dialogs port in memory: each dialog logs its showing on the shared call
// log and ends as the test says.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/dialog_port.h"
#include "app/preferences/setup.h"
#include "core/error.h"
#include "fakes/call_log.h"

namespace tw::fakes {

class FakeDialogs final : public IDialogPort {
 public:
  explicit FakeDialogs(CallLog& callLog) : log(callLog) {}

  bool ShowSetup(TfrmSetup& form) override {
    log.Add("setup show");
    shownSetup = form.Values;
    shownHelpFile = form.HelpFile;
    if (!setupFailure.empty()) throw Error(setupFailure);
    ++open;
    if (whileSetupOpen) whileSetupOpen();
    --open;
    if (!setupAnswer) {
      log.Add("setup cancel");
      return false;
    }
    form.Values = *setupAnswer;
    log.Add("setup ok");
    return true;
  }

  void ShowAbout() override { Show("about", aboutFailure, whileAboutOpen); }
  void ShowFirstRun() override { Show("first run", firstRunFailure, whileFirstRunOpen); }
  bool DialogOpen() override { return open > 0; }
  void BringDialogToFront() override { log.Add("dialog to front"); }

  std::optional<SetupValues> shownSetup;   // what the controls showed
  std::string shownHelpFile;
  std::optional<SetupValues> setupAnswer;  // OK with these values; none: Cancel
  std::function<void()> whileSetupOpen;    // what happens meanwhile (a quit...)
  std::string setupFailure;                // non-empty: the dialog cannot show
  std::function<void()> whileAboutOpen;
  std::string aboutFailure;
  std::function<void()> whileFirstRunOpen;
  std::string firstRunFailure;
  CallLog& log;

 private:
  // "<name> show", then "<name> close" once it has closed.
  void Show(const std::string& name, const std::string& failure, const std::function<void()>& meanwhile) {
    log.Add(name + " show");
    if (!failure.empty()) throw Error(failure);
    ++open;
    if (meanwhile) meanwhile();
    --open;
    log.Add(name + " close");
  }
  int open = 0;  // dialogs showing
};

}  // namespace tw::fakes
