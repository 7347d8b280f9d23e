#include "fakes/fake_imaging.h"

#include <cstdio>
#include <string_view>

#include "imaging/encoders.h"

namespace tw::fakes {

std::vector<std::uint8_t> FakeEncodedBytes(Size size, int bitsPerPixel, const Guid& encoder) {
  const std::string text = "FAKEIMG " + std::to_string(size.width) + " " + std::to_string(size.height) + " " +
                           std::to_string(bitsPerPixel) + " " + GuidText(encoder);
  return {text.begin(), text.end()};
}

GdipImage FakeGdiplus::CreateImage(const Pixmap& pixels) {
  if (!available || createFails || pixels.Empty()) return 0;
  const GdipImage image = next_++;
  live[image] = {{pixels.Width(), pixels.Height()}, 32};
  return image;
}

std::optional<Size> FakeGdiplus::ImageSize(GdipImage image) {
  const auto it = live.find(image);
  if (it == live.end() || sizeFails) return std::nullopt;
  if (reportedSize.width >= 0) return reportedSize;
  return it->second.size;
}

EncodedImage FakeGdiplus::Encode(GdipImage image, const Guid& encoder,
                                 const std::optional<EncoderParameter>& parameter) {
  const auto it = live.find(image);
  if (it == live.end()) return {kGdipInvalidParameter, {}};
  const Image& source = it->second;
  encodes.push_back({source.bitsPerPixel, encoder, parameter});
  const int status = source.bitsPerPixel == 8 ? indexedEncodeStatus : encodeStatus;
  if (status != kGdipOk) return {status, {}};
  const bool gif = encoder == kGifEncoder;
  const bool noImage = outputUnreadable || (gif && source.bitsPerPixel == 32 && gifFrom32BitWritesNoImage) ||
                       (gif && source.bitsPerPixel == 8 && gifFromIndexedWritesNoImage);
  if (noImage) return {kGdipOk, std::vector<std::uint8_t>(24, 0)};
  return {kGdipOk, FakeEncodedBytes(source.size, source.bitsPerPixel, encoder)};
}

std::optional<Size> FakeGdiplus::DecodedSize(std::span<const std::uint8_t> bytes) {
  ++decodeChecks;
  const std::string text(bytes.begin(), bytes.end());
  int width = 0;
  int height = 0;
  if (!text.starts_with("FAKEIMG ") || std::sscanf(text.c_str(), "FAKEIMG %d %d", &width, &height) != 2)
    return std::nullopt;
  return Size{width, height};
}

GdipImage FakeGdiplus::CreateIndexedImage(const IndexedPixels& pixels) {
  lastIndexed = pixels;
  if (!available || indexedFails || pixels.palette.empty()) return 0;
  const GdipImage image = next_++;
  live[image] = {{pixels.width, pixels.height}, 8};
  return image;
}

void FakeGdiplus::DisposeImage(GdipImage image) {
  if (!disposed_.insert(image).second || !live.contains(image)) disposedTwice.insert(image);
  live.erase(image);
}

std::optional<std::string> FakeFiles::MakeTempFile(const std::string& folder) {
  calls.push_back("temp " + folder);
  if (tempFails) return std::nullopt;
  std::string name;
  do {
    name = folder + "twk" + std::to_string(nextTemp_++) + ".tmp";
  } while (files.contains(name));
  files[name] = {};
  return name;
}

SystemError FakeFiles::WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  calls.push_back("write " + path + " " + std::to_string(bytes.size()));
  if (createError != kNoSystemError) return createError;
  if (shortWriteError != kNoSystemError) {
    files[path] = std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2);
    return shortWriteError;
  }
  files[path] = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  return kNoSystemError;
}

SystemError FakeFiles::ReplaceWith(const std::string& target, const std::string& source) {
  calls.push_back("replace " + target + " " + source);
  if (replaceError != kNoSystemError) return replaceError;
  const auto it = files.find(source);
  if (it == files.end()) return 2;  // ERROR_FILE_NOT_FOUND
  files[target] = std::move(it->second);
  files.erase(source);
  return kNoSystemError;
}

bool FakeFiles::RemoveFile(const std::string& path) {
  calls.push_back("delete " + path);
  return files.erase(path) > 0;
}

std::string FakeFiles::ErrorText(SystemError code) {
  const auto it = errorTexts.find(code);
  return it == errorTexts.end() ? std::string() : it->second;
}

}  // namespace tw::fakes
