// The Screenshot's save dialog: one object for the program's whole life, so
// that it offers the last confirmed file name and type again.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/save_dialog_port.h"

namespace tw {

// "text|pattern|text|pattern..." into its pairs; a trailing text without a
// pattern is dropped.
std::vector<FileType> ParseFilter(const std::string& filter);

class TSaveDialog {
 public:
  TSaveDialog();

  // Opens the dialog on the kept name and type. A confirmed save keeps its
  // name and type for the next time; a type change sets the default
  // extension for the next time, also when this one is cancelled.
  std::optional<SaveDialogResult> Execute(ISaveDialogPort& port);
  // The dialog's file-type-change event (1-based index).
  void svdScreenshotTypeChange(int fileTypeIndex);

  std::string Filter;
  int FilterIndex = 2;
  std::string DefaultExt = "png";
  std::string FileName;
};

}  // namespace tw
