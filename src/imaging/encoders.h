// Which GDI+ encoder writes each image format, and with which parameter.
#pragma once

#include <optional>
#include <string>

#include "imaging/image_ports.h"

namespace tw {

// GDI+'s built-in encoders, used directly: the program never asks GDI+ to
// list them.
extern const Guid kGifEncoder;
extern const Guid kPngEncoder;
extern const Guid kJpegEncoder;
extern const Guid kBmpEncoder;
extern const Guid kTiffEncoder;
// The parameters the program sets.
extern const Guid kEncoderQuality;
extern const Guid kEncoderCompression;

// GDI+'s TIFF compression values.
constexpr int kTiffCompressionLzw = 2;
constexpr int kTiffCompressionNone = 6;

struct EncoderChoice {
  Guid encoder;
  std::optional<EncoderParameter> parameter;
};

// The encoder and parameter for format `formatIndex` (0 GIF ... 4 TIFF)
// with `quality`: JPEG takes the quality as it is, and none when it is
// negative (GDI+ then uses its own default); TIFF always gets a compression,
// the quality when it names one (2 to 6), LZW otherwise. nullopt for an
// index outside the five.
std::optional<EncoderChoice> EncoderFor(int formatIndex, int quality);

// "{557CF402-1A04-11D3-9A73-0000F81EF32E}", as Windows writes a GUID.
std::string GuidText(const Guid& guid);

}  // namespace tw
