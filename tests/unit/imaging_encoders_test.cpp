// The encoder table and the choice of the GDI+ library file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>

#include "imaging/encoders.h"
#include "imaging/gdiplus_library.h"
#include "platform/image_export.h"

namespace tw {
namespace {

// GUIDs as GDI+'s documentation writes them, so that a byte slipped in the
// numbers of the table shows up here.
const std::string kGif = "{557CF402-1A04-11D3-9A73-0000F81EF32E}";
const std::string kPng = "{557CF406-1A04-11D3-9A73-0000F81EF32E}";
const std::string kJpeg = "{557CF401-1A04-11D3-9A73-0000F81EF32E}";
const std::string kBmp = "{557CF400-1A04-11D3-9A73-0000F81EF32E}";
const std::string kTiff = "{557CF405-1A04-11D3-9A73-0000F81EF32E}";
const std::string kQuality = "{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}";
const std::string kCompression = "{E09D739D-CCD4-44EE-8EBA-3FBF8BE4FC58}";

struct EncoderCase {
  int format;
  int quality;
  std::string encoder;
  std::string parameter;  // empty: none
  int value;
};

class EncoderTable : public ::testing::TestWithParam<EncoderCase> {};

TEST_P(EncoderTable, ClassIdAndParameterFollowFormatAndQuality) {
  const EncoderCase& c = GetParam();
  const std::optional<EncoderChoice> choice = EncoderFor(c.format, c.quality);
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(GuidText(choice->encoder), c.encoder);
  if (c.parameter.empty()) {
    EXPECT_FALSE(choice->parameter.has_value());
  } else {
    ASSERT_TRUE(choice->parameter.has_value());
    EXPECT_EQ(GuidText(choice->parameter->id), c.parameter);
    EXPECT_EQ(choice->parameter->value, c.value);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, EncoderTable,
                         ::testing::Values(EncoderCase{kGifFormat, 50, kGif, "", 0},
                                           EncoderCase{kGifFormat, -1, kGif, "", 0},
                                           EncoderCase{kPngFormat, 50, kPng, "", 0},
                                           EncoderCase{kPngFormat, 3, kPng, "", 0},
                                           EncoderCase{kJpegFormat, 50, kJpeg, kQuality, 50},
                                           EncoderCase{kJpegFormat, 1, kJpeg, kQuality, 1},
                                           EncoderCase{kJpegFormat, 100, kJpeg, kQuality, 100},
                                           EncoderCase{kJpegFormat, 0, kJpeg, kQuality, 0},
                                           EncoderCase{kJpegFormat, -1, kJpeg, "", 0},
                                           EncoderCase{kJpegFormat, INT_MIN, kJpeg, "", 0},
                                           EncoderCase{kBmpFormat, 50, kBmp, "", 0},
                                           EncoderCase{kTiffFormat, 50, kTiff, kCompression, 2},
                                           EncoderCase{kTiffFormat, 6, kTiff, kCompression, 6},
                                           EncoderCase{kTiffFormat, 3, kTiff, kCompression, 3},
                                           EncoderCase{kTiffFormat, 2, kTiff, kCompression, 2},
                                           EncoderCase{kTiffFormat, 7, kTiff, kCompression, 2},
                                           EncoderCase{kTiffFormat, 1, kTiff, kCompression, 2},
                                           EncoderCase{kTiffFormat, -5, kTiff, kCompression, 2}));

TEST(EncoderTable, NoEncoderOutsideTheFiveFormats) {
  for (int format : {-1, 5, 6, INT_MIN, INT_MAX}) EXPECT_FALSE(EncoderFor(format, 50).has_value()) << format;
}

TEST(EncoderTable, EachFormatHasItsOwnEncoder) {
  std::set<std::string> seen;
  for (int format = 0; format < kImageFormatCount; ++format) seen.insert(GuidText(EncoderFor(format, 50)->encoder));
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kImageFormatCount));
}

// --- The word processor's command ---------------------------------------

struct CommandCase {
  std::string name;
  std::string command;
  std::optional<std::string> program;
};

class QuotedProgram : public ::testing::TestWithParam<CommandCase> {};

TEST_P(QuotedProgram, OnlyAQuotedNameWithItsClosingQuoteIsTaken) {
  EXPECT_EQ(QuotedProgramPath(GetParam().command), GetParam().program);
}

const std::string kLongFolder = "C:\\" + std::string(300, 'd') + "\\WINWORD.EXE";

INSTANTIATE_TEST_SUITE_P(
    Values, QuotedProgram,
    ::testing::Values(
        CommandCase{"Quoted", "\"C:\\Office11\\WINWORD.EXE\" /n /dde", "C:\\Office11\\WINWORD.EXE"},
        CommandCase{"QuotedAlone", "\"C:\\Office11\\WINWORD.EXE\"", "C:\\Office11\\WINWORD.EXE"},
        CommandCase{"SpacesInside", "\"C:\\Program Files\\Office 11\\WINWORD.EXE\" /n",
                    "C:\\Program Files\\Office 11\\WINWORD.EXE"},
        CommandCase{"Empty", "", std::nullopt},
        CommandCase{"Unquoted", "C:\\Office11\\WINWORD.EXE /n", std::nullopt},
        CommandCase{"LeadingSpace", " \"C:\\Office11\\WINWORD.EXE\"", std::nullopt},
        CommandCase{"Unterminated", "\"C:\\Office11\\WINWORD.EXE /n", std::nullopt},
        CommandCase{"OneQuote", "\"", std::nullopt},
        CommandCase{"EmptyName", "\"\" /n", std::nullopt},
        CommandCase{"LongerThan250", "\"" + kLongFolder + "\" /n", kLongFolder},
        CommandCase{"LongUnterminated", "\"" + kLongFolder + " /n", std::nullopt}),
    [](const auto& param) { return param.param.name; });

// --- The library file ---------------------------------------------------

struct LibraryCase {
  std::string name;
  std::set<std::string> files;
  std::optional<std::string> command;
  std::map<std::string, std::uint32_t> versions;  // a program not listed has no readable version
  std::string chosen;
};

class LibraryChoice : public ::testing::TestWithParam<LibraryCase> {};

const std::string kProgramFolder = "C:\\Tools\\";
const std::string kWord = "C:\\Office\\WINWORD.EXE";
const std::string kWordCommand = "\"" + kWord + "\" /n";

TEST_P(LibraryChoice, FirstMatchWins) {
  const LibraryCase& c = GetParam();
  std::vector<std::string> versionsAsked;
  const GdiplusLibraryFacts facts{
      [&](const std::string& path) { return c.files.contains(path); },
      [&] { return c.command; },
      [&](const std::string& path) -> std::optional<std::uint32_t> {
        versionsAsked.push_back(path);
        const auto it = c.versions.find(path);
        if (it == c.versions.end()) return std::nullopt;
        return it->second;
      }};
  EXPECT_EQ(ChooseGdiplusLibrary(kProgramFolder, facts), c.chosen);
  // The version is the word processor's own, never its library's.
  for (const std::string& asked : versionsAsked) EXPECT_TRUE(asked.ends_with("\\WINWORD.EXE")) << asked;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LibraryChoice,
    ::testing::Values(
        LibraryCase{"Own11First",
                    {"C:\\Tools\\gdiplus11.dll", "C:\\Tools\\gdiplus.dll", "C:\\Office\\gdiplus.dll"},
                    kWordCommand,
                    {{kWord, FileVersionNumber(12, 0)}},
                    "C:\\Tools\\gdiplus11.dll"},
        LibraryCase{"OwnPlain",
                    {"C:\\Tools\\gdiplus.dll", "C:\\Office\\gdiplus.dll"},
                    kWordCommand,
                    {{kWord, FileVersionNumber(12, 0)}},
                    "C:\\Tools\\gdiplus.dll"},
        LibraryCase{"Word11", {"C:\\Office\\gdiplus.dll"}, kWordCommand, {{kWord, FileVersionNumber(11, 0)}},
                    "C:\\Office\\gdiplus.dll"},
        LibraryCase{"Word10", {"C:\\Office\\gdiplus.dll"}, kWordCommand,
                    {{kWord, FileVersionNumber(10, 6612)}}, "gdiplus.dll"},
        LibraryCase{"WordVersionUnreadable", {"C:\\Office\\gdiplus.dll"}, kWordCommand, {},
                    "C:\\Office\\gdiplus.dll"},
        LibraryCase{"WordWithoutGdiplus", {}, kWordCommand, {{kWord, FileVersionNumber(16, 0)}}, "gdiplus.dll"},
        LibraryCase{"NoWord", {"C:\\Office\\gdiplus.dll"}, std::nullopt, {}, "gdiplus.dll"},
        LibraryCase{"WordUnquoted", {"C:\\Office\\gdiplus.dll"}, kWord + " /n", {}, "gdiplus.dll"},
        LibraryCase{"WordUnterminated", {"C:\\Office\\gdiplus.dll"}, "\"" + kWord, {}, "gdiplus.dll"},
        LibraryCase{"WordEmpty", {"C:\\Office\\gdiplus.dll"}, "", {}, "gdiplus.dll"},
        LibraryCase{"WordRelative", {"Office\\gdiplus.dll"}, "\"Office\\WINWORD.EXE\"", {}, "gdiplus.dll"},
        LibraryCase{"WordOnAShare", {"\\\\srv\\Office\\gdiplus.dll"}, "\"\\\\srv\\Office\\WINWORD.EXE\"", {},
                    "\\\\srv\\Office\\gdiplus.dll"}),
    [](const auto& param) { return param.param.name; });

TEST(LibraryChoice, AbsolutePathsNameTheirDriveOrShare) {
  for (const char* path : {"C:\\Office\\", "c:/Office/", "\\\\srv\\share\\", "//srv/share/"})
    EXPECT_TRUE(IsAbsolutePath(path)) << path;
  for (const char* path : {"", "C:", "C:Office\\", "\\Office\\", "Office\\", "1:\\x", ":\\"})
    EXPECT_FALSE(IsAbsolutePath(path)) << path;
}

}  // namespace
}  // namespace tw
