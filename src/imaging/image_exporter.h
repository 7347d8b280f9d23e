// The image export over its two ports: the picture made from the pixels,
// encoded whole into memory, checked, and only then written, through a
// temporary file that takes the target's place.
#pragma once

#include <string>

#include "platform/image_export.h"
#include "imaging/image_ports.h"

namespace tw {

// Owns one GDI+ image and disposes of it when cleared or destroyed.
class TGdipPicture {
 public:
  explicit TGdipPicture(IGdiplusPort& gdip) : gdip_(&gdip) {}
  // Takes `image` over (0 is none) and reads its size.
  TGdipPicture(IGdiplusPort& gdip, GdipImage image) : gdip_(&gdip) { Assign(image); }
  ~TGdipPicture() { Clear(); }
  TGdipPicture(const TGdipPicture&) = delete;
  TGdipPicture& operator=(const TGdipPicture&) = delete;

  // A picture of the pixels; none when GDI+ is unavailable, the image cannot
  // be made or GDI+ reports a size of 0.
  static TGdipPicture FromPixmap(IGdiplusPort& gdip, const Pixmap& pixels);
  // The same in 8 bits per pixel, with the palette the program chooses.
  static TGdipPicture WithPalette(IGdiplusPort& gdip, const Pixmap& pixels);
  // As the format holds pictures: GIF with a palette, the others whole.
  static TGdipPicture ForFormat(IGdiplusPort& gdip, const Pixmap& pixels, int formatIndex);

  // Takes `image` over; when its size cannot be read or is 0, it is disposed
  // of at once and the picture is left empty.
  void Assign(GdipImage image);
  void Clear();

  [[nodiscard]] GdipImage Handle() const { return image_; }
  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  [[nodiscard]] bool HasContent() const { return image_ != 0 && width_ > 0 && height_ > 0; }

 private:
  IGdiplusPort* gdip_;
  GdipImage image_ = 0;
  int width_ = 0;
  int height_ = 0;
};

class TImageExporter final : public IImageExport {
 public:
  TImageExporter(IGdiplusPort& gdip, IFilePort& files) : gdip_(gdip), files_(files) {}

  // Throws tw::Error and leaves an existing file as it was when anything
  // fails: "Cannot save the image: ..." for the picture and the encoding,
  // "Cannot create file "<name>". <system text>" for the file itself.
  void SaveBitmapToFile(const Pixmap& bitmap, const std::string& fileName, int formatIndex,
                        int quality) override;

  // The picture encoded whole into memory with the format's encoder and
  // parameter: status 2 (invalid parameter) without GDI+, without an image
  // or for an unknown format, otherwise GDI+'s own status.
  EncodedImage EncodePicture(const TGdipPicture& picture, int formatIndex, int quality);

 private:
  // The encoded bytes, checked to decode at the picture's size.
  std::vector<std::uint8_t> EncodeChecked(const TGdipPicture& picture, int formatIndex, int quality);
  void WriteFile(const std::string& fileName, std::span<const std::uint8_t> bytes);
  [[noreturn]] void ThrowCannotCreate(const std::string& fileName, SystemError code);

  IGdiplusPort& gdip_;
  IFilePort& files_;
};

}  // namespace tw
