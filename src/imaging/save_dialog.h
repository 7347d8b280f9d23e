// The Screenshot's save dialog: one object for the program's whole life, so
// that it offers the last confirmed file name and type again.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tw {

struct FileType {
  std::string text;     // "PNG Image (*.png)"
  std::string pattern;  // "*.png"
  friend bool operator==(const FileType&, const FileType&) = default;
};

// What the platform dialog is opened with.
struct SaveDialogRequest {
  std::vector<FileType> fileTypes;
  int fileTypeIndex = 1;   // 1-based, as the dialog counts
  std::string defaultExt;  // appended to a name typed without one
  std::string fileName;    // offered in the name field; may be empty
  bool overwritePrompt = true;
  bool hideReadOnly = true;
  bool pathMustExist = true;
};

struct SaveDialogResult {
  std::string fileName;   // full path
  int fileTypeIndex = 1;  // 1-based
  friend bool operator==(const SaveDialogResult&, const SaveDialogResult&) = default;
};

class ISaveDialogPort {
 public:
  virtual ~ISaveDialogPort() = default;
  // Runs the dialog modally. `onTypeChange` gets the 1-based index each time
  // the user picks another file type. nullopt when the user cancelled.
  virtual std::optional<SaveDialogResult> Execute(const SaveDialogRequest& request,
                                                  const std::function<void(int)>& onTypeChange) = 0;
};

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
