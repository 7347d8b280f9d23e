// The image export's ports on Win32 (GDI+ through the loader, files through
// the W file functions) and the ready export object the program uses.
#pragma once

#include "imaging/image_exporter.h"
#include "imaging/win32/gdip_loader.h"

namespace tw::win32 {

class GdiplusPort final : public IGdiplusPort {
 public:
  explicit GdiplusPort(const TGdipLoader& loader) : loader_(loader) {}

  [[nodiscard]] bool Available() const override { return loader_.Available(); }
  // Opaque 32bppRGB whatever GDI+ would make of the bitmap handle.
  GdipImage CreateImage(const Pixmap& pixels) override;
  std::optional<Size> ImageSize(GdipImage image) override;
  EncodedImage Encode(GdipImage image, const Guid& encoder,
                      const std::optional<EncoderParameter>& parameter) override;
  // Decoded to its last pixel, not only the header read.
  std::optional<Size> DecodedSize(std::span<const std::uint8_t> bytes) override;
  // Made blank by GDI+, then given the palette and the rows: a bitmap on
  // the program's own memory would have to outlive the image.
  GdipImage CreateIndexedImage(const IndexedPixels& pixels) override;
  void DisposeImage(GdipImage image) override;

 private:
  const TGdipLoader& loader_;
};

class FilePort final : public IFilePort {
 public:
  std::optional<std::string> MakeTempFile(const std::string& folder) override;
  SystemError WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
  SystemError ReplaceWith(const std::string& target, const std::string& source) override;
  bool RemoveFile(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  std::string ErrorText(SystemError code) override;
};

// What main_win32.cpp hands the host: the export on the program's one
// GDI+ loader, which must outlive it.
class ImageExport final : public IImageExport {
 public:
  explicit ImageExport(const TGdipLoaderFull& loader) : gdip_(loader), exporter_(gdip_, files_) {}
  void SaveBitmapToFile(const Pixmap& bitmap, const std::string& fileName, int formatIndex,
                        int quality) override {
    exporter_.SaveBitmapToFile(bitmap, fileName, formatIndex, quality);
  }

 private:
  GdiplusPort gdip_;
  FilePort files_;
  TImageExporter exporter_;
};

}  // namespace tw::win32
