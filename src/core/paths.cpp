#include "core/paths.h"

namespace tw {

std::string FolderOfPath(const std::string& path) {
  const std::size_t end = path.find_last_of("\\/:");
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string TrimTrailingSpace(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '\t'))
    text.pop_back();
  return text;
}

}  // namespace tw
