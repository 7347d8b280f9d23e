// What the host hands the running tool: the surface, the capture, the
// settings, the info window and the ports a tool may use, and nothing else.
#pragma once

#include "app/host.h"
#include "tools/tool.h"

namespace tw {

class TfrmHost::RunContext final : public IToolRun {
 public:
  explicit RunContext(TfrmHost& host) : host_(host) {}

  [[nodiscard]] RunId CurrentRun() const override { return host_.runActive_ ? host_.runCount_ : 0; }
  Pixmap& Surface() override { return host_.surface_; }
  [[nodiscard]] const Pixmap& Capture() const override { return host_.capture_; }
  void Present(const Rect& area) override {
    if (!IsRectEmpty(area)) host_.ports_.window.Present(area);
  }
  void RepaintAll() override { host_.ports_.window.RepaintHost(); }
  TSettings& Settings() override { return host_.Settings; }
  TInfoWin* InfoWindow() override { return host_.infoWin_.Current(); }
  void EndRun() override { host_.EndTool(); }
  Point CursorPos() override { return host_.ports_.screen.CursorPos(); }
  void Beep() override { host_.ports_.app.Beep(); }
  void SetIdleHandler(std::function<void()> handler) override { host_.idleHandler_ = std::move(handler); }
  void SetCursorNow(CursorShape shape) override { host_.ports_.window.SetCursorNow(shape); }
  std::string DecimalSeparator() override { return host_.ports_.app.DecimalSeparator(); }

 private:
  TfrmHost& host_;
};

}  // namespace tw
