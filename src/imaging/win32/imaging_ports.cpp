#include "imaging/win32/imaging_ports.h"

#include <cstring>
#include <limits>

#include "platform/win32/com_ptr.h"
#include "platform/win32/handles.h"
#include "platform/win32/pixmap_dib.h"
#include "platform/win32/system_error.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

namespace {

// GDI+'s own statuses for what fails on the program's side of a call.
constexpr int kGdipOutOfMemory = 3;
constexpr int kGdipWin32Error = 7;

gdip::GpImage* ImageOf(GdipImage image) { return reinterpret_cast<gdip::GpImage*>(image); }
GdipImage HandleOf(gdip::GpImage* image) { return reinterpret_cast<GdipImage>(image); }

GUID ToGuid(const Guid& guid) {
  static_assert(sizeof(GUID) == sizeof(Guid));
  GUID out;
  std::memcpy(&out, &guid, sizeof(out));
  return out;
}

// One GDI+ image disposed of at the end of a scope unless handed on.
class ScopedImage {
 public:
  explicit ScopedImage(const TGdipLoader& loader) : loader_(loader) {}
  ~ScopedImage() {
    if (image_ != nullptr) loader_.Base().GdipDisposeImage(image_);
  }
  ScopedImage(const ScopedImage&) = delete;
  ScopedImage& operator=(const ScopedImage&) = delete;
  gdip::GpImage** Out() { return &image_; }
  [[nodiscard]] gdip::GpImage* get() const { return image_; }
  gdip::GpImage* release() { return std::exchange(image_, nullptr); }

 private:
  const TGdipLoader& loader_;
  gdip::GpImage* image_ = nullptr;
};

std::optional<Size> SizeOf(const TGdipLoader& loader, gdip::GpImage* image) {
  UINT width = 0;
  UINT height = 0;
  if (loader.Base().GdipGetImageWidth(image, &width) != gdip::kOk ||
      loader.Base().GdipGetImageHeight(image, &height) != gdip::kOk)
    return std::nullopt;
  constexpr UINT kLargest = static_cast<UINT>(std::numeric_limits<int>::max());
  if (width > kLargest || height > kLargest) return std::nullopt;
  return Size{static_cast<int>(width), static_cast<int>(height)};
}

// A copy of the whole image in `format`; GDI+ decodes every pixel for it.
gdip::GpImage* CloneAs(const TGdipLoader& loader, gdip::GpImage* image, gdip::PixelFormat format) {
  const std::optional<Size> size = SizeOf(loader, image);
  if (!size || size->width == 0 || size->height == 0) return nullptr;
  gdip::GpImage* copy = nullptr;
  if (loader.Export().GdipCloneBitmapAreaI(0, 0, size->width, size->height, format, image, &copy) != gdip::kOk)
    return nullptr;
  return copy;
}

ComPtr<IStream> MemoryStream() {
  ComPtr<IStream> stream;
  // The global block is freed with the stream.
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return {};
  return stream;
}

}  // namespace

GdipImage GdiplusPort::CreateImage(const Pixmap& pixels) {
  if (!Available() || pixels.Empty()) return 0;
  BITMAPINFO info = TopDownInfo(pixels.Width(), pixels.Height());
  void* bits = nullptr;
  const UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return 0;
  // 32-bit rows need no padding: the pixmap's memory is the DIB's.
  std::memcpy(bits, pixels.Data().data(), pixels.Data().size_bytes());

  ScopedImage image(loader_);
  if (loader_.Base().GdipCreateBitmapFromHBITMAP(bitmap.get(), nullptr, image.Out()) != gdip::kOk ||
      image.get() == nullptr)
    return 0;
  gdip::PixelFormat format = 0;
  if (loader_.Export().GdipGetImagePixelFormat(image.get(), &format) != gdip::kOk) return 0;
  if (format == gdip::kPixelFormat32bppRGB) return HandleOf(image.release());
  // The capture has no alpha: a picture with an alpha channel would turn
  // every pixel whose top byte is 0 transparent in a PNG.
  return HandleOf(CloneAs(loader_, image.get(), gdip::kPixelFormat32bppRGB));
}

std::optional<Size> GdiplusPort::ImageSize(GdipImage image) {
  if (!Available() || image == 0) return std::nullopt;
  return SizeOf(loader_, ImageOf(image));
}

EncodedImage GdiplusPort::Encode(GdipImage image, const Guid& encoder,
                                 const std::optional<EncoderParameter>& parameter) {
  if (!Available() || image == 0) return {kGdipInvalidParameter, {}};
  const ComPtr<IStream> stream = MemoryStream();
  if (!stream) return {kGdipOutOfMemory, {}};
  const CLSID clsid = ToGuid(encoder);
  LONG value = parameter ? parameter->value : 0;
  gdip::EncoderParameters list{};
  if (parameter) {
    list.Count = 1;
    list.Parameter[0] = {ToGuid(parameter->id), 1, gdip::kEncoderParameterValueTypeLong, &value};
  }
  const int status =
      loader_.Base().GdipSaveImageToStream(ImageOf(image), stream.get(), &clsid, parameter ? &list : nullptr);
  if (status != gdip::kOk) return {status, {}};

  // The whole image, read back in one piece.
  const LARGE_INTEGER start{};
  ULARGE_INTEGER end{};
  if (FAILED(stream->Seek(start, STREAM_SEEK_END, &end)) || end.QuadPart > MAXDWORD ||
      FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
    return {kGdipWin32Error, {}};
  EncodedImage encoded{gdip::kOk, std::vector<std::uint8_t>(static_cast<std::size_t>(end.QuadPart))};
  ULONG read = 0;
  const ULONG wanted = static_cast<ULONG>(encoded.bytes.size());
  if (wanted > 0 && (FAILED(stream->Read(encoded.bytes.data(), wanted, &read)) || read != wanted))
    return {kGdipWin32Error, {}};
  return encoded;
}

std::optional<Size> GdiplusPort::DecodedSize(std::span<const std::uint8_t> bytes) {
  if (!Available() || bytes.empty() || bytes.size() > MAXDWORD) return std::nullopt;
  const ComPtr<IStream> stream = MemoryStream();
  if (!stream) return std::nullopt;
  ULONG written = 0;
  const ULONG size = static_cast<ULONG>(bytes.size());
  const LARGE_INTEGER start{};
  if (FAILED(stream->Write(bytes.data(), size, &written)) || written != size ||
      FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
    return std::nullopt;
  ScopedImage decoded(loader_);
  if (loader_.Base().GdipLoadImageFromStream(stream.get(), decoded.Out()) != gdip::kOk ||
      decoded.get() == nullptr)
    return std::nullopt;
  // GDI+ may read no more than the header on loading; the last pixel cannot
  // be had without decoding the image up to its end.
  const std::optional<Size> decodedSize = SizeOf(loader_, decoded.get());
  if (!decodedSize || decodedSize->width == 0 || decodedSize->height == 0) return std::nullopt;
  ScopedImage last(loader_);
  if (loader_.Export().GdipCloneBitmapAreaI(decodedSize->width - 1, decodedSize->height - 1, 1, 1,
                                            gdip::kPixelFormat32bppRGB, decoded.get(), last.Out()) != gdip::kOk ||
      last.get() == nullptr)
    return std::nullopt;
  return decodedSize;
}

GdipImage GdiplusPort::CreateIndexedImage(const IndexedPixels& pixels) {
  const std::size_t width = pixels.width > 0 ? static_cast<std::size_t>(pixels.width) : 0;
  const std::size_t height = pixels.height > 0 ? static_cast<std::size_t>(pixels.height) : 0;
  if (!Available() || width == 0 || height == 0 || pixels.indices.size() != width * height ||
      pixels.palette.empty() || pixels.palette.size() > kMaxPaletteSize)
    return 0;
  const GdipExportFunctions& functions = loader_.Export();
  ScopedImage image(loader_);
  if (functions.GdipCreateBitmapFromScan0(pixels.width, pixels.height, 0, gdip::kPixelFormat8bppIndexed, nullptr,
                                          image.Out()) != gdip::kOk ||
      image.get() == nullptr)
    return 0;
  gdip::Palette256 palette{0, static_cast<UINT>(pixels.palette.size()), {}};
  for (std::size_t i = 0; i < pixels.palette.size(); ++i) palette.Entries[i] = 0xFF000000u | pixels.palette[i];
  if (functions.GdipSetImagePalette(image.get(), &palette) != gdip::kOk) return 0;

  const gdip::Rect all{0, 0, pixels.width, pixels.height};
  gdip::BitmapData rows{};
  if (functions.GdipBitmapLockBits(image.get(), &all, gdip::kImageLockModeWrite, gdip::kPixelFormat8bppIndexed,
                                   &rows) != gdip::kOk)
    return 0;
  for (std::size_t y = 0; y < height; ++y)
    std::memcpy(static_cast<BYTE*>(rows.Scan0) + static_cast<std::ptrdiff_t>(y) * rows.Stride,
                pixels.indices.data() + y * width, width);
  if (functions.GdipBitmapUnlockBits(image.get(), &rows) != gdip::kOk) return 0;
  return HandleOf(image.release());
}

void GdiplusPort::DisposeImage(GdipImage image) {
  if (Available() && image != 0) loader_.Base().GdipDisposeImage(ImageOf(image));
}

std::optional<std::string> FilePort::MakeTempFile(const std::string& folder) {
  const std::wstring path = folder.empty() ? std::wstring(L".") : Widen(folder);
  wchar_t name[MAX_PATH] = {};
  // Fails where the folder path leaves no room for the name or no file may
  // be made there.
  if (GetTempFileNameW(path.c_str(), L"twk", 0, name) == 0) return std::nullopt;
  // Wine answers with a name also when it could not make the file (as in a
  // folder it may not write to): only a file that is there counts.
  if (!FileExists(Narrow(name))) return std::nullopt;
  return Narrow(name);
}

SystemError FilePort::WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  if (bytes.size() > MAXDWORD) return ERROR_FILE_TOO_LARGE;
  UniqueFile file(
      CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return GetLastError();
  DWORD written = 0;
  const DWORD size = static_cast<DWORD>(bytes.size());
  if (WriteFile(file.get(), bytes.data(), size, &written, nullptr) == FALSE) return GetLastError();
  if (written != size) return ERROR_HANDLE_DISK_FULL;
  // Closing can be where a full disk shows.
  if (CloseHandle(file.release()) == FALSE) return GetLastError();
  return kNoSystemError;
}

SystemError FilePort::ReplaceWith(const std::string& target, const std::string& source) {
  const std::wstring to = Widen(target);
  const std::wstring from = Widen(source);
  if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE)
      return kNoSystemError;
    const DWORD code = GetLastError();
    // The old file is gone already and the new one still has its temporary
    // name: finish the move, or the image would be lost with the old one.
    if (code != ERROR_UNABLE_TO_MOVE_REPLACEMENT) return code;
  }
  // A new name: a plain rename, which never overwrites a file that appeared
  // meanwhile.
  if (MoveFileExW(from.c_str(), to.c_str(), 0) == FALSE) return GetLastError();
  return kNoSystemError;
}

bool FilePort::RemoveFile(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != FALSE; }

bool FilePort::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string FilePort::ErrorText(SystemError code) { return SystemErrorText(code); }

}  // namespace tw::win32
