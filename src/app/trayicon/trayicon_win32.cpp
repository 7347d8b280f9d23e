#include "app/trayicon/trayicon_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <exception>

#include "platform/win32/convert.h"
#include "platform/win32/utf.h"

namespace tw {

namespace {

constexpr wchar_t kWindowClass[] = L"TarnwickTrayIconWindow";
// Ticks travel as a private message; 0xB054, the tray's own callback, lies
// in the same WM_APP range, so keep well clear of it.
constexpr UINT kAnimationTickMessage = WM_APP + 1;

// The record's size tells the shell which layout it gets. The oldest layout
// (ending with the 64-character tooltip) is what the icon fills in; in its
// ANSI 32-bit form it is 88 bytes, but the UTF-16 record of a 64-bit build
// is larger (152 bytes on 32-bit, 168 on 64-bit), so the size comes from the
// header rather than a number.
constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAW_V1_SIZE;
static_assert(kNotifyIconDataSize == (sizeof(void*) == 8 ? 168 : 152));

DWORD ShellCommand(TrayCommand command) {
  switch (command) {
    case TrayCommand::Add:
      return NIM_ADD;
    case TrayCommand::Modify:
      return NIM_MODIFY;
    case TrayCommand::Delete:
      return NIM_DELETE;
  }
  return NIM_DELETE;
}

}  // namespace

std::unique_ptr<ITrayPort> MakeWin32TrayPort(HINSTANCE instance, win32::ErrorDisplay errors) {
  return std::make_unique<Win32TrayPort>(instance, std::move(errors));
}

std::wstring TrayTipToUtf16(const std::string& tipUtf8) {
  std::wstring tip = win32::Widen(tipUtf8);
  if (tip.size() > kTrayTipMaxUnits) {
    std::size_t keep = kTrayTipMaxUnits;
    const wchar_t last = tip[keep - 1];
    if (last >= 0xD800 && last <= 0xDBFF) --keep;  // a high surrogate without its pair
    tip.resize(keep);
  }
  return tip;
}

win32::UniqueIcon MakeSmallIcon(std::span<const std::uint8_t> icoFile) {
  const auto images = ParseIcoDirectory(icoFile);
  if (!images) return {};

  // LookupIconIdFromDirectoryEx reads the resource form of the directory.
  std::vector<std::uint8_t> directory = IcoResourceDirectory(icoFile);
  const std::size_t count = images->size();
  const int cx = GetSystemMetrics(SM_CXSMICON);
  const int cy = GetSystemMetrics(SM_CYSMICON);
  const int id = LookupIconIdFromDirectoryEx(directory.data(), TRUE, cx, cy, LR_DEFAULTCOLOR);
  if (id < 1 || static_cast<std::size_t>(id) > count) return {};

  const IcoImage& image = (*images)[static_cast<std::size_t>(id - 1)];
  // The image bits are only read; the parameter is not const for history's sake.
  auto* bits = const_cast<BYTE*>(icoFile.data() + image.imageOffset);
  return win32::UniqueIcon(
      CreateIconFromResourceEx(bits, image.bytesInRes, TRUE, 0x00030000, cx, cy, LR_DEFAULTCOLOR));
}

Win32TrayPort::Win32TrayPort(HINSTANCE instance, win32::ErrorDisplay errors)
    : instance_(instance), errors_(std::move(errors)) {
  win32::WindowBase::RegisterWindowClass(instance_, {.name = kWindowClass});
  taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
}

Win32TrayPort::~Win32TrayPort() = default;

Win32TrayPort::NotifyWindow::NotifyWindow(HINSTANCE instance, TrayWindowEvents events, UINT taskbarCreatedMessage,
                                          win32::ErrorDisplay errors)
    : WindowBase(std::move(errors)), events_(std::move(events)), taskbarCreatedMessage_(taskbarCreatedMessage) {
  // A hidden top-level popup, not a message-only window: only top-level
  // windows hear the "TaskbarCreated" broadcast.
  Create(instance, kWindowClass, {.exStyle = WS_EX_TOOLWINDOW, .style = WS_POPUP});
  // An elevated program would otherwise not receive the broadcast from the
  // unelevated shell.
  if (taskbarCreatedMessage_ != 0)
    ChangeWindowMessageFilterEx(Handle(), taskbarCreatedMessage_, MSGFLT_ALLOW, nullptr);
}

TrayWindow Win32TrayPort::CreateNotifyWindow(TrayWindowEvents events) {
  std::unique_ptr<NotifyWindow> window;
  try {
    window = std::make_unique<NotifyWindow>(instance_, std::move(events), taskbarCreatedMessage_, errors_);
  } catch (const std::exception&) {
    return 0;  // the port's answer for "no window"; the icon copes
  }
  const auto id = reinterpret_cast<TrayWindow>(window->Handle());
  windows_[id] = std::move(window);
  return id;
}

void Win32TrayPort::DestroyNotifyWindow(TrayWindow window) {
  const auto it = windows_.find(window);
  if (it == windows_.end()) return;
  // The window goes first (or, from inside its own handler, once that
  // returns); the icon handle with the record.
  it->second->Destroy();
  windows_.erase(it);
}

bool Win32TrayPort::NotifyIcon(TrayCommand command, const TrayIconRecord& record) {
  const auto it = windows_.find(record.window);
  if (it == windows_.end()) return false;
  NotifyWindow& window = *it->second;

  NOTIFYICONDATAW data{};
  data.cbSize = kNotifyIconDataSize;
  data.hWnd = window.Handle();
  data.uID = record.id;

  if (command == TrayCommand::Delete) {
    const bool deleted = Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
    window.icon.reset();
    window.iconBytes.clear();
    return deleted;
  }

  data.uFlags = record.flags;
  data.uCallbackMessage = record.callbackMessage;
  // The shell copies the icon, so a new handle may replace the old one as
  // soon as the shell has taken it; until then the old one stays valid.
  win32::UniqueIcon made;
  if ((record.flags & kNifIcon) != 0) {
    if (window.icon && window.iconBytes == record.icon.Bytes()) {
      data.hIcon = window.icon.get();
    } else {
      made = MakeSmallIcon(record.icon.Bytes());
      if (!made) return false;
      data.hIcon = made.get();
    }
  }
  if ((record.flags & kNifTip) != 0) {
    const std::wstring tip = TrayTipToUtf16(record.tip);
    std::copy(tip.begin(), tip.end(), data.szTip);
    data.szTip[tip.size()] = L'\0';
  }

  if (Shell_NotifyIconW(ShellCommand(command), &data) == FALSE) return false;
  if (made) {
    window.icon = std::move(made);
    window.iconBytes = record.icon.Bytes();
  }
  return true;
}

bool Win32TrayPort::IsWindowEnabled(TrayWindow window) { return ::IsWindowEnabled(ToHwnd(window)) != FALSE; }

void Win32TrayPort::SetForegroundWindow(TrayWindow window) { ::SetForegroundWindow(ToHwnd(window)); }

void Win32TrayPort::ReleaseCapture() { ::ReleaseCapture(); }

Point Win32TrayPort::CursorPos() { return win32::CursorPosition(); }

ShiftState Win32TrayPort::KeyboardShiftState() {
  // The keys are asked for as they are now: the click went to the shell's
  // thread, so this thread's own key state would lag behind it.
  auto down = [](int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; };
  ShiftState state = 0;
  if (down(VK_SHIFT)) state |= kShift;
  if (down(VK_CONTROL)) state |= kCtrl;
  if (down(VK_MENU)) state |= kAlt;
  return state;
}

void Win32TrayPort::PostAnimationTick(TrayWindow window) {
  // PostMessageW is safe from any thread; a tick for a window destroyed
  // meanwhile is simply dropped by the system.
  PostMessageW(ToHwnd(window), kAnimationTickMessage, 0, 0);
}

std::vector<TrayWindow> Win32TrayPort::Windows() const {
  std::vector<TrayWindow> out;
  for (const auto& [id, window] : windows_) out.push_back(id);
  return out;
}

HICON Win32TrayPort::IconHandle(TrayWindow window) const {
  const auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second->icon.get();
}

LRESULT Win32TrayPort::NotifyWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kTrayCallbackMessage) {
    // The mouse message is the low word of lParam (the whole of it in the
    // record layout used here).
    OnTrayNotify(static_cast<unsigned>(LOWORD(lParam)));
    return 0;
  }
  if (msg == kAnimationTickMessage) {
    OnAnimationTick();
    return 0;
  }
  if (msg != 0 && msg == taskbarCreatedMessage_) {
    OnTaskbarCreated();
    return 0;
  }
  return Default(msg, wParam, lParam);
}

// Each handler is copied before it runs: it may destroy the icon, and with
// it this record and the handler itself.
void Win32TrayPort::NotifyWindow::OnTrayNotify(unsigned mouseMessage) {
  if (auto handler = events_.OnNotify) handler(mouseMessage);
}

void Win32TrayPort::NotifyWindow::OnAnimationTick() {
  if (auto handler = events_.OnAnimationTick) handler();
}

void Win32TrayPort::NotifyWindow::OnTaskbarCreated() {
  if (auto handler = events_.OnTaskbarCreated) handler();
}

}  // namespace tw
