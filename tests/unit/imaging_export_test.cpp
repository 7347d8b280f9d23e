// The image export over fake GDI+ and file ports: what reaches the file on
// success, and that every failure leaves an existing file as it was and
// says what failed.
#include "core/paths.h"
#include "imaging/image_exporter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "core/error.h"
#include "fakes/fake_imaging.h"
#include "imaging/encoders.h"

namespace tw {
namespace {

using ::testing::ElementsAre;

const std::string kTarget = "C:\\Pictures\\shot.png";
const std::string kTemp = "C:\\Pictures\\twk1.tmp";
const std::string kOldContent = "the old image";
constexpr Size kSize{37, 23};

class ImageExportTest : public ::testing::Test {
 protected:
  ImageExportTest() : picture_(kSize.width, kSize.height, 0x00123456) {}

  // The error message of a save, "(no error)" when none is thrown; any other
  // exception fails the test.
  std::string SaveError(int format = kPngFormat, int quality = 50) {
    try {
      exporter_.SaveBitmapToFile(picture_, kTarget, format, quality);
    } catch (const Error& error) {
      return error.what();
    }
    return "(no error)";
  }
  std::string Expected(Size size, int bitsPerPixel, const Guid& encoder) const {
    const std::vector<std::uint8_t> bytes = fakes::FakeEncodedBytes(size, bitsPerPixel, encoder);
    return {bytes.begin(), bytes.end()};
  }
  std::string WriteCall(const std::string& path, Size size, int bitsPerPixel, const Guid& encoder) const {
    return "write " + path + " " + std::to_string(Expected(size, bitsPerPixel, encoder).size());
  }
  void ExpectNoImageLeft() const {
    EXPECT_TRUE(gdip_.live.empty());
    EXPECT_TRUE(gdip_.disposedTwice.empty());
  }

  fakes::FakeGdiplus gdip_;
  fakes::FakeFiles files_;
  TImageExporter exporter_{gdip_, files_};
  Pixmap picture_;
};

// --- Success ------------------------------------------------------------

TEST_F(ImageExportTest, NewFileIsWrittenBesideAndRenamedIntoPlace) {
  EXPECT_EQ(SaveError(kPngFormat), "(no error)");
  EXPECT_EQ(files_.Content(kTarget), Expected(kSize, 32, kPngEncoder));
  EXPECT_THAT(files_.calls, ElementsAre("temp C:\\Pictures\\", WriteCall(kTemp, kSize, 32, kPngEncoder),
                                        "replace " + kTarget + " " + kTemp));
  EXPECT_EQ(files_.files.size(), 1u);
  ExpectNoImageLeft();
}

TEST_F(ImageExportTest, ExistingFileIsReplacedWithTheWholeImage) {
  files_.Put(kTarget, kOldContent);
  EXPECT_EQ(SaveError(kBmpFormat), "(no error)");
  EXPECT_EQ(files_.Content(kTarget), Expected(kSize, 32, kBmpEncoder));
  // One write, complete, and never into the target itself.
  EXPECT_THAT(files_.calls, ElementsAre("temp C:\\Pictures\\", WriteCall(kTemp, kSize, 32, kBmpEncoder),
                                        "replace " + kTarget + " " + kTemp));
  EXPECT_EQ(files_.files.size(), 1u);
}

TEST_F(ImageExportTest, EveryFormatIsEncodedWithItsEncoderAndCheckedBeforeWriting) {
  const Guid encoders[] = {kGifEncoder, kPngEncoder, kJpegEncoder, kBmpEncoder, kTiffEncoder};
  for (int format = 0; format < kImageFormatCount; ++format) {
    gdip_.encodes.clear();
    gdip_.decodeChecks = 0;
    EXPECT_EQ(SaveError(format, 4), "(no error)") << format;
    ASSERT_EQ(gdip_.encodes.size(), 1u) << format;
    EXPECT_EQ(gdip_.encodes[0].encoder, encoders[format]);
    EXPECT_EQ(gdip_.encodes[0].parameter, EncoderFor(format, 4)->parameter);
    EXPECT_EQ(gdip_.decodeChecks, 1) << format;
    EXPECT_EQ(files_.Content(kTarget), Expected(kSize, format == kGifFormat ? 8 : 32, encoders[format]));
  }
  ExpectNoImageLeft();
}

TEST_F(ImageExportTest, QualityReachesTheEncoderAsItsParameter) {
  EXPECT_EQ(SaveError(kJpegFormat, 77), "(no error)");
  EXPECT_EQ(SaveError(kJpegFormat, -1), "(no error)");
  EXPECT_EQ(SaveError(kTiffFormat, 9), "(no error)");
  ASSERT_EQ(gdip_.encodes.size(), 3u);
  EXPECT_EQ(gdip_.encodes[0].parameter, (EncoderParameter{kEncoderQuality, 77}));
  EXPECT_FALSE(gdip_.encodes[1].parameter.has_value());
  EXPECT_EQ(gdip_.encodes[2].parameter, (EncoderParameter{kEncoderCompression, kTiffCompressionLzw}));
}

TEST_F(ImageExportTest, GifIsEncodedOnceFromTheProgramsOwnPalette) {
  files_.Put(kTarget, kOldContent);
  gdip_.gifFrom32BitWritesNoImage = true;
  EXPECT_EQ(SaveError(kGifFormat), "(no error)");
  ASSERT_EQ(gdip_.encodes.size(), 1u);
  EXPECT_EQ(gdip_.encodes[0].bitsPerPixel, 8);
  EXPECT_EQ(gdip_.lastIndexed, QuantizeToPalette(picture_));
  EXPECT_EQ(files_.Content(kTarget), Expected(kSize, 8, kGifEncoder));
  EXPECT_THAT(files_.calls, ElementsAre("temp C:\\Pictures\\", WriteCall(kTemp, kSize, 8, kGifEncoder),
                                        "replace " + kTarget + " " + kTemp));
  ExpectNoImageLeft();
}

TEST_F(ImageExportTest, GifTakesThePaletteAlsoWhereTheEncoderReadsWholePixels) {
  EXPECT_EQ(SaveError(kGifFormat), "(no error)");
  EXPECT_EQ(files_.Content(kTarget), Expected(kSize, 8, kGifEncoder));
}

TEST_F(ImageExportTest, WithoutATemporaryFileTheTargetIsWrittenOnceDirectly) {
  files_.Put(kTarget, kOldContent);
  files_.tempFails = true;
  EXPECT_EQ(SaveError(kPngFormat), "(no error)");
  EXPECT_EQ(files_.Content(kTarget), Expected(kSize, 32, kPngEncoder));
  EXPECT_THAT(files_.calls, ElementsAre("temp C:\\Pictures\\", WriteCall(kTarget, kSize, 32, kPngEncoder)));
}

TEST_F(ImageExportTest, TemporaryFileNeverTakesAnotherFilesName) {
  files_.Put(kTemp, "someone else's");
  EXPECT_EQ(SaveError(kPngFormat), "(no error)");
  EXPECT_EQ(files_.Content(kTemp), "someone else's");
  EXPECT_EQ(files_.Content(kTarget), Expected(kSize, 32, kPngEncoder));
}

// --- Failures -----------------------------------------------------------

struct FailureCase {
  std::string name;
  int format;
  std::function<void(fakes::FakeGdiplus&, fakes::FakeFiles&)> setUp;
  std::string error;
};

class ImageExportFailure : public ImageExportTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ImageExportFailure, LeavesTheFileAsItWasAndSaysWhatFailed) {
  const FailureCase& c = GetParam();
  files_.Put(kTarget, kOldContent);
  c.setUp(gdip_, files_);
  EXPECT_EQ(SaveError(c.format), c.error);
  EXPECT_EQ(files_.Content(kTarget), kOldContent);
  EXPECT_EQ(files_.files.size(), 1u) << "a temporary file is left";
  ExpectNoImageLeft();
}

TEST_P(ImageExportFailure, MakesNoFileWhereThereWasNone) {
  const FailureCase& c = GetParam();
  c.setUp(gdip_, files_);
  EXPECT_EQ(SaveError(c.format), c.error);
  EXPECT_TRUE(files_.files.empty());
  ExpectNoImageLeft();
}

const std::string kCannotCreate = "Cannot create file \"" + kTarget + "\". ";

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageExportFailure,
    ::testing::Values(
        FailureCase{"GdiplusUnavailable", kPngFormat, [](auto& g, auto&) { g.available = false; },
                    "Cannot save the image: GDI+ is not available"},
        FailureCase{"NoPicture", kPngFormat, [](auto& g, auto&) { g.createFails = true; },
                    "Cannot save the image: the picture cannot be converted"},
        FailureCase{"NoSize", kPngFormat, [](auto& g, auto&) { g.sizeFails = true; },
                    "Cannot save the image: the picture cannot be converted"},
        FailureCase{"ZeroSize", kPngFormat, [](auto& g, auto&) { g.reportedSize = {37, 0}; },
                    "Cannot save the image: the picture cannot be converted"},
        FailureCase{"EncoderError", kTiffFormat, [](auto& g, auto&) { g.encodeStatus = 7; },
                    "Cannot save the image: the encoder failed (status 7)"},
        FailureCase{"OutputDoesNotDecode", kPngFormat, [](auto& g, auto&) { g.outputUnreadable = true; },
                    "Cannot save the image: the encoder wrote no readable image"},
        FailureCase{"OutputOfAnotherSize", kJpegFormat, [](auto& g, auto&) { g.reportedSize = {36, 23}; },
                    "Cannot save the image: the encoder wrote no readable image"},
        FailureCase{"GifFallbackUnreadable", kGifFormat,
                    [](auto& g, auto&) { g.gifFrom32BitWritesNoImage = g.gifFromIndexedWritesNoImage = true; },
                    "Cannot save the image: the encoder wrote no readable image"},
        FailureCase{"GifNoIndexedCopy", kGifFormat,
                    [](auto& g, auto&) { g.indexedFails = true; },
                    "Cannot save the image: the picture cannot be converted"},
        FailureCase{"GifFallbackEncoderError", kGifFormat,
                    [](auto& g, auto&) {
                      g.gifFrom32BitWritesNoImage = true;
                      g.indexedEncodeStatus = 1;
                    },
                    "Cannot save the image: the encoder failed (status 1)"},
        FailureCase{"NoTempAndTargetCannotBeCreated", kPngFormat,
                    [](auto&, auto& f) {
                      f.tempFails = true;
                      f.createError = 5;
                    },
                    kCannotCreate + "Access denied."},
        FailureCase{"ShortWrite", kPngFormat, [](auto&, auto& f) { f.shortWriteError = 112; },
                    kCannotCreate + "There is not enough space on the disk."},
        FailureCase{"TempCannotBeOpened", kBmpFormat, [](auto&, auto& f) { f.createError = 5; },
                    kCannotCreate + "Access denied."},
        FailureCase{"ReplaceFails", kPngFormat, [](auto&, auto& f) { f.replaceError = 5; },
                    kCannotCreate + "Access denied."},
        FailureCase{"ErrorWithoutText", kPngFormat, [](auto&, auto& f) { f.replaceError = 1234; },
                    kCannotCreate + "System error 1234."},
        FailureCase{"FormatFive", 5, [](auto&, auto&) {}, "Cannot save the image: there is no image format 5"},
        FailureCase{"FormatNegative", -1, [](auto&, auto&) {},
                    "Cannot save the image: there is no image format -1"},
        FailureCase{"FormatHuge", INT_MAX, [](auto&, auto&) {},
                    "Cannot save the image: there is no image format 2147483647"}),
    [](const auto& param) { return param.param.name; });

TEST_F(ImageExportTest, FailedEncodingTouchesNoFileAtAll) {
  gdip_.encodeStatus = 7;
  EXPECT_NE(SaveError(kPngFormat), "(no error)");
  EXPECT_TRUE(files_.calls.empty());
}

TEST_F(ImageExportTest, ShortDirectWriteOfANewFileLeavesNoTruncatedFile) {
  files_.tempFails = true;
  files_.shortWriteError = 112;
  EXPECT_EQ(SaveError(kPngFormat), kCannotCreate + "There is not enough space on the disk.");
  EXPECT_TRUE(files_.files.empty());
}

TEST_F(ImageExportTest, BadFormatReachesNeitherGdiplusNorTheFiles) {
  EXPECT_NE(SaveError(kImageFormatCount), "(no error)");
  EXPECT_TRUE(gdip_.encodes.empty());
  EXPECT_TRUE(files_.calls.empty());
}

// --- EncodePicture and the picture ---------------------------------------

TEST_F(ImageExportTest, EncodePictureAnswersInvalidParameterWithoutAnImage) {
  const TGdipPicture none(gdip_);
  EXPECT_EQ(exporter_.EncodePicture(none, kPngFormat, 50).status, kGdipInvalidParameter);

  const TGdipPicture picture = TGdipPicture::FromPixmap(gdip_, picture_);
  ASSERT_TRUE(picture.HasContent());
  EXPECT_EQ(exporter_.EncodePicture(picture, kImageFormatCount, 50).status, kGdipInvalidParameter);
  EXPECT_TRUE(gdip_.encodes.empty());
  gdip_.available = false;
  EXPECT_EQ(exporter_.EncodePicture(picture, kPngFormat, 50).status, kGdipInvalidParameter);
  gdip_.available = true;
  gdip_.encodeStatus = 10;
  const EncodedImage failed = exporter_.EncodePicture(picture, kPngFormat, 50);
  EXPECT_EQ(failed.status, 10);
  EXPECT_TRUE(failed.bytes.empty());
}

TEST_F(ImageExportTest, PictureHasTheSizeGdiplusReportsAndDisposesOfItsImage) {
  {
    const TGdipPicture picture = TGdipPicture::FromPixmap(gdip_, picture_);
    EXPECT_TRUE(picture.HasContent());
    EXPECT_EQ(picture.Width(), kSize.width);
    EXPECT_EQ(picture.Height(), kSize.height);
    EXPECT_EQ(gdip_.live.size(), 1u);
  }
  ExpectNoImageLeft();

  gdip_.reportedSize = {0, 23};
  const TGdipPicture flat = TGdipPicture::FromPixmap(gdip_, picture_);
  EXPECT_FALSE(flat.HasContent());
  EXPECT_EQ(flat.Handle(), 0u);
  ExpectNoImageLeft();  // disposed of at once, not kept without content
}

TEST_F(ImageExportTest, EmptyPixmapMakesNoPicture) {
  const TGdipPicture picture = TGdipPicture::FromPixmap(gdip_, Pixmap());
  EXPECT_FALSE(picture.HasContent());
}

struct PathCase {
  std::string path;
  std::string folder;
};

TEST(ImageExportPaths, FolderOfPathKeepsItsSeparator) {
  const PathCase cases[] = {{"C:\\Pictures\\shot.png", "C:\\Pictures\\"},
                            {"C:\\shot.png", "C:\\"},
                            {"C:shot.png", "C:"},
                            {"\\\\server\\share\\a\\b.gif", "\\\\server\\share\\a\\"},
                            {"Z:/tmp/x.png", "Z:/tmp/"},
                            {"shot.png", ""},
                            {"", ""}};
  for (const PathCase& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

TEST(ImageExportPaths, SystemTextLosesItsLineBreak) {
  EXPECT_EQ(TrimTrailingSpace("Access denied.\r\n"), "Access denied.");
  EXPECT_EQ(TrimTrailingSpace("Two\r\nlines.\r\n \r\n"), "Two\r\nlines.");
  EXPECT_EQ(TrimTrailingSpace("\r\n"), "");
  EXPECT_EQ(TrimTrailingSpace("Plain."), "Plain.");
}

}  // namespace
}  // namespace tw
