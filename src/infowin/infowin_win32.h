// The info window on screen: a child of the host made of real child windows
// (close button, content panel, zoom view, two columns, 36 labels), so that
// every shown text is a window text that screen readers and other programs
// can read. It decides nothing; its events go to the TInfoWin it serves.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "infowin/infowin.h"
#include "infowin/infowin_ids.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_base.h"

namespace tw::win32 {

class InfoWindowView;

// One part of the info window.
class InfoPartWindow final : public WindowBase {
 public:
  InfoPartWindow(InfoWindowView& view, InfoControl control, HWND parent, const wchar_t* className,
                 const wchar_t* text, DWORD style, int id);
  ~InfoPartWindow() override;

  void SetBackground(COLORREF color);

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnPaint();
  void OnButtonDown();
  void OnButtonUp(Point at);
  bool Clickable() const;

  InfoWindowView& view_;
  InfoControl control_;
  COLORREF background_;
  bool pressed_ = false;
};

class InfoWindowView final : public WindowBase, public IInfoWindowView {
 public:
  // Made hidden, as a child of `host`. Throws tw::Error when a part cannot be
  // made.
  InfoWindowView(HINSTANCE instance, HWND host, ErrorDisplay errors);
  ~InfoWindowView() override;

  void Attach(TInfoWin& owner) override { owner_ = &owner; }
  InfoMetrics Metrics() override;
  void ApplyLayout(const InfoLayout& layout) override;
  void SetRowText(int row, const std::string& text) override;
  void SetRowColor(int row, ColorRef color) override;
  void MoveTo(Point position) override;
  void SetVisible(bool visible) override;
  void ShowZoom(const Pixmap& zoom) override;
  void CaptureMouse() override;
  void ReleaseMouse() override;
  Point CursorPos() override;

  // For the parts: null once the window is on its way out.
  [[nodiscard]] TInfoWin* Owner() const { return owner_; }
  [[nodiscard]] HINSTANCE Instance() const { return instance_; }
  [[nodiscard]] const ErrorDisplay& Errors() const { return errors_; }
  [[nodiscard]] HFONT Font() const { return font_.get(); }
  [[nodiscard]] HFONT CloseFont() const { return closeFont_.get(); }
  void PaintZoom(HDC dc) const;

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnPaint();
  void AddTooltip(HWND part, const wchar_t* text);

  HINSTANCE instance_;
  ErrorDisplay errors_;
  TInfoWin* owner_ = nullptr;
  const Pixmap* zoom_ = nullptr;
  InfoLayout layout_{};
  UniqueFont font_;
  UniqueFont captionFont_;
  UniqueFont closeFont_;
  UniqueWindow tooltip_;
  std::unique_ptr<InfoPartWindow> closeButton_;
  std::unique_ptr<InfoPartWindow> content_;
  std::unique_ptr<InfoPartWindow> zoomView_;
  std::unique_ptr<InfoPartWindow> captionColumn_;
  std::unique_ptr<InfoPartWindow> valueColumn_;
  std::array<std::unique_ptr<InfoPartWindow>, kInfoRowCount> captions_;
  std::array<std::unique_ptr<InfoPartWindow>, kInfoRowCount> values_;
};

class InfoWindowFactory final : public IInfoWindowFactory {
 public:
  InfoWindowFactory(HINSTANCE instance, HWND host, ErrorDisplay errors)
      : instance_(instance), host_(host), errors_(std::move(errors)) {}
  std::unique_ptr<TInfoWin> Create(unsigned rowMask, IInfoWindowHost& host) override;

 private:
  HINSTANCE instance_;
  HWND host_;
  ErrorDisplay errors_;
};

}  // namespace tw::win32
