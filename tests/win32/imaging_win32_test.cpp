// The image export against real GDI+ and real files: the library choice and
// start, each format written and read back, and the failures that must
// leave an existing file as it was.
#include "imaging/win32/imaging_ports.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "core/error.h"
#include "imaging/win32/gdip_loader.h"
#include "platform/win32/utf.h"

namespace tw::win32 {
namespace {

// --- Files of one test --------------------------------------------------

std::string FileContent(const std::string& path) {
  const HANDLE opened = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return "(no file)";
  const UniqueFile file(opened);
  std::string content;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) != FALSE && read > 0) content.append(buffer, read);
  return content;
}

void PutFile(const std::string& path, const std::string& content) {
  const HANDLE opened =
      CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(opened, INVALID_HANDLE_VALUE) << path;
  const UniqueFile file(opened);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
  ASSERT_EQ(written, content.size());
}

// A folder of its own under the temporary folder, removed with all its
// files afterwards.
class TestFolder {
 public:
  TestFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static int count = 0;
    path_ = Narrow(temp) + "tw-imaging-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count) + "\\";
    CreateDirectoryW(Widen(path_).c_str(), nullptr);
  }
  ~TestFolder() {
    for (const std::string& name : Files()) {
      SetFileAttributesW(Widen(path_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(Widen(path_ + name).c_str());
    }
    RemoveDirectoryW(Widen(path_).c_str());
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  [[nodiscard]] const std::string& Path() const { return path_; }
  [[nodiscard]] std::string operator/(const std::string& name) const { return path_ + name; }
  [[nodiscard]] std::set<std::string> Files() const {
    std::set<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(Widen(path_ + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.insert(Narrow(found.cFileName));
    } while (FindNextFileW(search, &found) != FALSE);
    FindClose(search);
    return names;
  }

 private:
  std::string path_;
};

std::string SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetSystemDirectoryW(folder, MAX_PATH);
  return Narrow(folder) + "\\";
}

// --- Pictures -----------------------------------------------------------

// Gradients across and down with a third pattern in blue, so that a swapped
// channel, a flipped row order or a shifted column shows.
Pixmap KnownPicture(int width, int height, PixelValue topByte = 0) {
  Pixmap picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const PixelValue red = static_cast<PixelValue>(x * 255 / std::max(1, width - 1));
      const PixelValue green = static_cast<PixelValue>(y * 255 / std::max(1, height - 1));
      const PixelValue blue = static_cast<PixelValue>((x * 7 + y * 13) & 0xFF);
      picture.SetPixel(x, y, topByte | red << 16 | green << 8 | blue);
    }
  return picture;
}

struct Decoded {
  bool ok = false;
  Pixmap pixels;  // 0x00RRGGBB
};

// The file read back through GDI+, every pixel as 32bppRGB.
Decoded DecodeFile(const TGdipLoaderFull& loader, const std::string& path) {
  using LockBits = gdip::Status(WINAPI*)(gdip::GpImage*, const gdip::Rect*, UINT, gdip::PixelFormat,
                                         gdip::BitmapData*);
  using UnlockBits = gdip::Status(WINAPI*)(gdip::GpImage*, gdip::BitmapData*);
  const auto lock = loader.Drawing<LockBits>("GdipBitmapLockBits");
  const auto unlock = loader.Drawing<UnlockBits>("GdipBitmapUnlockBits");
  Decoded decoded;
  if (lock == nullptr || unlock == nullptr) return decoded;
  gdip::GpImage* image = nullptr;
  if (loader.Base().GdipLoadImageFromFile(Widen(path).c_str(), &image) != gdip::kOk) return decoded;
  UINT width = 0;
  UINT height = 0;
  loader.Base().GdipGetImageWidth(image, &width);
  loader.Base().GdipGetImageHeight(image, &height);
  const gdip::Rect all{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
  gdip::BitmapData data{};
  if (width > 0 && height > 0 &&
      lock(image, &all, gdip::kImageLockModeRead, gdip::kPixelFormat32bppRGB, &data) == gdip::kOk) {
    decoded.pixels.Resize(static_cast<int>(width), static_cast<int>(height));
    for (UINT y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const PixelValue*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
      for (UINT x = 0; x < width; ++x) decoded.pixels.Row(static_cast<int>(y))[x] = row[x] & 0x00FFFFFF;
    }
    unlock(image, &data);
    decoded.ok = true;
  }
  loader.Base().GdipDisposeImage(image);
  return decoded;
}

Pixmap WithoutTopByte(const Pixmap& picture) {
  Pixmap out = picture;
  for (PixelValue& p : out.Data()) p &= 0x00FFFFFF;
  return out;
}

std::string SaveError(IImageExport& exporter, const Pixmap& picture, const std::string& file, int format,
                      int quality = 50) {
  try {
    exporter.SaveBitmapToFile(picture, file, format, quality);
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

// --- The loader ---------------------------------------------------------

TEST(GdipLoaderWin32, LoadsAndStartsGdiplusWithEveryFunction) {
  const TGdipLoaderFull loader;
  ASSERT_TRUE(loader.Available());
  EXPECT_EQ(loader.LibraryFile(), "gdiplus.dll");  // nothing beside the test program, no word processor
  EXPECT_NE(loader.Token(), 0u);
  EXPECT_TRUE(loader.Hooked());
  EXPECT_NE(loader.Base().GdipSaveImageToStream, nullptr);
  EXPECT_NE(loader.Export().GdipCloneBitmapAreaI, nullptr);
  const auto names = TGdipLoaderFull::DrawingFunctionNames();
  EXPECT_EQ(names.size(), 64u);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  for (const char* name : names) EXPECT_NE(loader.DrawingFunction(name), nullptr) << name;
  EXPECT_EQ(loader.DrawingFunction("GdipNoSuchFunction"), nullptr);
}

TEST(GdipLoaderWin32, RestoresTheErrorModeItFound) {
  const DWORD before = GetThreadErrorMode();
  const TestFolder folder;
  PutFile(folder / "gdiplus.dll", "not a library");
  const TGdipLoaderFull loader(GdipLibraryFolder{folder.Path()});
  EXPECT_EQ(GetThreadErrorMode(), before);
}

TEST(GdipLoaderWin32, GarbageLibraryInTheProgramFolderLeavesGdiplusUnavailable) {
  const TestFolder folder;
  PutFile(folder / "gdiplus.dll", std::string(4096, 'x'));
  const TGdipLoaderFull loader(GdipLibraryFolder{folder.Path()});
  EXPECT_EQ(loader.LibraryFile(), folder / "gdiplus.dll");
  EXPECT_FALSE(loader.Available());
  EXPECT_EQ(loader.Token(), 0u);
  EXPECT_EQ(loader.DrawingFunction("GdipDrawLine"), nullptr);

  ImageExport exporter(loader);
  PutFile(folder / "old.png", "the old image");
  EXPECT_EQ(SaveError(exporter, KnownPicture(37, 23), folder / "old.png", kPngFormat),
            "Cannot save the image: GDI+ is not available");
  EXPECT_EQ(FileContent(folder / "old.png"), "the old image");
  EXPECT_EQ(folder.Files(), (std::set<std::string>{"gdiplus.dll", "old.png"}));
}

TEST(GdipLoaderWin32, Gdiplus11ComesBeforeGdiplus) {
  const TestFolder folder;
  PutFile(folder / "gdiplus11.dll", "not a library");
  ASSERT_TRUE(CopyFileW(Widen(SystemFolder() + "gdiplus.dll").c_str(), Widen(folder / "gdiplus.dll").c_str(), FALSE));
  const TGdipLoaderFull loader(GdipLibraryFolder{folder.Path()});
  EXPECT_EQ(loader.LibraryFile(), folder / "gdiplus11.dll");
  EXPECT_FALSE(loader.Available());
}

TEST(GdipLoaderWin32, CopyInTheProgramFolderIsTheOneLoaded) {
  const TestFolder folder;
  ASSERT_TRUE(CopyFileW(Widen(SystemFolder() + "gdiplus.dll").c_str(), Widen(folder / "gdiplus11.dll").c_str(), FALSE));
  const TGdipLoaderFull loader(GdipLibraryFolder{folder.Path()});
  EXPECT_EQ(loader.LibraryFile(), folder / "gdiplus11.dll");
  ASSERT_TRUE(loader.Available());
  wchar_t loaded[MAX_PATH] = {};
  GetModuleFileNameW(loader.Library(), loaded, MAX_PATH);
  EXPECT_EQ(_wcsicmp(loaded, Widen(folder / "gdiplus11.dll").c_str()), 0) << Narrow(loaded);
}

// The word processor's command is a machine-wide registration; the test's
// own prefix has none until this test writes one.
class WordProcessorGdiplusWin32 : public ::testing::Test {
 protected:
  static constexpr const wchar_t* kKey = L"Applications\\Winword.exe\\shell\\edit\\command";
  ~WordProcessorGdiplusWin32() override { RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Applications\\Winword.exe"); }
  void SetCommand(const std::wstring& command) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const UniqueKey owned(key);
    ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                             static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  TestFolder programFolder_;
  TestFolder office_;
};

TEST_F(WordProcessorGdiplusWin32, ItsCopyIsTakenWhenItsVersionCannotBeRead) {
  PutFile(office_ / "WINWORD.EXE", "no version here");
  ASSERT_TRUE(CopyFileW(Widen(SystemFolder() + "gdiplus.dll").c_str(), Widen(office_ / "gdiplus.dll").c_str(), FALSE));
  SetCommand(L"\"" + Widen(office_ / "WINWORD.EXE") + L"\" /n");
  const TGdipLoaderFull loader(GdipLibraryFolder{programFolder_.Path()});
  EXPECT_EQ(loader.LibraryFile(), office_ / "gdiplus.dll");
  EXPECT_TRUE(loader.Available());
}

TEST_F(WordProcessorGdiplusWin32, UnquotedOrUnterminatedCommandIsIgnored) {
  PutFile(office_ / "WINWORD.EXE", "no version here");
  PutFile(office_ / "gdiplus.dll", "not a library");
  for (const std::wstring& command :
       {Widen(office_ / "WINWORD.EXE") + L" /n", L"\"" + Widen(office_ / "WINWORD.EXE"), std::wstring(),
        L"\"" + std::wstring(400, L'x')}) {
    SetCommand(command);
    const TGdipLoaderFull loader(GdipLibraryFolder{programFolder_.Path()});
    EXPECT_EQ(loader.LibraryFile(), "gdiplus.dll") << Narrow(command);
    EXPECT_TRUE(loader.Available());
  }
}

// --- The export ---------------------------------------------------------

class ImageExportWin32 : public ::testing::Test {
 protected:
  TGdipLoaderFull loader_;
  ImageExport exporter_{loader_};
  TestFolder folder_;
};

struct FormatCase {
  int format;
  int quality;
  std::string magic;  // how the file starts
  bool exact;         // decodes back pixel for pixel
  // The top byte is noise here, as in a capture: the picture must stay opaque.
  Pixmap picture = KnownPicture(37, 23, 0x5A000000);
};

class ImageFormatsWin32 : public ImageExportWin32, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ImageFormatsWin32, FileHoldsTheFormatAndDecodesBack) {
  const FormatCase& c = GetParam();
  const Pixmap& picture = c.picture;
  const std::string file = folder_ / "shot.img";
  ASSERT_EQ(SaveError(exporter_, picture, file, c.format, c.quality), "(no error)");
  EXPECT_EQ(FileContent(file).substr(0, c.magic.size()), c.magic);
  const Decoded decoded = DecodeFile(loader_, file);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.pixels.Width(), picture.Width());
  EXPECT_EQ(decoded.pixels.Height(), picture.Height());
  if (c.exact) EXPECT_TRUE(decoded.pixels == WithoutTopByte(picture));
  EXPECT_EQ(folder_.Files(), std::set<std::string>{"shot.img"});
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageFormatsWin32,
                         ::testing::Values(FormatCase{kPngFormat, 50, "\x89PNG", true},
                                           FormatCase{kBmpFormat, 50, "BM", true},
                                           FormatCase{kTiffFormat, 50, "II*", true},
                                           FormatCase{kTiffFormat, 6, "II*", true},
                                           FormatCase{kJpegFormat, 50, "\xFF\xD8", false},
                                           FormatCase{kJpegFormat, -1, "\xFF\xD8", false},
                                           FormatCase{kGifFormat, 50, "GIF8", false},
                                           // A one-entry palette: the 200-colour and gradient
                                           // pictures go through the same GDI+ calls end to end.
                                           FormatCase{kGifFormat, 50, "GIF8", true, Pixmap(37, 23, 0x123456)}));

TEST_F(ImageExportWin32, PictureMadeFromAPixmapIsOpaque32BitRgb) {
  GdiplusPort port(loader_);
  const GdipImage image = port.CreateImage(KnownPicture(37, 23, 0xFF000000));
  ASSERT_NE(image, 0u);
  gdip::PixelFormat format = 0;
  EXPECT_EQ(loader_.Export().GdipGetImagePixelFormat(reinterpret_cast<gdip::GpImage*>(image), &format), gdip::kOk);
  EXPECT_EQ(format, gdip::kPixelFormat32bppRGB);
  EXPECT_EQ(port.ImageSize(image), (Size{37, 23}));
  port.DisposeImage(image);
}

TEST_F(ImageExportWin32, GifEncoderOutputIsCheckedAndTheProgramsPaletteMendsIt) {
  GdiplusPort port(loader_);
  TGdipPicture picture = TGdipPicture::FromPixmap(port, KnownPicture(37, 23));
  ASSERT_TRUE(picture.HasContent());
  FilePort files;
  TImageExporter exporter(port, files);
  const EncodedImage direct = exporter.EncodePicture(picture, kGifFormat, 50);
  ASSERT_EQ(direct.status, kGdipOk);
  if (port.DecodedSize(direct.bytes) == Size{37, 23}) GTEST_SKIP() << "this GDI+ encodes 32-bit GIFs itself";
  TGdipPicture indexed = TGdipPicture::WithPalette(port, KnownPicture(37, 23));
  ASSERT_TRUE(indexed.HasContent());
  const EncodedImage fromIndexed = exporter.EncodePicture(indexed, kGifFormat, 50);
  ASSERT_EQ(fromIndexed.status, kGdipOk);
  EXPECT_EQ(port.DecodedSize(fromIndexed.bytes), (Size{37, 23}));
}

TEST_F(ImageExportWin32, UndecodableBytesAreRefused) {
  GdiplusPort port(loader_);
  const std::vector<std::uint8_t> noise(24, 0);
  EXPECT_FALSE(port.DecodedSize(noise).has_value());
  const std::string png = "\x89PNG\r\n\x1a\n";
  EXPECT_FALSE(port.DecodedSize(std::vector<std::uint8_t>(png.begin(), png.end())).has_value());
}

// Wine's ReplaceFileW does not carry the old file's attributes over
// (measured: a hidden file comes back as archive only), so this checks the
// content; Windows documents that the attributes stay.
TEST_F(ImageExportWin32, ExistingFileIsReplaced) {
  const std::string file = folder_ / "shot.png";
  PutFile(file, "the old image");
  ASSERT_EQ(SaveError(exporter_, KnownPicture(37, 23), file, kPngFormat), "(no error)");
  const Decoded decoded = DecodeFile(loader_, file);
  ASSERT_TRUE(decoded.ok);
  EXPECT_TRUE(decoded.pixels == KnownPicture(37, 23));
  EXPECT_EQ(folder_.Files(), std::set<std::string>{"shot.png"});
}

// Wine's ReplaceFileW leaves an empty "rf<1 to 4 hex digits>.tmp" of its
// own behind when it fails (measured; Windows makes none). Those are not the
// export's.
std::set<std::string> WithoutWinesReplaceLeftovers(std::set<std::string> names) {
  std::erase_if(names, [](const std::string& name) {
    if (!name.starts_with("rf") || !name.ends_with(".tmp")) return false;
    const std::string digits = name.substr(2, name.size() - 6);
    return !digits.empty() && digits.size() <= 4 &&
           digits.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
  });
  return names;
}

TEST_F(ImageExportWin32, FailingReplaceLeavesTheFileAndNoTemporaryOne) {
  const std::string file = folder_ / "shot.png";
  PutFile(file, "the old image");
  {
    // Held open without sharing, the file cannot be replaced.
    const HANDLE held = CreateFileW(Widen(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const UniqueFile owned(held);
    const std::string error = SaveError(exporter_, KnownPicture(37, 23), file, kPngFormat);
    EXPECT_EQ(error.rfind("Cannot create file \"" + file + "\". ", 0), 0u) << error;
    EXPECT_EQ(error.find('\r'), std::string::npos);
  }
  EXPECT_EQ(FileContent(file), "the old image");
  EXPECT_EQ(WithoutWinesReplaceLeftovers(folder_.Files()), std::set<std::string>{"shot.png"});
}

TEST_F(ImageExportWin32, FolderWhereNothingMayBeWrittenGivesTheSystemsText) {
  EXPECT_EQ(SaveError(exporter_, KnownPicture(37, 23), "Z:\\sys\\x.png", kPngFormat),
            "Cannot create file \"Z:\\sys\\x.png\". Access denied.");
}

TEST_F(ImageExportWin32, UnknownFormatLeavesTheFile) {
  const std::string file = folder_ / "shot.png";
  PutFile(file, "the old image");
  EXPECT_EQ(SaveError(exporter_, KnownPicture(37, 23), file, 5), "Cannot save the image: there is no image format 5");
  EXPECT_EQ(FileContent(file), "the old image");
}

TEST_F(ImageExportWin32, FilePortWritesWholeFilesAndRenamesNewOnes) {
  FilePort files;
  const std::optional<std::string> temp = files.MakeTempFile(folder_.Path());
  ASSERT_TRUE(temp.has_value());
  EXPECT_EQ(temp->rfind(folder_.Path(), 0), 0u) << *temp;
  EXPECT_TRUE(files.FileExists(*temp));
  const std::string content = "0123456789";
  EXPECT_EQ(files.WriteWholeFile(*temp, std::vector<std::uint8_t>(content.begin(), content.end())), kNoSystemError);
  EXPECT_EQ(files.ReplaceWith(folder_ / "new.bin", *temp), kNoSystemError);
  EXPECT_EQ(FileContent(folder_ / "new.bin"), content);
  EXPECT_FALSE(files.FileExists(*temp));
  EXPECT_FALSE(files.MakeTempFile("Z:\\sys\\").has_value());
  EXPECT_EQ(files.ErrorText(ERROR_ACCESS_DENIED), "Access denied.\r\n");
  EXPECT_TRUE(files.RemoveFile(folder_ / "new.bin"));
  EXPECT_FALSE(files.FileExists(folder_ / "new.bin"));
}

TEST_F(ImageExportWin32, AFileThatDoesNotOpenIsHeldByNoOwner) {
  const long before = LiveHandles(HandleKind::Other);
  const UniqueFile missing(CreateFileW(Widen(folder_ / "missing.bin").c_str(), GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing);  // INVALID_HANDLE_VALUE, not null, is what failed
  EXPECT_EQ(LiveHandles(HandleKind::Other), before);
}

// Not a timed test: the figures go to the log, the check is that each
// format comes back at its size.
TEST_F(ImageExportWin32, FullScreenPictureInEveryFormat) {
  const Pixmap picture = KnownPicture(1920, 1080);
  const char* names[] = {"GIF", "PNG", "JPEG", "BMP", "TIFF"};
  for (int format = 0; format < kImageFormatCount; ++format) {
    const std::string file = folder_ / ("full" + std::to_string(format));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(SaveError(exporter_, picture, file, format), "(no error)") << names[format];
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    const Decoded decoded = DecodeFile(loader_, file);
    ASSERT_TRUE(decoded.ok) << names[format];
    EXPECT_EQ(decoded.pixels.Width(), 1920);
    EXPECT_EQ(decoded.pixels.Height(), 1080);
    std::printf("1920x1080 %s: %lld ms, %zu bytes\n", names[format], static_cast<long long>(ms),
                FileContent(file).size());
  }
}

}  // namespace
}  // namespace tw::win32
