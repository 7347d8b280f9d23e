#include "imaging/image_exporter.h"

#include <utility>

#include "core/error.h"
#include "core/paths.h"
#include "imaging/encoders.h"

namespace tw {

namespace {

const std::string kCannotSave = "Cannot save the image: ";

// A temporary file that is deleted unless it has taken the target's place.
class TempFile {
 public:
  TempFile(IFilePort& files, std::string path) : files_(files), path_(std::move(path)) {}
  ~TempFile() {
    if (!path_.empty()) files_.RemoveFile(path_);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  [[nodiscard]] const std::string& Path() const { return path_; }
  void Keep() { path_.clear(); }

 private:
  IFilePort& files_;
  std::string path_;
};

}  // namespace

TGdipPicture TGdipPicture::FromPixmap(IGdiplusPort& gdip, const Pixmap& pixels) {
  if (!gdip.Available() || pixels.Empty()) return TGdipPicture(gdip);
  return TGdipPicture(gdip, gdip.CreateImage(pixels));
}

TGdipPicture TGdipPicture::WithPalette(IGdiplusPort& gdip, const Pixmap& pixels) {
  if (!gdip.Available() || pixels.Empty()) return TGdipPicture(gdip);
  return TGdipPicture(gdip, gdip.CreateIndexedImage(QuantizeToPalette(pixels)));
}

TGdipPicture TGdipPicture::ForFormat(IGdiplusPort& gdip, const Pixmap& pixels, int formatIndex) {
  // GIF holds at most 256 colours. Left to GDI+, they would be a fixed
  // palette's, or under Wine no image at all.
  if (formatIndex == kGifFormat) return WithPalette(gdip, pixels);
  return FromPixmap(gdip, pixels);
}

void TGdipPicture::Assign(GdipImage image) {
  Clear();
  if (image == 0) return;
  image_ = image;
  const std::optional<Size> size = gdip_->ImageSize(image);
  if (!size || size->width <= 0 || size->height <= 0) {
    Clear();
    return;
  }
  width_ = size->width;
  height_ = size->height;
}

void TGdipPicture::Clear() {
  if (image_ != 0) gdip_->DisposeImage(std::exchange(image_, 0));
  width_ = 0;
  height_ = 0;
}

EncodedImage TImageExporter::EncodePicture(const TGdipPicture& picture, int formatIndex, int quality) {
  const std::optional<EncoderChoice> choice = EncoderFor(formatIndex, quality);
  if (!gdip_.Available() || picture.Handle() == 0 || !choice) return {kGdipInvalidParameter, {}};
  EncodedImage encoded = gdip_.Encode(picture.Handle(), choice->encoder, choice->parameter);
  if (encoded.status != kGdipOk) encoded.bytes.clear();
  return encoded;
}

std::vector<std::uint8_t> TImageExporter::EncodeChecked(const TGdipPicture& picture, int formatIndex,
                                                        int quality) {
  const Size expected{picture.Width(), picture.Height()};
  EncodedImage encoded = EncodePicture(picture, formatIndex, quality);
  if (encoded.status != kGdipOk)
    throw Error(kCannotSave + "the encoder failed (status " + std::to_string(encoded.status) + ")");
  // An encoder may report success and yet write no image at all (Wine's GIF
  // encoder does from 32-bit pixels: 24 bytes, whatever the size).
  if (gdip_.DecodedSize(encoded.bytes) == expected) return std::move(encoded.bytes);
  throw Error(kCannotSave + "the encoder wrote no readable image");
}

void TImageExporter::SaveBitmapToFile(const Pixmap& bitmap, const std::string& fileName, int formatIndex,
                                      int quality) {
  if (!EncoderFor(formatIndex, quality))
    throw Error(kCannotSave + "there is no image format " + std::to_string(formatIndex));
  if (!gdip_.Available()) throw Error(kCannotSave + "GDI+ is not available");
  const std::vector<std::uint8_t> bytes = [&] {
    const TGdipPicture picture = TGdipPicture::ForFormat(gdip_, bitmap, formatIndex);
    if (!picture.HasContent()) throw Error(kCannotSave + "the picture cannot be converted");
    return EncodeChecked(picture, formatIndex, quality);
  }();
  WriteFile(fileName, bytes);
}

void TImageExporter::WriteFile(const std::string& fileName, std::span<const std::uint8_t> bytes) {
  const std::optional<std::string> tempName = files_.MakeTempFile(FolderOfPath(fileName));
  if (!tempName) {
    // Where no other file can be made (a folder the user may not add to, but
    // whose file he may overwrite), the target itself is the only way left.
    const bool existed = files_.FileExists(fileName);
    const SystemError code = files_.WriteWholeFile(fileName, bytes);
    if (code != kNoSystemError) {
      if (!existed) files_.RemoveFile(fileName);  // no half-written new file stays behind
      ThrowCannotCreate(fileName, code);
    }
    return;
  }
  // Written beside the target and then put in its place, so that a disk
  // that fills up midway never leaves a truncated image.
  TempFile temp(files_, *tempName);
  SystemError code = files_.WriteWholeFile(temp.Path(), bytes);
  if (code == kNoSystemError) code = files_.ReplaceWith(fileName, temp.Path());
  if (code != kNoSystemError) ThrowCannotCreate(fileName, code);
  temp.Keep();
}

void TImageExporter::ThrowCannotCreate(const std::string& fileName, SystemError code) {
  std::string text = TrimTrailingSpace(files_.ErrorText(code));
  if (text.empty()) text = "System error " + std::to_string(code) + ".";
  throw Error("Cannot create file \"" + fileName + "\". " + text);
}

}  // namespace tw
