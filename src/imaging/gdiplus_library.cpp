#include "imaging/gdiplus_library.h"

#include "core/paths.h"

namespace tw {

std::optional<std::string> QuotedProgramPath(std::string_view command) {
  if (command.empty() || command.front() != '"') return std::nullopt;
  const std::size_t closing = command.find('"', 1);
  if (closing == std::string_view::npos || closing == 1) return std::nullopt;
  return std::string(command.substr(1, closing - 1));
}

bool IsAbsolutePath(std::string_view path) {
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 2 && separator(path[0]) && separator(path[1])) return true;
  const bool letter = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter && path[1] == ':' && separator(path[2]);
}

std::string ChooseGdiplusLibrary(const std::string& programFolder, const GdiplusLibraryFacts& facts) {
  const std::string own11 = programFolder + "gdiplus11.dll";
  if (facts.fileExists(own11)) return own11;
  const std::string own = programFolder + "gdiplus.dll";
  if (facts.fileExists(own)) return own;

  if (const std::optional<std::string> command = facts.wordProcessorCommand()) {
    if (const std::optional<std::string> program = QuotedProgramPath(*command)) {
      const std::string folder = FolderOfPath(*program);
      const std::optional<std::uint32_t> version = facts.fileVersion(*program);
      const std::string beside = folder + "gdiplus.dll";
      // A relative name in a registered command would be found relative to
      // whatever the current folder happens to be.
      if (IsAbsolutePath(folder) && (!version || *version >= kWordProcessorMinVersion) && facts.fileExists(beside))
        return beside;
    }
  }
  return "gdiplus.dll";
}

}  // namespace tw
