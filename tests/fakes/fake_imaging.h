// In-memory stand-ins for the image export's GDI+ and file ports. Each keeps
// what it holds in plain maps and records its calls in order, and each can be
// told to fail at any one step.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "imaging/image_ports.h"

namespace tw::fakes {

// Images are numbers; an encoded image is the text "FAKEIMG <w> <h> <bpp>
// <encoder>", which DecodedSize reads back (and nothing else).
class FakeGdiplus final : public IGdiplusPort {
 public:
  struct Image {
    Size size;
    int bitsPerPixel = 32;
  };
  struct EncodeCall {
    int bitsPerPixel = 0;
    Guid encoder;
    std::optional<EncoderParameter> parameter;
  };

  [[nodiscard]] bool Available() const override { return available; }
  GdipImage CreateImage(const Pixmap& pixels) override;
  std::optional<Size> ImageSize(GdipImage image) override;
  EncodedImage Encode(GdipImage image, const Guid& encoder,
                      const std::optional<EncoderParameter>& parameter) override;
  std::optional<Size> DecodedSize(std::span<const std::uint8_t> bytes) override;
  GdipImage CreateIndexedImage(const IndexedPixels& pixels) override;
  void DisposeImage(GdipImage image) override;

  // What the fake can be told.
  bool available = true;
  bool createFails = false;
  bool sizeFails = false;
  Size reportedSize{-1, -1};     // when set (not negative), the size GDI+ reports
  int encodeStatus = kGdipOk;      // for 32-bit images
  int indexedEncodeStatus = kGdipOk;
  bool gifFrom32BitWritesNoImage = false;  // as Wine's GIF encoder
  bool gifFromIndexedWritesNoImage = false;
  bool outputUnreadable = false;  // every encoder writes bytes that do not decode
  bool indexedFails = false;  // no 8-bit image can be made

  // What it saw.
  std::map<GdipImage, Image> live;  // images not disposed of
  std::vector<EncodeCall> encodes;
  int decodeChecks = 0;
  IndexedPixels lastIndexed;  // what the last 8-bit image was made of
  std::set<GdipImage> disposedTwice;

 private:
  GdipImage next_ = 0x100;
  std::set<GdipImage> disposed_;
};

std::vector<std::uint8_t> FakeEncodedBytes(Size size, int bitsPerPixel, const Guid& encoder);

// A file system of whole files in a map. Names are compared as given.
class FakeFiles final : public IFilePort {
 public:
  std::optional<std::string> MakeTempFile(const std::string& folder) override;
  SystemError WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
  SystemError ReplaceWith(const std::string& target, const std::string& source) override;
  bool RemoveFile(const std::string& path) override;
  bool FileExists(const std::string& path) override { return files.contains(path); }
  std::string ErrorText(SystemError code) override;

  void Put(const std::string& path, const std::string& content) {
    files[path] = std::vector<std::uint8_t>(content.begin(), content.end());
  }
  [[nodiscard]] std::string Content(const std::string& path) const {
    const auto it = files.find(path);
    return it == files.end() ? std::string("(no file)") : std::string(it->second.begin(), it->second.end());
  }

  // What the fake can be told.
  bool tempFails = false;
  SystemError createError = kNoSystemError;  // the file cannot be opened: nothing changes
  SystemError shortWriteError = kNoSystemError;  // the file is created, only part is written
  SystemError replaceError = kNoSystemError;
  std::map<SystemError, std::string> errorTexts{
      {5, "Access denied.\r\n"}, {112, "There is not enough space on the disk.\r\n"}};

  std::map<std::string, std::vector<std::uint8_t>> files;
  std::vector<std::string> calls;  // "temp <folder>", "write <path> <n>", "replace <target> <source>", "delete <path>"

 private:
  int nextTemp_ = 1;
};

}  // namespace tw::fakes
