// The Screenshot: a selection on the frozen screen, to copy or save.
#pragma once

#include <cstdint>

#include "infowin/info_rows.h"
#include "tools/info_tool.h"
#include "tools/screenshot/save_dialog.h"
#include "tools/tools.h"

namespace tw {

// The part of the selection under the cursor: the 10-pixel band along its
// border, split into edges and corners, the inside and the outside.
enum class HitZone : std::uint8_t {
  Outside = 0,
  Inside = 1,
  TopLeft = 2,
  Top = 3,
  TopRight = 4,
  Left = 5,
  Right = 6,
  BottomLeft = 7,
  Bottom = 8,
  BottomRight = 9,
};

class TScreenshot final : public TInfoTool {
 public:
  TScreenshot(IToolRun& run, const ToolPorts& ports);

  [[nodiscard]] int Id() const override { return kScreenshot; }
  [[nodiscard]] unsigned InfoRowMask() const override { return kScreenshotRows; }
  [[nodiscard]] HostCanvas Canvas() const override { return {kSilver}; }
  [[nodiscard]] std::optional<CursorShape> WindowCursor() const override { return CursorShape::Screenshot; }
  [[nodiscard]] bool SelectionFlagSet() const override { return SelectionFlag; }
  TPopupMenu* PopupMenu() override { return &pmnScreenshot; }

  void Show() override;
  bool SetCursor(bool cursorOverHost) override;
  void Paint(const Rect& area) override;
  void MouseDown(MouseButton button, ShiftState shift, Point at) override;
  void MouseMove(ShiftState shift, Point at) override;
  void MouseUp(MouseButton button, ShiftState shift, Point at) override;

  // Classifies the cursor position against the selection rectangle.
  [[nodiscard]] HitZone HitTestSelection() const;

  // The inclusive rectangle of the capture, to the clipboard or a file.
  void CopyRegionToClipboard(const Rect& rect);
  void SaveRegionToFile(const Rect& rect);

  void mniCopyClick();
  void mniSaveClick();
  void mniCopySelectClick();
  void mniSaveSelectClick();

  TPopupMenu pmnScreenshot;
  // One for the program's life, so that it offers the last confirmed name
  // and type again.
  TSaveDialog svdScreenshot;

  // The state of a run, fresh at each show. Rectangles are inclusive.
  Rect SelectionRect{};
  Rect SelectionStartRect{};   // the rectangle a drag rebuilds from
  Point DragStart{};
  bool SelectionFlag = false;  // a non-empty selection exists
  bool Dragging = false;
  HitZone Zone = HitZone::Outside;  // where the last left press went down

 private:
  void OtherKeyDown(unsigned key, ShiftState shift) override;
  // The selection rebuilt from the start rectangle for a drag by (dx, dy).
  [[nodiscard]] Rect DraggedRect(int dx, int dy);
  // One arrow key.
  void ArrowStep(unsigned key, ShiftState modifiers);
  void ShowSelectionRows();
  void ClearSelectionRows();
  void DrawFrame(const Rect& r);
  void RemoveFrame(const Rect& r);
  [[nodiscard]] Rect WholeScreen();
  // A copy of the capture's inclusive rectangle, ordered and kept on the
  // screen.
  [[nodiscard]] Pixmap Region(const Rect& rect);

  ToolPorts ports_;
};

}  // namespace tw
