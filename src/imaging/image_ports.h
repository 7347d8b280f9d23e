// The two ports the image export works through: GDI+ (loaded at run time, so
// possibly missing) and the file system. Both speak the program's terms, so
// that their fakes stay trivial.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/pixmap.h"
#include "imaging/palette.h"

namespace tw {

// A GUID with the memory layout of the Windows one (16 bytes).
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::uint8_t data4[8] = {};
  friend bool operator==(const Guid&, const Guid&) = default;
};
static_assert(sizeof(Guid) == 16);

// A GDI+ image; 0 is none.
using GdipImage = std::uintptr_t;

// GDI+'s status codes that the program names.
constexpr int kGdipOk = 0;
constexpr int kGdipInvalidParameter = 2;

// One encoder parameter holding one value of GDI+'s long type (type code 4).
struct EncoderParameter {
  Guid id;
  std::int32_t value = 0;
  friend bool operator==(const EncoderParameter&, const EncoderParameter&) = default;
};

struct EncodedImage {
  int status = kGdipInvalidParameter;  // GDI+ status; bytes only when 0
  std::vector<std::uint8_t> bytes;
};

class IGdiplusPort {
 public:
  virtual ~IGdiplusPort() = default;
  [[nodiscard]] virtual bool Available() const = 0;
  // An opaque image of the pixmap's pixels; 0 when it cannot be made.
  virtual GdipImage CreateImage(const Pixmap& pixels) = 0;
  // Width and height as GDI+ reports them; nullopt when either call fails.
  virtual std::optional<Size> ImageSize(GdipImage image) = 0;
  // Encodes the whole image into memory with the encoder `encoder` and at
  // most one parameter.
  virtual EncodedImage Encode(GdipImage image, const Guid& encoder,
                              const std::optional<EncoderParameter>& parameter) = 0;
  // The size of the image the bytes decode to; nullopt when they do not.
  virtual std::optional<Size> DecodedSize(std::span<const std::uint8_t> bytes) = 0;
  // An image in 8 bits per pixel of the palette and indices; 0 when it
  // cannot be made.
  virtual GdipImage CreateIndexedImage(const IndexedPixels& pixels) = 0;
  virtual void DisposeImage(GdipImage image) = 0;
};

// A system error code (GetLastError's); 0 is none.
using SystemError = std::uint32_t;
constexpr SystemError kNoSystemError = 0;

class IFilePort {
 public:
  virtual ~IFilePort() = default;
  // Makes a new empty file in `folder` and returns its full name; nullopt
  // when none can be made there.
  virtual std::optional<std::string> MakeTempFile(const std::string& folder) = 0;
  // Creates (or empties) `path` and writes all of `bytes` in one write. A
  // write that stores fewer bytes than asked is a failure too.
  virtual SystemError WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
  // Puts `source` in the place of `target`: over an existing target so that
  // the target keeps its attributes and security, otherwise by a rename.
  virtual SystemError ReplaceWith(const std::string& target, const std::string& source) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // The system's text for `code`, as the system words it.
  virtual std::string ErrorText(SystemError code) = 0;
};

}  // namespace tw
