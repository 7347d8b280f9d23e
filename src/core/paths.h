// Small text helpers for file paths and the texts the system returns.
#pragma once

#include <string>

namespace tw {

// The folder part of a full path, with its closing separator
// ("C:\Pictures\" of "C:\Pictures\x.png"); empty when there is none.
std::string FolderOfPath(const std::string& path);

// `text` without trailing line breaks and spaces (system texts end in CR LF).
std::string TrimTrailingSpace(std::string text);

}  // namespace tw
