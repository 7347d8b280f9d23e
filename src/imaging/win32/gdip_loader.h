// GDI+ loaded at run time: the library file chosen, its flat functions
// resolved by name and GDI+ started, for as long as the loader lives. The
// program makes one TGdipLoaderFull at start and keeps it to the end.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/handles.h"

namespace tw::win32 {

// The few GDI+ flat-API types the program uses, declared here: the program
// never links GDI+, so it needs none of its headers.
namespace gdip {

using Status = int;
using GpImage = void;
using PixelFormat = INT;
constexpr Status kOk = 0;
constexpr PixelFormat kPixelFormatGdi = 0x00020000;
constexpr PixelFormat kPixelFormatIndexed = 0x00010000;
constexpr PixelFormat kPixelFormat8bppIndexed = 3 | (8 << 8) | kPixelFormatIndexed | kPixelFormatGdi;
constexpr PixelFormat kPixelFormat32bppRGB = 9 | (32 << 8) | kPixelFormatGdi;
constexpr ULONG kEncoderParameterValueTypeLong = 4;
constexpr UINT kImageLockModeRead = 1;
constexpr UINT kImageLockModeWrite = 2;

struct StartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};
using NotificationHookProc = Status(WINAPI*)(ULONG_PTR* token);
using NotificationUnhookProc = void(WINAPI*)(ULONG_PTR token);
struct StartupOutput {
  NotificationHookProc NotificationHook = nullptr;
  NotificationUnhookProc NotificationUnhook = nullptr;
};

struct EncoderParameter {
  GUID Guid;
  ULONG NumberOfValues;
  ULONG Type;
  void* Value;
};
struct EncoderParameters {
  UINT Count;
  EncoderParameter Parameter[1];
};

struct Rect {
  INT X, Y, Width, Height;
};
// ColorPalette, with room for the 256 entries an 8-bit image can have (the
// flat API declares it with one).
struct Palette256 {
  UINT Flags;
  UINT Count;
  UINT32 Entries[256];  // 0xAARRGGBB
};
struct BitmapData {
  UINT Width;
  UINT Height;
  INT Stride;
  PixelFormat Format;
  void* Scan0;
  UINT_PTR Reserved;
};

}  // namespace gdip

// The base functions, in the order they are resolved.
struct GdipBaseFunctions {
  gdip::Status(WINAPI* GdiplusStartup)(ULONG_PTR*, const gdip::StartupInput*, gdip::StartupOutput*);
  void(WINAPI* GdiplusShutdown)(ULONG_PTR);
  gdip::Status(WINAPI* GdipDeleteGraphics)(void*);
  gdip::Status(WINAPI* GdipCreateFromHDC)(HDC, void**);
  gdip::Status(WINAPI* GdipLoadImageFromStream)(IStream*, gdip::GpImage**);
  gdip::Status(WINAPI* GdipLoadImageFromFile)(const WCHAR*, gdip::GpImage**);
  gdip::Status(WINAPI* GdipDrawImageRectI)(void*, gdip::GpImage*, INT, INT, INT, INT);
  gdip::Status(WINAPI* GdipDrawImageRectRectI)(void*, gdip::GpImage*, INT, INT, INT, INT, INT, INT, INT, INT,
                                               INT, const void*, void*, void*);
  gdip::Status(WINAPI* GdipDisposeImage)(gdip::GpImage*);
  gdip::Status(WINAPI* GdipGetImageRawFormat)(gdip::GpImage*, GUID*);
  gdip::Status(WINAPI* GdipGetImageWidth)(gdip::GpImage*, UINT*);
  gdip::Status(WINAPI* GdipGetImageHeight)(gdip::GpImage*, UINT*);
  gdip::Status(WINAPI* GdipSaveImageToStream)(gdip::GpImage*, IStream*, const CLSID*,
                                              const gdip::EncoderParameters*);
  gdip::Status(WINAPI* GdipCreateBitmapFromHBITMAP)(HBITMAP, HPALETTE, gdip::GpImage**);
  gdip::Status(WINAPI* GdipCreateBitmapFromGdiDib)(const BITMAPINFO*, void*, gdip::GpImage**);
};

// What the export needs beyond the base table: copies in another pixel
// format and the pixel format itself, to keep every picture opaque and to
// read a decoded image to its end; and an 8-bit image made from the program's
// own palette and indices, for GIF.
struct GdipExportFunctions {
  gdip::Status(WINAPI* GdipCloneBitmapAreaI)(INT, INT, INT, INT, gdip::PixelFormat, gdip::GpImage*,
                                             gdip::GpImage**);
  gdip::Status(WINAPI* GdipGetImagePixelFormat)(gdip::GpImage*, gdip::PixelFormat*);
  gdip::Status(WINAPI* GdipCreateBitmapFromScan0)(INT, INT, INT, gdip::PixelFormat, BYTE*, gdip::GpImage**);
  gdip::Status(WINAPI* GdipSetImagePalette)(gdip::GpImage*, const gdip::Palette256*);
  gdip::Status(WINAPI* GdipBitmapLockBits)(gdip::GpImage*, const gdip::Rect*, UINT, gdip::PixelFormat,
                                           gdip::BitmapData*);
  gdip::Status(WINAPI* GdipBitmapUnlockBits)(gdip::GpImage*, gdip::BitmapData*);
};

// The program's folder to choose the library for (ending in a separator).
struct GdipLibraryFolder {
  std::string folder;
};

class TGdipLoader {
 public:
  // The library chosen for the program's own folder.
  TGdipLoader();
  // The library chosen as if the program lived in `programFolder`.
  explicit TGdipLoader(const GdipLibraryFolder& programFolder);
  virtual ~TGdipLoader();
  TGdipLoader(const TGdipLoader&) = delete;
  TGdipLoader& operator=(const TGdipLoader&) = delete;

  // GDI+ is loaded, every function resolved and GDI+ started.
  [[nodiscard]] bool Available() const { return static_cast<bool>(library_); }
  [[nodiscard]] HMODULE Library() const { return library_.get(); }
  // The file chosen, whether or not it loaded.
  [[nodiscard]] const std::string& LibraryFile() const { return libraryFile_; }
  // Valid only while Available().
  [[nodiscard]] const GdipBaseFunctions& Base() const { return base_; }
  [[nodiscard]] const GdipExportFunctions& Export() const { return export_; }
  [[nodiscard]] ULONG_PTR Token() const { return token_; }
  [[nodiscard]] ULONG_PTR HookToken() const { return hookToken_; }
  [[nodiscard]] bool Hooked() const { return hooked_; }

 protected:
  // Also resolves `moreNames` (after the base functions, before GDI+ is
  // started); every one must resolve for GDI+ to be available.
  TGdipLoader(const GdipLibraryFolder& programFolder, std::span<const char* const> moreNames);
  [[nodiscard]] FARPROC MoreFunction(std::size_t index) const {
    return index < more_.size() ? more_[index] : nullptr;
  }

 private:
  void Load(std::span<const char* const> moreNames);
  void Stop() noexcept;

  std::string libraryFile_;
  UniqueLibrary library_;
  GdipBaseFunctions base_{};
  GdipExportFunctions export_{};
  std::vector<FARPROC> more_;
  ULONG_PTR token_ = 0;
  gdip::StartupOutput startup_{};
  ULONG_PTR hookToken_ = 0;
  bool hooked_ = false;
};

// The loader with the 64 drawing functions of the flat API (lines, pens,
// brushes, rectangles, ellipses, polygons, curves, paths, matrices and world
// transforms, metafiles, fonts and strings, bitmap locking). The export
// calls none of them, but a GDI+ without them does not count as available.
class TGdipLoaderFull : public TGdipLoader {
 public:
  TGdipLoaderFull();
  explicit TGdipLoaderFull(const GdipLibraryFolder& programFolder);

  static std::span<const char* const> DrawingFunctionNames();
  // nullptr for a name not in the table, or while GDI+ is unavailable.
  [[nodiscard]] FARPROC DrawingFunction(std::string_view name) const;
  template <typename Fn>
  [[nodiscard]] Fn Drawing(std::string_view name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(DrawingFunction(name)));
  }
};

// The program's own folder, ending in a separator.
std::string ProgramFolder();

}  // namespace tw::win32
