#include "app/trayicon/icon.h"

#include <algorithm>

namespace tw {

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;

std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

std::optional<std::vector<IcoImage>> ParseIcoDirectory(std::span<const std::uint8_t> file) {
  if (file.size() < kHeaderSize) return std::nullopt;
  // Reserved word 0, resource type 1 (2 would be a cursor).
  if (Le16(file, 0) != 0 || Le16(file, 2) != 1) return std::nullopt;
  const std::size_t count = Le16(file, 4);
  if (count == 0 || file.size() < kHeaderSize + count * kEntrySize) return std::nullopt;

  std::vector<IcoImage> images;
  images.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kHeaderSize + i * kEntrySize;
    IcoImage image;
    image.width = file[at] == 0 ? 256 : file[at];
    image.height = file[at + 1] == 0 ? 256 : file[at + 1];
    image.colorCount = file[at + 2];
    image.planes = Le16(file, at + 4);
    image.bitCount = Le16(file, at + 6);
    image.bytesInRes = Le32(file, at + 8);
    image.imageOffset = Le32(file, at + 12);
    // 64-bit sum: offset + size may not wrap around past the end.
    const std::uint64_t end = std::uint64_t{image.imageOffset} + image.bytesInRes;
    if (image.bytesInRes == 0 || image.imageOffset < kHeaderSize + count * kEntrySize ||
        end > file.size())
      return std::nullopt;
    images.push_back(image);
  }
  return images;
}

int IcoImageCount(std::span<const std::uint8_t> file) {
  const auto images = ParseIcoDirectory(file);
  return images ? static_cast<int>(images->size()) : 0;
}

std::vector<std::uint8_t> IcoResourceDirectory(std::span<const std::uint8_t> file) {
  const auto images = ParseIcoDirectory(file);
  if (!images) return {};
  constexpr std::size_t kResourceEntrySize = 14;
  const std::size_t count = images->size();
  std::vector<std::uint8_t> directory(kHeaderSize + kResourceEntrySize * count);
  std::copy_n(file.begin(), kHeaderSize, directory.begin());
  for (std::size_t i = 0; i < count; ++i) {
    const auto entry = directory.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + kResourceEntrySize * i);
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + kEntrySize * i), 12, entry);
    const std::size_t id = i + 1;  // at most 65535 images, so the id fits
    entry[12] = static_cast<std::uint8_t>(id);
    entry[13] = static_cast<std::uint8_t>(id >> 8);
  }
  return directory;
}

}  // namespace tw
