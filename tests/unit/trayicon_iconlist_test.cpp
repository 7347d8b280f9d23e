#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/trayicon/icon.h"
#include "app/trayicon/iconlist.h"
#include "core/error.h"
#include "fakes/fake_tray.h"

namespace tw {
namespace {

using fakes::MakeIcoFile;
using fakes::MakeIcon;
using Bytes = std::vector<std::uint8_t>;

void PutInt32(Bytes& out, std::int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}

std::int32_t GetInt32(const Bytes& b, std::size_t at) {
  return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                   static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST(IcoDirectory, ReadsTheImagesOfTheProgramsIcons) {
  const Bytes tool = MakeIcoFile({16});
  const Bytes main = MakeIcoFile({16, 32});
  ASSERT_EQ(tool.size(), 318u);
  ASSERT_EQ(main.size(), 1078u);

  const auto one = ParseIcoDirectory(tool);
  ASSERT_TRUE(one.has_value());
  ASSERT_EQ(one->size(), 1u);
  EXPECT_EQ((*one)[0].width, 16);
  EXPECT_EQ((*one)[0].bitCount, 4);
  EXPECT_EQ((*one)[0].colorCount, 16);
  EXPECT_EQ((*one)[0].imageOffset, 22u);
  EXPECT_EQ((*one)[0].bytesInRes, 296u);

  const auto two = ParseIcoDirectory(main);
  ASSERT_TRUE(two.has_value());
  ASSERT_EQ(two->size(), 2u);
  EXPECT_EQ((*two)[1].width, 32);
  EXPECT_EQ((*two)[1].imageOffset + (*two)[1].bytesInRes, 1078u);
}

TEST(IcoDirectory, RejectsWhatIsNotAnIcon) {
  struct Patch {
    std::size_t at;
    std::uint8_t value;
  };
  struct Case {
    const char* name;
    std::vector<Patch> patches;  // applied to a valid 318-byte icon
    std::size_t keep;            // bytes kept
  };
  const Case cases[] = {
      {"reserved word set", {{0, 1}}, 318},
      {"cursor, not icon", {{2, 2}}, 318},
      {"no images", {{4, 0}}, 318},
      {"directory cut off", {}, 20},
      {"image runs past the end", {}, 317},
      {"offset inside the directory", {{18, 4}}, 318},
      {"offset + size wraps in 32 bits", {{18, 0xFF}, {19, 0xFF}, {20, 0xFF}, {21, 0xFF}}, 318},
      {"zero image size", {{14, 0}, {15, 0}}, 318},
  };
  for (const Case& c : cases) {
    Bytes file = MakeIcoFile({16});
    for (const Patch& p : c.patches) file[p.at] = p.value;
    file.resize(c.keep);
    EXPECT_FALSE(ParseIcoDirectory(file).has_value()) << c.name;
    EXPECT_EQ(IcoImageCount(file), 0) << c.name;
  }
  EXPECT_EQ(IcoImageCount({}), 0);
  EXPECT_FALSE(TIcon().Valid());
  EXPECT_TRUE(TIcon().Empty());
}

struct CountingList {
  TIconList list;
  int changes = 0;
  CountingList() {
    list.OnChange = [this] { ++changes; };
  }
};

TEST(IcoDirectory, ResourceFormReplacesEachOffsetByTheImagesId) {
  const Bytes file = MakeIcoFile({16, 32, 48});
  const Bytes directory = IcoResourceDirectory(file);
  ASSERT_EQ(directory.size(), 6u + 3 * 14);
  EXPECT_TRUE(std::equal(directory.begin(), directory.begin() + 6, file.begin()));
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const auto entry = directory.begin() + static_cast<std::ptrdiff_t>(6 + 14 * i);
    EXPECT_TRUE(std::equal(entry, entry + 12, file.begin() + static_cast<std::ptrdiff_t>(6 + 16 * i)));
    EXPECT_EQ(entry[12] | entry[13] << 8, static_cast<int>(i + 1));
  }
  Bytes broken = file;
  broken[2] = 2;  // a cursor
  EXPECT_TRUE(IcoResourceDirectory(broken).empty());
  EXPECT_TRUE(IcoResourceDirectory(Bytes(file.begin(), file.end() - 1)).empty());
}

TEST(IconList, NotifiesAfterEveryChange) {
  CountingList c;
  c.list.Add(MakeIcon(1));
  c.list.Add(TIcon());
  c.list.Add(MakeIcon(3));
  EXPECT_EQ(c.changes, 3);
  ASSERT_EQ(c.list.Count(), 3);
  EXPECT_TRUE(c.list[1].Empty());

  c.list.SetItem(1, MakeIcon(2));
  EXPECT_EQ(c.changes, 4);
  EXPECT_EQ(c.list[1], MakeIcon(2));

  c.list.Delete(0);
  EXPECT_EQ(c.changes, 5);
  EXPECT_EQ(c.list[0], MakeIcon(2));

  c.list.Clear();
  EXPECT_EQ(c.changes, 6);
  c.list.Clear();  // nothing left to change
  EXPECT_EQ(c.changes, 6);
}

TEST(IconList, BadIndexRaisesAndChangesNothing) {
  CountingList c;
  c.list.Add(MakeIcon());
  EXPECT_THROW((void)c.list.Item(1), Error);
  EXPECT_THROW((void)c.list.Item(-1), Error);
  EXPECT_THROW(c.list.Delete(1), Error);
  EXPECT_THROW(c.list.SetItem(5, MakeIcon()), Error);
  EXPECT_EQ(c.list.Count(), 1);
  EXPECT_EQ(c.changes, 1);
}

TEST(IconList, NestedUpdatesNotifyOnceAtTheOutermostEnd) {
  CountingList c;
  c.list.BeginUpdate();
  c.list.Add(MakeIcon(1));
  c.list.BeginUpdate();
  c.list.Add(MakeIcon(2));
  c.list.EndUpdate();
  EXPECT_EQ(c.changes, 0);
  c.list.Delete(0);
  c.list.EndUpdate();
  EXPECT_EQ(c.changes, 1);

  // An update without changes, and an unmatched end, notify nothing.
  c.list.BeginUpdate();
  c.list.EndUpdate();
  c.list.EndUpdate();
  EXPECT_EQ(c.changes, 1);
  c.list.Add(MakeIcon(3));  // the unmatched end left no update open
  EXPECT_EQ(c.changes, 2);
}

TEST(IconList, AssignCopiesEveryEntryWithOneNotification) {
  TIconList source;
  source.Add(MakeIcon(1));
  source.Add(TIcon());
  source.Add(MakeIcon(3));

  CountingList c;
  c.list.Add(MakeIcon(9));
  c.changes = 0;
  c.list.Assign(source);
  EXPECT_EQ(c.changes, 1);
  ASSERT_EQ(c.list.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(c.list[i], source[i]) << i;

  c.list.Assign(c.list);  // onto itself: must not clear itself away
  EXPECT_EQ(c.list.Count(), 3);
}

TEST(IconListStream, RoundTripKeepsSizesOrderAndEmptyEntries) {
  TIconList list;
  const TIcon tool(MakeIcoFile({16}, 5));
  const TIcon main(MakeIcoFile({16, 32}, 7));
  list.Add(tool);
  list.Add(TIcon());
  list.Add(main);

  const Bytes stream = list.SaveToStream();
  ASSERT_EQ(stream.size(), 4u + 4 + 318 + 4 + 4 + 1078);
  EXPECT_EQ(GetInt32(stream, 0), 3);
  EXPECT_EQ(GetInt32(stream, 4), 318);
  EXPECT_EQ(GetInt32(stream, 4 + 4 + 318), 0);
  EXPECT_EQ(GetInt32(stream, 4 + 4 + 318 + 4), 1078);

  CountingList loaded;
  EXPECT_EQ(loaded.list.LoadFromStream(stream), stream.size());
  EXPECT_EQ(loaded.changes, 1);
  ASSERT_EQ(loaded.list.Count(), 3);
  EXPECT_EQ(loaded.list[0], tool);
  EXPECT_TRUE(loaded.list[1].Empty());
  EXPECT_EQ(loaded.list[2], main);
  EXPECT_EQ(loaded.list.SaveToStream(), stream);
}

TEST(IconListStream, NegativeSizeIsAnEmptyEntryAndTrailingBytesAreLeft) {
  Bytes stream;
  PutInt32(stream, 2);
  PutInt32(stream, -5);
  PutInt32(stream, 0);
  stream.push_back(0xAB);  // whatever the resource has next
  TIconList list;
  EXPECT_EQ(list.LoadFromStream(stream), 12u);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_TRUE(list[0].Empty());
  EXPECT_TRUE(list[1].Empty());

  Bytes none;
  PutInt32(none, 0);
  list.LoadFromStream(none);
  EXPECT_EQ(list.Count(), 0);
}

TEST(IconListStream, MalformedStreamsRaiseAndLeaveTheListAlone) {
  const Bytes icon = MakeIcoFile({16});
  auto withEntries = [&](std::int32_t count, std::int32_t size, std::size_t bytesGiven) {
    Bytes s;
    PutInt32(s, count);
    PutInt32(s, size);
    s.insert(s.end(), icon.begin(), icon.begin() + static_cast<std::ptrdiff_t>(bytesGiven));
    return s;
  };
  Bytes notAnIcon;
  PutInt32(notAnIcon, 1);
  PutInt32(notAnIcon, 5);
  for (char ch : std::string("hello")) notAnIcon.push_back(static_cast<std::uint8_t>(ch));

  struct Case {
    const char* name;
    Bytes stream;
    const char* mentions;
  };
  const Case cases[] = {
      {"empty stream", {}, "truncated"},
      {"count cut off", {1, 0, 0}, "truncated"},
      {"negative count", withEntries(-1, 0, 0), "negative"},
      {"count beyond the data", withEntries(0x7FFFFFFF, 0, 0), "truncated"},
      {"second entry missing", withEntries(2, 318, 318), "truncated"},
      {"size beyond the end", withEntries(1, 318, 317), "truncated"},
      {"huge size", withEntries(1, 0x7FFFFFFF, 318), "truncated"},
      {"size field cut off", Bytes{1, 0, 0, 0, 0x3E, 0x01}, "truncated"},
      {"entry is not an icon", notAnIcon, "not a valid icon"},
  };
  for (const Case& c : cases) {
    CountingList target;
    target.list.Add(MakeIcon(4));
    target.changes = 0;
    try {
      target.list.LoadFromStream(c.stream);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos) << c.name << ": " << e.what();
    }
    EXPECT_EQ(target.changes, 0) << c.name;
    ASSERT_EQ(target.list.Count(), 1) << c.name;
    EXPECT_EQ(target.list[0], MakeIcon(4)) << c.name;
  }
}

}  // namespace
}  // namespace tw
