// The word processor's registered command as input, which anyone may have
// written: the program path read from it, and the GDI+ file chosen with it.
//
// Input: one byte of facts (bit 0: "gdiplus11.dll" is beside the program;
// bit 1: "gdiplus.dll" is; bit 2: "gdiplus.dll" is beside the word
// processor; bit 3: no command is registered; bits 4-5: the word
// processor's version cannot be read, is 10.99, is 11.0, or is in the next
// 4 bytes), the program folder (a length byte and that many bytes), then the
// command value's raw data (UTF-16, any bytes), read as the loader reads it.
#include <array>

#include "fakes/fake_registry.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"
#include "imaging/gdiplus_library.h"

namespace tw::fuzz {
namespace {

bool Separator(char c) { return c == '\\' || c == '/'; }

bool ReferenceAbsolute(std::string_view p) {
  if (p.size() >= 2 && Separator(p[0]) && Separator(p[1])) return true;
  const bool letter = p.size() >= 3 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
  return letter && p[1] == ':' && Separator(p[2]);
}

std::string ReferenceFolder(const std::string& path) {
  const std::size_t end = path.find_last_of("\\/:");
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

// QuotedProgramPath held to what it promises, for any bytes: a name between
// the opening quote and the next one, nothing when there is none.
void CheckQuotedPath(std::string_view command) {
  const std::optional<std::string> path = QuotedProgramPath(command);
  const bool quoted = command.size() >= 3 && command[0] == '"' && command[1] != '"' &&
                      command.find('"', 2) != std::string_view::npos;
  TW_FUZZ_CHECK(path.has_value() == quoted);
  if (!path) return;
  TW_FUZZ_CHECK(!path->empty() && path->find('"') == std::string::npos);
  TW_FUZZ_CHECK(command.substr(1, path->size()) == *path && command[1 + path->size()] == '"');
}

int RunGdiplusLibrary(const std::uint8_t* data, std::size_t size) {
  FuzzReader in(data, size);
  const std::uint8_t flags = in.Byte();
  std::optional<std::uint32_t> version;
  switch ((flags >> 4) & 3) {
    case 0: break;
    case 1: version = FileVersionNumber(10, 99); break;
    case 2: version = kWordProcessorMinVersion; break;
    default: version = in.U32(); break;
  }
  const auto folderBytes = in.Take(in.Byte());
  const std::string folder(folderBytes.begin(), folderBytes.end());
  const auto raw = in.Rest();
  CheckQuotedPath(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));

  const bool registered = (flags & 8) == 0;
  const std::string command = fakes::RegistryDataText(raw);
  CheckQuotedPath(command);
  const std::optional<std::string> program = registered ? QuotedProgramPath(command) : std::nullopt;
  const std::string own11 = folder + "gdiplus11.dll", own = folder + "gdiplus.dll";
  const std::string beside = program ? ReferenceFolder(*program) + "gdiplus.dll" : std::string();
  const auto exists = [&](const std::string& path) {
    return (path == own11 && (flags & 1) != 0) || (path == own && (flags & 2) != 0) ||
           (program && path == beside && (flags & 4) != 0);
  };

  int commandReads = 0;
  bool otherFileAsked = false, otherVersionAsked = false;
  const GdiplusLibraryFacts facts{
      [&](const std::string& path) {
        otherFileAsked = otherFileAsked || (path != own11 && path != own && (!program || path != beside));
        return exists(path);
      },
      [&]() -> std::optional<std::string> {
        ++commandReads;
        return registered ? std::optional<std::string>(command) : std::nullopt;
      },
      [&](const std::string& path) {
        otherVersionAsked = otherVersionAsked || !program || path != *program;
        return version;
      }};
  const std::string chosen = ChooseGdiplusLibrary(folder, facts);

  TW_FUZZ_CHECK(!otherFileAsked && !otherVersionAsked && commandReads <= 1);
  std::string expected = "gdiplus.dll";
  if (exists(own11))
    expected = own11;
  else if (exists(own))
    expected = own;
  else if (program && ReferenceAbsolute(ReferenceFolder(*program)) &&
           (!version || *version >= kWordProcessorMinVersion) && exists(beside))
    expected = beside;
  TW_FUZZ_CHECK(chosen == expected);
  TW_FUZZ_CHECK(IsAbsolutePath(folder) == ReferenceAbsolute(folder));
  return 0;
}

constexpr std::array<std::string_view, 12> kCommands{
    "\"C:\\Program Files\\Microsoft Office\\OFFICE11\\WINWORD.EXE\" /n /dde",
    "C:\\Office\\WINWORD.EXE /n",
    "\"\\\\server\\office\\winword.exe\" %1",
    "\"WINWORD.EXE\"",
    "\"Office\\WINWORD.EXE\" /n",
    "\"\"",
    "\"",
    "\"C:winword.exe\"",
    "\"C:/Office/WINWORD.EXE\"",
    "\"C:\\Programme\\B\xC3\xBCro\\WINWORD.EXE\" /n",
    "\"C:\\Tools\\Tarnwick\\WINWORD.EXE\"",
    ""};
constexpr std::array<std::string_view, 5> kFolders{"C:\\Program Files\\Tarnwick\\", "", "\\\\srv\\share\\",
                                                   "C:\\Tools\\Tarnwick\\", "Tarnwick\\"};

// The command as the registry holds it: UTF-16, ended or not.
Bytes CommandData(const std::u16string& text, int ending) {
  Bytes data = Utf16Data(text);
  if (ending == 1) data.insert(data.end(), {0, 0});
  if (ending == 2) data.insert(data.end(), {0, 0, 'x', 0, '"', 0});
  if (ending == 3) data.push_back('"');
  return data;
}

std::u16string Widened(std::string_view text) { return std::u16string(text.begin(), text.end()); }

Bytes Input(std::uint8_t flags, std::string_view folder, const Bytes& command) {
  Bytes input{flags, static_cast<std::uint8_t>(folder.size())};
  input.insert(input.end(), folder.begin(), folder.end());
  input.insert(input.end(), command.begin(), command.end());
  return input;
}

std::vector<Bytes> GdiplusSeeds() {
  std::vector<Bytes> seeds;
  for (std::size_t i = 0; i < kCommands.size(); ++i)
    seeds.push_back(Input(static_cast<std::uint8_t>(4 | (i % 3) << 4), kFolders[i % kFolders.size()],
                          CommandData(Widened(kCommands[i]), 1)));
  seeds.push_back(Input(4 | 2 << 4, kFolders[0], CommandData(Widened(kCommands[0]), 0)));  // unterminated
  seeds.push_back(Input(3, kFolders[0], CommandData(Widened(kCommands[0]), 1)));
  seeds.push_back(Input(8 | 4, kFolders[0], {}));
  return seeds;
}

void GenerateGdiplus(FuzzRng& rng, const std::vector<Bytes>& seeds, Bytes& input) {
  if (rng.OneIn(4)) {
    input = seeds[rng.Below(static_cast<std::uint32_t>(seeds.size()))];
    Mutate(rng, input, std::array<FieldHint, 1>{{{1, 1}}}, 1 + static_cast<int>(rng.Below(4)));
    return;
  }
  std::u16string text = Widened(kCommands[rng.Below(kCommands.size())]);
  static constexpr std::array<char16_t, 10> kUnits{u'"', u'\\', u'/', u':', u' ', u'C', 0xD800, 0xDC00, u'\u00FC', 0};
  const int edits = static_cast<int>(rng.Below(4));
  for (int e = 0; e < edits; ++e) {
    const std::uint32_t at = rng.Below(static_cast<std::uint32_t>(text.size() + 1));
    switch (rng.Below(3)) {
      case 0: text.insert(text.begin() + at, kUnits[rng.Below(kUnits.size())]); break;
      case 1:
        if (at < text.size()) text.erase(at, 1);
        break;
      default: text.resize(at); break;
    }
  }
  input = Input(static_cast<std::uint8_t>(rng.Next()), kFolders[rng.Below(kFolders.size())],
                CommandData(text, static_cast<int>(rng.Below(4))));
  // A version of any value in the 4 bytes after the facts.
  if (((input[0] >> 4) & 3) == 3) {
    const std::uint32_t v = rng.OneIn(2) ? static_cast<std::uint32_t>(rng.Next())
                                         : FileVersionNumber(static_cast<std::uint16_t>(10 + rng.Below(3)),
                                                             static_cast<std::uint16_t>(rng.Below(2) * 0xFFFF));
    for (int i = 3; i >= 0; --i) input.insert(input.begin() + 1, static_cast<std::uint8_t>(v >> (8 * i)));
  }
}

}  // namespace

int FuzzGdiplusLibrary(const std::uint8_t* data, std::size_t size) { return RunGdiplusLibrary(data, size); }

const FuzzTarget& GdiplusLibraryTarget() {
  static const FuzzTarget target{"gdiplus_library", FuzzGdiplusLibrary, GdiplusSeeds, GenerateGdiplus};
  return target;
}

}  // namespace tw::fuzz
