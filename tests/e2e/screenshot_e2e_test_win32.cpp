// The Screenshot run seen from outside: the frame a drag leaves on the
// screen, the keys that move it, and what the copy commands put on the
// clipboard, read back by this process as any other program would.
#include <olectl.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "e2e/save_dialog_driver_win32.h"
#include "e2e/dialog_view_win32.h"
#include "e2e/tarnwick_fixture_win32.h"
#include "e2e/test_picture_win32.h"
#include "fakes/sample_pictures.h"

namespace e2e {
namespace {

constexpr RECT kPictureArea{420, 150, 820, 450};
constexpr COLORREF kGrey = 0xC0C0C0;

// A bitmap on the clipboard, as 0x00RRGGBB rows.
struct ClipboardPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  [[nodiscard]] COLORREF At(int x, int y) const {
    const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
};

// The clipboard's bitmap; or `given`, a bitmap of this process, read alike.
std::optional<ClipboardPicture> ReadClipboardBitmap(HBITMAP given = nullptr) {
  if (given == nullptr && !OpenClipboard(nullptr)) return std::nullopt;
  std::optional<ClipboardPicture> out;
  if (auto bitmap = given != nullptr ? given : static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    ClipboardPicture p{info.bmWidth, info.bmHeight, {}};
    p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB};
    HDC dc = GetDC(nullptr);
    if (p.width > 0 && GetDIBits(dc, bitmap, 0, static_cast<UINT>(p.height), p.pixels.data(), &bi,
                                 DIB_RGB_COLORS) == p.height)
      out = std::move(p);
    ReleaseDC(nullptr, dc);
  }
  if (given == nullptr) CloseClipboard();
  return out;
}

// An image file as OLE decodes it (GIF among others), which needs COM.
std::optional<ClipboardPicture> ReadImageFile(const std::wstring& path) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::optional<ClipboardPicture> out;
  IPicture* picture = nullptr;
  OLE_HANDLE bitmap = 0;
  if (SUCCEEDED(OleLoadPicturePath(const_cast<wchar_t*>(path.c_str()), nullptr, 0, 0, IID_IPicture,
                                   reinterpret_cast<void**>(&picture)))) {
    if (SUCCEEDED(picture->get_Handle(&bitmap)))
      out = ReadClipboardBitmap(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(bitmap)));
    picture->Release();
  }
  CoUninitialize();
  return out;
}

class ScreenshotTest : public TarnwickTest {
 protected:
  void SetUp() override {
    TarnwickTest::SetUp();
    if (HasFatalFailure()) return;
    picture_ = std::make_unique<TestPicture>(kPictureArea, pattern_);
    ASSERT_TRUE(WaitUntil([&] { return picture_->OnScreen(pattern_); }, 5s));
    beforeRun_ = ScreenShot::TakeAll();
    ASSERT_NO_FATAL_FAILURE(StartScreenshotRun(&host_));
  }

  void Drag(POINT from, POINT to) {
    std::string error;
    ASSERT_TRUE(MoveMouse(from, &error)) << error;
    MouseButtonHere(true);
    ASSERT_TRUE(MoveMouse({(from.x + to.x) / 2, (from.y + to.y) / 2}, &error)) << error;
    ASSERT_TRUE(MoveMouse(to, &error)) << error;
    MouseButtonHere(false);
  }

  // "" when the screen shows the picture with exactly the frame of the
  // inclusive rectangle r (inside the picture); otherwise the first wrong
  // pixel.
  std::string FrameProblem(const RECT& r) const {
    const ScreenShot shot = ScreenShot::Take(kPictureArea);
    for (int y = kPictureArea.top; y < kPictureArea.bottom; ++y)
      for (int x = kPictureArea.left; x < kPictureArea.right; ++x) {
        const bool outline = ((y == r.top || y == r.bottom) && x >= r.left && x <= r.right) ||
                             ((x == r.left || x == r.right) && y >= r.top && y <= r.bottom);
        const COLORREF want = outline && (x + y) % 2 == 1 ? kGrey : TestPicture::Expected(pattern_, x, y);
        if (shot.At(x, y) != want)
          return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " + Hex(shot.At(x, y)) +
                 ", not " + Hex(want) + " for the frame " + Describe(RECT{r.left, r.top, r.right, r.bottom});
      }
    return "";
  }

  void WaitForFrame(const RECT& r) {
    std::string problem;
    EXPECT_TRUE(WaitUntil(
        [&] {
          problem = FrameProblem(r);
          return problem.empty();
        },
        kReactionLimit))
        << problem;
  }

  // Waits for a new clipboard content and reads it.
  std::optional<ClipboardPicture> NextClipboardBitmap(DWORD before) {
    if (!WaitUntil([&] { return GetClipboardSequenceNumber() != before; }, kReactionLimit)) return std::nullopt;
    std::optional<ClipboardPicture> p;
    WaitUntil([&] { return (p = ReadClipboardBitmap()).has_value(); }, kReactionLimit);
    return p;
  }

  int pattern_ = 1;  // of the picture the run freezes
  std::unique_ptr<TestPicture> picture_;
  ScreenShot beforeRun_;
  WindowInfo host_;
};

TEST_F(ScreenshotTest, ADragFramesTheRegionAndAltCCopiesExactlyIt) {
  ASSERT_NO_FATAL_FAILURE(Drag({500, 200}, {600, 260}));
  ASSERT_NO_FATAL_FAILURE(WaitForFrame({500, 200, 600, 260}));
  SaveDocumentationPicture({0, 0, 720, 340}, L"screenshot.png");

  const DWORD before = GetClipboardSequenceNumber();
  PressKeys({VK_MENU, 'C'});
  const auto copy = NextClipboardBitmap(before);
  ASSERT_TRUE(copy.has_value()) << "no bitmap reached the clipboard; " << Seen();
  ASSERT_EQ(copy->width, 101);
  ASSERT_EQ(copy->height, 61);
  for (int y = 0; y < copy->height; ++y)
    for (int x = 0; x < copy->width; ++x)
      ASSERT_EQ(copy->At(x, y), TestPicture::Expected(1, 500 + x, 200 + y)) << "copied pixel " << x << ", " << y;

  // The Alt key did not put the host into menu mode: the arrow moves the
  // selection, and the frame goes with it.
  PressKey(VK_RIGHT);
  ASSERT_NO_FATAL_FAILURE(WaitForFrame({501, 200, 601, 260}));
  PressKeys({VK_SHIFT, VK_DOWN});
  ASSERT_NO_FATAL_FAILURE(WaitForFrame({501, 200, 601, 261}));
  EXPECT_TRUE(HostShown()) << Seen();
}

TEST_F(ScreenshotTest, CtrlCCopiesTheWholeFrozenScreenWithoutFrameOrInfoWindow) {
  ASSERT_NO_FATAL_FAILURE(Drag({500, 200}, {600, 260}));
  ASSERT_NO_FATAL_FAILURE(WaitForFrame({500, 200, 600, 260}));
  const DWORD before = GetClipboardSequenceNumber();
  PressKeys({VK_CONTROL, 'C'});
  const auto copy = NextClipboardBitmap(before);
  ASSERT_TRUE(copy.has_value()) << "no bitmap reached the clipboard; " << Seen();
  const RECT screen = ScreenRect();
  ASSERT_EQ(copy->width, screen.right - screen.left);
  ASSERT_EQ(copy->height, screen.bottom - screen.top);
  for (int y = kPictureArea.top; y < kPictureArea.bottom; ++y)
    for (int x = kPictureArea.left; x < kPictureArea.right; ++x)
      ASSERT_EQ(copy->At(x, y), TestPicture::Expected(1, x, y)) << "pixel " << x << ", " << y;
  // Where the info window lies the copy shows what was there before the run.
  HWND info = FindWindowExW(host_.hwnd, nullptr, L"TInfoWin", nullptr);
  ASSERT_NE(info, nullptr) << Seen();
  RECT r{};
  GetWindowRect(info, &r);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      ASSERT_EQ(copy->At(x, y), beforeRun_.At(x, y)) << "pixel " << x << ", " << y << " under the info window";
}

TEST_F(ScreenshotTest, AHeldClipboardGivesOneMessageAndTheRunGoesOn) {
  // This process holds the clipboard open, as another program may: for a
  // moment, as a clipboard manager does whenever it changes, the copy waits.
  ASSERT_NO_FATAL_FAILURE(Drag({500, 200}, {600, 260}));
  ASSERT_NO_FATAL_FAILURE(WaitForFrame({500, 200, 600, 260}));
  DWORD before = GetClipboardSequenceNumber();
  ASSERT_TRUE(OpenClipboard(nullptr));
  PressKeys({VK_MENU, 'C'});
  Pause(100ms);
  CloseClipboard();
  EXPECT_TRUE(NextClipboardBitmap(before).has_value()) << "no copy after a short hold; " << Seen();
  EXPECT_FALSE(WaitForMessageBox(Pid(), kQuietPeriod).has_value()) << "a message after a short hold";
  // For 2 s: one message, while it is still held.
  ASSERT_TRUE(OpenClipboard(nullptr));
  PressKeys({VK_MENU, 'C'});
  const auto box = WaitForMessageBox(Pid(), kReactionLimit);
  Pause(2s);
  CloseClipboard();
  ASSERT_TRUE(box.has_value()) << "no message box; " << Seen();
  EXPECT_EQ(MessageBoxText(box->hwnd), L"Cannot open clipboard");
  EXPECT_FALSE(WaitForMessageBox(Pid(), kQuietPeriod, box->hwnd).has_value()) << "a second message";
  PostMessageW(box->hwnd, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box->hwnd); }, kReactionLimit)) << Seen();
  EXPECT_TRUE(HostShown()) << "the run ended; " << Seen();

  before = GetClipboardSequenceNumber();
  PressKeys({VK_CONTROL, VK_INSERT});
  EXPECT_TRUE(NextClipboardBitmap(before).has_value()) << "the next copy failed; " << Seen();
}


// A file's bytes; empty when it cannot be read.
std::vector<unsigned char> FileBytes(const std::wstring& path) {
  std::vector<unsigned char> bytes;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return bytes;
  unsigned char buffer[65536];
  DWORD read = 0;
  while (ReadFile(f, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.insert(bytes.end(), buffer, buffer + read);
  CloseHandle(f);
  return bytes;
}

std::wstring TempFolder() {
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, path);
  return path;
}

std::uint32_t BigEndian32(const std::vector<unsigned char>& b, std::size_t at) {
  return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

class ScreenshotSaveTest : public ScreenshotTest {
 protected:
  // Opens the save dialog with `keys` and types `name` into it.
  void OpenDialog(std::initializer_list<WORD> keys, const std::wstring& name) {
    PressKeys(keys);
    dialog_ = FindSaveDialog(Pid(), kReactionLimit);
    ASSERT_NE(dialog_, nullptr) << "no save dialog; " << Seen();
    std::string error;
    ASSERT_TRUE(SetSaveDialogFileName(dialog_, name, &error)) << error;
  }
  void Confirm() {
    std::string error;
    ASSERT_TRUE(PressSaveDialogSave(dialog_, &error)) << error;
    ASSERT_TRUE(WaitForSaveDialogClosed(dialog_, kReactionLimit)) << Seen();
  }
  // The file once it has its final size (the program writes it whole).
  std::vector<unsigned char> WrittenFile(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    WaitUntil([&] { return !(bytes = FileBytes(path)).empty(); }, kReactionLimit);
    return bytes;
  }
  HWND dialog_ = nullptr;
};

TEST_F(ScreenshotSaveTest, CtrlSWithATypedNameWritesAPngOfTheFrozenScreen) {
  const std::wstring base = TempFolder() + L"shot";
  ASSERT_NO_FATAL_FAILURE(OpenDialog({VK_CONTROL, 'S'}, base));
  EXPECT_EQ(SaveDialogFileType(dialog_), 2) << "the dialog should open on PNG";
  ASSERT_NO_FATAL_FAILURE(Confirm());
  const auto png = WrittenFile(base + L".png");
  ASSERT_GT(png.size(), 24u) << "no PNG written; " << Seen();
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  const RECT screen = ScreenRect();
  EXPECT_EQ(BigEndian32(png, 16), static_cast<std::uint32_t>(screen.right - screen.left));
  EXPECT_EQ(BigEndian32(png, 20), static_cast<std::uint32_t>(screen.bottom - screen.top));
  EXPECT_TRUE(HostShown()) << "the save ended the run; " << Seen();
}

TEST_F(ScreenshotSaveTest, TheJpegTypeUnderAPngNameWritesJpegData) {
  ASSERT_NO_FATAL_FAILURE(Drag({500, 200}, {600, 260}));
  ASSERT_NO_FATAL_FAILURE(WaitForFrame({500, 200, 600, 260}));
  const std::wstring name = TempFolder() + L"region.png";
  ASSERT_NO_FATAL_FAILURE(OpenDialog({VK_MENU, 'S'}, name));
  std::string error;
  ASSERT_TRUE(ChooseSaveDialogFileType(dialog_, 3, &error)) << error;
  ASSERT_TRUE(SetSaveDialogFileName(dialog_, name, &error)) << error;
  ASSERT_NO_FATAL_FAILURE(Confirm());
  const auto jpeg = WrittenFile(name);
  ASSERT_GT(jpeg.size(), 3u) << "nothing written; " << Seen();
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  // The Alt key did not leave the host in menu mode.
  PressKey(VK_LEFT);
  ASSERT_NO_FATAL_FAILURE(WaitForFrame({499, 200, 599, 260}));
}

TEST_F(ScreenshotSaveTest, CancelWritesNothingAndNoKeepsTheOldFile) {
  const std::wstring name = TempFolder() + L"kept.png";
  {
    std::ofstream old(Narrow(name), std::ios::binary);
    old << "old";
  }
  ASSERT_NO_FATAL_FAILURE(OpenDialog({VK_CONTROL, 'S'}, name));
  std::string error;
  ASSERT_TRUE(PressSaveDialogSave(dialog_, &error)) << error;
  const auto prompt = FindOverwritePrompt(dialog_, kReactionLimit);
  ASSERT_TRUE(prompt.has_value()) << "no overwrite prompt; " << Seen();
  ASSERT_TRUE(AnswerOverwritePrompt(*prompt, false, kReactionLimit, &error)) << error;
  EXPECT_TRUE(SaveDialogOpen(dialog_)) << "No should return to the dialog";
  ASSERT_TRUE(PressSaveDialogCancel(dialog_, &error)) << error;
  ASSERT_TRUE(WaitForSaveDialogClosed(dialog_, kReactionLimit)) << Seen();
  Pause(kQuietPeriod);
  const auto bytes = FileBytes(name);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old");
  EXPECT_FALSE(FileExists(TempFolder() + L"kept.png.png"));
  EXPECT_TRUE(HostShown()) << Seen();
}

class ScreenshotGifTest : public ScreenshotSaveTest {
 protected:
  ScreenshotGifTest() { pattern_ = TestPicture::kGifSamples; }
};

TEST_F(ScreenshotGifTest, AltSAsGifKeepsTwoHundredColoursExactlyAndAGradientClose) {
  // Inclusive, 201 pixels wide: 200 colours, and one tile of the gradient;
  // apart, or the second drag would resize the first selection.
  using Case = std::pair<RECT, double>;  // the region, the mean channel error allowed
  for (const auto& [region, maxError] : {Case{{512, 160, 712, 240}, 0.0}, Case{{512, 256, 712, 406}, 5.0}}) {
    ASSERT_NO_FATAL_FAILURE(Drag({region.left, region.top}, {region.right, region.bottom}));
    ASSERT_NO_FATAL_FAILURE(WaitForFrame(region));
    const std::wstring name = TempFolder() + L"region" + std::to_wstring(region.top) + L".gif";
    ASSERT_NO_FATAL_FAILURE(OpenDialog({VK_MENU, 'S'}, name));
    std::string error;
    ASSERT_TRUE(ChooseSaveDialogFileType(dialog_, 1, &error)) << error;
    ASSERT_TRUE(SetSaveDialogFileName(dialog_, name, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(Confirm());
    ASSERT_FALSE(WrittenFile(name).empty()) << "nothing written; " << Seen();
    const auto gif = ReadImageFile(name);
    ASSERT_TRUE(gif && gif->width == 201 && gif->height == region.bottom - region.top + 1) << "no GIF of the region";
    std::vector<std::uint32_t> expected;
    for (int y = region.top; y <= region.bottom; ++y)
      for (int x = region.left; x <= region.right; ++x)
        expected.push_back(tw::ColorRefToPixel(TestPicture::Expected(pattern_, x, y)));
    EXPECT_LE(tw::samples::MeanChannelError(gif->pixels, expected), maxError) << Describe(region);
  }
}

// A folder that cannot be written never gets past Wine's save dialog (for
// Z:\sys it says itself that the path does not exist), so the program's own
// message for it is checked in the Win32 layer's export tests. A file that
// another program holds open gets through and reaches that message.
TEST_F(ScreenshotSaveTest, AFileAnotherProgramHoldsSaysWhyAndNothingIsLost) {
  const std::wstring name = TempFolder() + L"held.png";
  {
    std::ofstream old(Narrow(name), std::ios::binary);
    old << "old";
  }
  HANDLE held = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_NO_FATAL_FAILURE(OpenDialog({VK_CONTROL, 'S'}, name));
  std::string error;
  ASSERT_TRUE(PressSaveDialogSave(dialog_, &error)) << error;
  const auto prompt = FindOverwritePrompt(dialog_, kReactionLimit);
  ASSERT_TRUE(prompt.has_value()) << "no overwrite prompt; " << Seen();
  ASSERT_TRUE(AnswerOverwritePrompt(*prompt, true, kReactionLimit, &error)) << error;
  ASSERT_TRUE(WaitForSaveDialogClosed(dialog_, kReactionLimit)) << Seen();
  const auto box = WaitForMessageBox(Pid(), kReactionLimit);
  CloseHandle(held);
  ASSERT_TRUE(box.has_value()) << "no message; " << Seen();
  const std::wstring text = MessageBoxText(box->hwnd);
  EXPECT_EQ(text.rfind(L"Cannot ", 0), 0u) << Narrow(text);
  PostMessageW(box->hwnd, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box->hwnd); }, kReactionLimit)) << Seen();
  EXPECT_TRUE(HostShown()) << "the failed save ended the run; " << Seen();
  const auto bytes = FileBytes(name);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old");
  // The failed save keeps no handle on the file.
  HANDLE alone = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(alone, INVALID_HANDLE_VALUE) << GetLastError();
  if (alone != INVALID_HANDLE_VALUE) CloseHandle(alone);

  // Nothing lost: the same frozen screen still saves.
  const std::wstring elsewhere = TempFolder() + L"after.png";
  ASSERT_NO_FATAL_FAILURE(OpenDialog({VK_CONTROL, 'S'}, elsewhere));
  ASSERT_NO_FATAL_FAILURE(Confirm());
  EXPECT_GT(WrittenFile(elsewhere).size(), 24u) << Seen();
}

// Tarnwick.exe started from a folder with a gdiplus.dll that cannot load:
// it prefers the library beside itself, and Wine refuses a broken one.
class WithoutGdiplus : public ScreenshotSaveTest {
 protected:
  void SetUp() override {
    const std::wstring folder = TempFolder() + L"tarnwick-nogdiplus\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    exe_ = folder + L"Tarnwick.exe";
    ASSERT_TRUE(CopyFileW(TarnwickExePath().c_str(), exe_.c_str(), FALSE)) << GetLastError();
    {
      std::ofstream broken(Narrow(folder + L"gdiplus.dll"), std::ios::binary);
      broken << "MZ not a library";
    }
    ScreenshotSaveTest::SetUp();
  }
};

TEST_F(WithoutGdiplus, ASaveSaysGdiplusIsMissingAndCopyingStillWorks) {
  const std::wstring name = TempFolder() + L"nogdiplus.png";
  ASSERT_NO_FATAL_FAILURE(OpenDialog({VK_CONTROL, 'S'}, name));
  ASSERT_NO_FATAL_FAILURE(Confirm());
  const auto box = WaitForMessageBox(Pid(), kReactionLimit);
  ASSERT_TRUE(box.has_value()) << "no message; " << Seen();
  EXPECT_EQ(MessageBoxText(box->hwnd), L"Cannot save the image: GDI+ is not available");
  PostMessageW(box->hwnd, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box->hwnd); }, kReactionLimit)) << Seen();
  EXPECT_FALSE(FileExists(name));
  EXPECT_TRUE(HostShown()) << Seen();
  const DWORD before = GetClipboardSequenceNumber();
  PressKeys({VK_CONTROL, 'C'});
  EXPECT_TRUE(NextClipboardBitmap(before).has_value()) << "copying needs no GDI+; " << Seen();
}

}  // namespace
}  // namespace e2e
