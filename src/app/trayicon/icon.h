// One tray picture, kept as the bytes of a Windows icon (.ico) file: that is
// the form the stored icon lists carry, and the shell makes its HICON from it
// only when the picture reaches the tray.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tw {

// One image of an icon file, as its directory describes it.
struct IcoImage {
  int width = 0;   // a stored 0 means 256
  int height = 0;
  int colorCount = 0;
  int planes = 0;
  int bitCount = 0;
  std::uint32_t bytesInRes = 0;
  std::uint32_t imageOffset = 0;
};

// The image directory of an .ico file, or nothing when the header is not an
// icon's or an image lies outside the data. Only the directory is checked;
// the image bits are the shell's business.
std::optional<std::vector<IcoImage>> ParseIcoDirectory(std::span<const std::uint8_t> file);

// Number of images in a valid .ico file, 0 for anything else.
int IcoImageCount(std::span<const std::uint8_t> file);

// The directory of a valid .ico file in the form an icon resource carries it
// (what LookupIconIdFromDirectoryEx reads): the header, then per image the
// first 12 bytes of its file entry and, instead of the image offset, its
// 16-bit id, image n having id n + 1. Empty for anything but a valid file.
std::vector<std::uint8_t> IcoResourceDirectory(std::span<const std::uint8_t> file);

class TIcon {
 public:
  TIcon() = default;
  explicit TIcon(std::vector<std::uint8_t> icoFile) : bytes_(std::move(icoFile)) {}

  // No picture at all.
  [[nodiscard]] bool Empty() const { return bytes_.empty(); }
  [[nodiscard]] const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  [[nodiscard]] bool Valid() const { return IcoImageCount(bytes_) > 0; }
  void Clear() { bytes_.clear(); }

  friend bool operator==(const TIcon&, const TIcon&) = default;

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace tw
