// Saving a picture as an image file: the five formats and the one call the
// program saves with.
#pragma once

#include <string>

#include "core/pixmap.h"

namespace tw {

// The format index: the save dialog's file-type position minus 1.
enum ImageFormat : int { kGifFormat = 0, kPngFormat = 1, kJpegFormat = 2, kBmpFormat = 3, kTiffFormat = 4 };
constexpr int kImageFormatCount = 5;

class IImageExport {
 public:
  virtual ~IImageExport() = default;
  // Writes `bitmap` (opaque pixels) to `fileName`, a full path, in format
  // `formatIndex` with `quality` (JPEG quality, TIFF compression). Either the
  // whole new image is in place afterwards or the file is as it was and a
  // tw::Error says what failed.
  virtual void SaveBitmapToFile(const Pixmap& bitmap, const std::string& fileName, int formatIndex,
                                int quality) = 0;
};

}  // namespace tw
