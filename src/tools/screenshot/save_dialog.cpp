#include "tools/screenshot/save_dialog.h"

#include <array>

namespace tw {

namespace {

// The extension a type change sets, by 1-based type index.
constexpr std::array<const char*, 5> kTypeExtensions{".gif", ".png", ".jpg", ".bmp", ".tif"};

}  // namespace

std::vector<FileType> ParseFilter(const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const std::size_t bar = filter.find('|', start);
    if (bar == std::string::npos) {
      parts.push_back(filter.substr(start));
      break;
    }
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  std::vector<FileType> types;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) types.push_back({parts[i], parts[i + 1]});
  return types;
}

TSaveDialog::TSaveDialog()
    : Filter(
          "GIF Image (*.gif)|*.gif|PNG Image (*.png)|*.png|JPEG Image (*.jpg)|*.jpg|BMP Image (*.bmp)|*.bmp|"
          "TIFF Image (*.tif)|*.tif") {}

std::optional<SaveDialogResult> TSaveDialog::Execute(ISaveDialogPort& port) {
  SaveDialogRequest request;
  request.fileTypes = ParseFilter(Filter);
  request.fileTypeIndex = FilterIndex;
  request.defaultExt = DefaultExt;
  request.fileName = FileName;
  // The platform dialog's own idea of the type after a cancel is not ours to
  // keep (Wine's already holds a type that was picked and then cancelled):
  // only a confirmed result changes the kept name and type.
  std::optional<SaveDialogResult> result =
      port.Execute(request, [this](int index) { svdScreenshotTypeChange(index); });
  if (result) {
    FileName = result->fileName;
    FilterIndex = result->fileTypeIndex;
  }
  return result;
}

void TSaveDialog::svdScreenshotTypeChange(int fileTypeIndex) {
  if (fileTypeIndex >= 1 && fileTypeIndex <= static_cast<int>(kTypeExtensions.size()))
    DefaultExt = kTypeExtensions[static_cast<std::size_t>(fileTypeIndex - 1)];
}

}  // namespace tw
