// The save dialog as the program asks for it: the file types offered, the
// name and type proposed, and what the user confirmed.
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

}  // namespace tw
