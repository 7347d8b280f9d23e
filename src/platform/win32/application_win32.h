#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace tw::win32 {

// The message loop and the small system services.
class ApplicationPort final : public IApplicationPort {
 public:
  explicit ApplicationPort(HINSTANCE instance) : instance_(instance) {}

  void ProcessMessages() override;
  void Terminate() override;
  bool Terminated() override { return terminated_; }
  void Beep() override { MessageBeep(0); }
  void ShowError(const std::string& message) override;
  std::string ProgramPath() override;
  std::vector<std::uint8_t> LoadResourceData(const std::string& name) override;

  // The main loop: runs until Terminate, calling `idle` each time the queue
  // has just become empty. Returns the exit code.
  int Run(const std::function<void()>& idle);

  void SetErrorOwner(HWND owner) { errorOwner_ = owner; }
  [[nodiscard]] HINSTANCE Instance() const { return instance_; }

 private:
  // False when WM_QUIT arrived.
  bool Dispatch(MSG& msg);

  HINSTANCE instance_;
  HWND errorOwner_ = nullptr;
  bool terminated_ = false;
  int exitCode_ = 0;
};

// The command line after the program name, as UTF-8 arguments.
std::vector<std::string> CommandLineArguments();

}  // namespace tw::win32
