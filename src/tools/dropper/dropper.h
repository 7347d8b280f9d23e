// The Dropper: the colour under the cursor.
#pragma once

#include "infowin/info_rows.h"
#include "tools/info_tool.h"

namespace tw {

class TDropper final : public TInfoTool {
 public:
  explicit TDropper(IToolRun& run) : TInfoTool(run) { BuildMeasurerDropperMenu(pmnMeasurerDropper); }

  [[nodiscard]] int Id() const override { return kDropper; }
  [[nodiscard]] unsigned InfoRowMask() const override { return kDropperRows; }
  [[nodiscard]] HostCanvas Canvas() const override {
    return {kBlack, PenMode::Copy, PenStyle::Solid, BrushStyle::Solid};
  }
  [[nodiscard]] std::optional<CursorShape> WindowCursor() const override { return CursorShape::Dropper; }
  [[nodiscard]] bool SelectionFlagSet() const override { return SelectionFlag; }
  TPopupMenu* PopupMenu() override { return &pmnMeasurerDropper; }
  void Show() override { SelectionFlag = false; }

  TPopupMenu pmnMeasurerDropper;
  bool SelectionFlag = false;  // a colour is held
};

}  // namespace tw
