// The Measurer: offsets, distances and angles between two points.
#pragma once

#include "infowin/info_rows.h"
#include "tools/info_tool.h"

namespace tw {

class TMeasurer final : public TInfoTool {
 public:
  explicit TMeasurer(IToolRun& run) : TInfoTool(run) { BuildMeasurerDropperMenu(pmnMeasurerDropper); }

  [[nodiscard]] int Id() const override { return kMeasurer; }
  [[nodiscard]] unsigned InfoRowMask() const override { return kMeasurerRows; }
  [[nodiscard]] HostCanvas Canvas() const override {
    return {kSilver, PenMode::Xor, PenStyle::Solid, BrushStyle::Clear};
  }
  [[nodiscard]] std::optional<CursorShape> WindowCursor() const override { return CursorShape::Measurer; }
  TPopupMenu* PopupMenu() override { return &pmnMeasurerDropper; }

  TPopupMenu pmnMeasurerDropper;
};

}  // namespace tw
