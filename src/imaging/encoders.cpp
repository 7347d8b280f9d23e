#include "imaging/encoders.h"

#include <array>
#include <cstdio>

#include "platform/image_export.h"

namespace tw {

namespace {

// The five encoders differ only in the last byte of data1.
constexpr Guid ImageEncoder(std::uint32_t last) {
  return {0x557CF400u | last, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}

}  // namespace

const Guid kGifEncoder = ImageEncoder(0x02);
const Guid kPngEncoder = ImageEncoder(0x06);
const Guid kJpegEncoder = ImageEncoder(0x01);
const Guid kBmpEncoder = ImageEncoder(0x00);
const Guid kTiffEncoder = ImageEncoder(0x05);
const Guid kEncoderQuality = {0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};
const Guid kEncoderCompression = {0xE09D739D, 0xCCD4, 0x44EE, {0x8E, 0xBA, 0x3F, 0xBF, 0x8B, 0xE4, 0xFC, 0x58}};

std::optional<EncoderChoice> EncoderFor(int formatIndex, int quality) {
  switch (formatIndex) {
    case kGifFormat: return EncoderChoice{kGifEncoder, std::nullopt};
    case kPngFormat: return EncoderChoice{kPngEncoder, std::nullopt};
    case kJpegFormat:
      if (quality < 0) return EncoderChoice{kJpegEncoder, std::nullopt};
      return EncoderChoice{kJpegEncoder, EncoderParameter{kEncoderQuality, quality}};
    case kBmpFormat: return EncoderChoice{kBmpEncoder, std::nullopt};
    case kTiffFormat: {
      const bool named = quality >= kTiffCompressionLzw && quality <= kTiffCompressionNone;
      return EncoderChoice{kTiffEncoder,
                           EncoderParameter{kEncoderCompression, named ? quality : kTiffCompressionLzw}};
    }
    default: return std::nullopt;
  }
}

std::string GuidText(const Guid& g) {
  std::array<char, 39> text{};
  std::snprintf(text.data(), text.size(), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.data1), static_cast<unsigned>(g.data2), static_cast<unsigned>(g.data3),
                g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6],
                g.data4[7]);
  return text.data();
}

}  // namespace tw
