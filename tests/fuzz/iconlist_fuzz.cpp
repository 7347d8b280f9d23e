// The icon list's stored form as input, and the .ico files inside it: what
// loads must be what the stream says, every image inside its file, and what
// is rejected must leave the list as it was.
//
// Input: the stored form itself.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/trayicon/icon.h"
#include "app/trayicon/iconlist.h"
#include "core/error.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"

namespace tw::fuzz {
namespace {

std::uint32_t Le(std::span<const std::uint8_t> b, std::size_t at, int width) {
  std::uint32_t v = 0;
  for (int i = 0; i < width; ++i) v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
  return v;
}

// An icon file's directory read apart from ParseIcoDirectory: a header of
// type 1 with at least one image, every image inside the file and past the
// directory.
bool ReferenceIcoValid(std::span<const std::uint8_t> f) {
  if (f.size() < 6 || Le(f, 0, 2) != 0 || Le(f, 2, 2) != 1) return false;
  const std::size_t count = Le(f, 4, 2);
  const std::size_t directoryEnd = 6 + 16 * count;
  if (count == 0 || f.size() < directoryEnd) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint64_t bytes = Le(f, 6 + 16 * i + 8, 4), offset = Le(f, 6 + 16 * i + 12, 4);
    if (bytes == 0 || offset < directoryEnd || offset + bytes > f.size()) return false;
  }
  return true;
}

void CheckIco(std::span<const std::uint8_t> file) {
  const auto images = ParseIcoDirectory(file);
  TW_FUZZ_CHECK(images.has_value() == ReferenceIcoValid(file));
  TW_FUZZ_CHECK(IcoImageCount(file) == (images ? static_cast<int>(images->size()) : 0));
  const std::vector<std::uint8_t> resource = IcoResourceDirectory(file);
  if (!images) {
    TW_FUZZ_CHECK(resource.empty());
    return;
  }
  TW_FUZZ_CHECK(images->size() == Le(file, 4, 2));
  TW_FUZZ_CHECK(resource.size() == 6 + 14 * images->size());
  TW_FUZZ_CHECK(std::equal(resource.begin(), resource.begin() + 6, file.begin()));
  for (std::size_t i = 0; i < images->size(); ++i) {
    const IcoImage& image = (*images)[i];
    const std::size_t entry = 6 + 16 * i;
    TW_FUZZ_CHECK(image.width == (file[entry] == 0 ? 256 : file[entry]));
    TW_FUZZ_CHECK(image.height == (file[entry + 1] == 0 ? 256 : file[entry + 1]));
    TW_FUZZ_CHECK(image.bytesInRes == Le(file, entry + 8, 4) && image.imageOffset == Le(file, entry + 12, 4));
    // The shell hands the image's bytes to Windows: they lie in the file.
    TW_FUZZ_CHECK(image.bytesInRes > 0 && std::uint64_t{image.imageOffset} + image.bytesInRes <= file.size());
    const std::size_t at = 6 + 14 * i;
    TW_FUZZ_CHECK(std::equal(resource.begin() + static_cast<std::ptrdiff_t>(at),
                             resource.begin() + static_cast<std::ptrdiff_t>(at + 12),
                             file.begin() + static_cast<std::ptrdiff_t>(entry)));
    TW_FUZZ_CHECK(Le(resource, at + 12, 2) == i + 1);
  }
}

void PutInt32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The stream read apart from TIconList: whether it is whole, and how much of
// it the list takes.
struct ReferenceList {
  bool whole = false;
  std::size_t used = 0;
};

ReferenceList ReadReference(std::span<const std::uint8_t> s) {
  ReferenceList ref;
  if (s.size() < 4) return ref;
  const auto count = static_cast<std::int32_t>(Le(s, 0, 4));
  if (count < 0) return ref;
  std::size_t pos = 4;
  for (std::int32_t i = 0; i < count; ++i) {
    if (s.size() - pos < 4) return ref;
    const auto size = static_cast<std::int32_t>(Le(s, pos, 4));
    pos += 4;
    if (size <= 0) continue;
    if (s.size() - pos < static_cast<std::size_t>(size)) return ref;
    const auto entry = s.subspan(pos, static_cast<std::size_t>(size));
    CheckIco(entry);
    if (!ReferenceIcoValid(entry)) return ref;
    pos += static_cast<std::size_t>(size);
  }
  ref.whole = true;
  ref.used = pos;
  return ref;
}

// Whether `written` is the part of `s` that a whole list takes, as the list
// writes it back: a size of 0 or less is an empty entry, written as 0.
bool WrittenAsStored(std::span<const std::uint8_t> written, std::span<const std::uint8_t> s) {
  if (written.size() < 4 || !std::equal(written.begin(), written.begin() + 4, s.begin())) return false;
  const auto count = static_cast<std::int32_t>(Le(s, 0, 4));
  std::size_t from = 4, to = 4;
  for (std::int32_t i = 0; i < count; ++i) {
    const auto size = static_cast<std::int32_t>(Le(s, from, 4));
    const std::size_t n = size > 0 ? static_cast<std::size_t>(size) : 0;
    if (written.size() - to < 4 + n || Le(written, to, 4) != n) return false;
    if (!std::equal(s.begin() + static_cast<std::ptrdiff_t>(from + 4), s.begin() + static_cast<std::ptrdiff_t>(from + 4 + n),
                    written.begin() + static_cast<std::ptrdiff_t>(to + 4)))
      return false;
    from += 4 + n;
    to += 4 + n;
  }
  return to == written.size();
}

// What the list holds before the load: one small icon.
Bytes PriorIcon() {
  Bytes ico{0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0};
  PutInt32(ico, 4);
  PutInt32(ico, 22);
  ico.insert(ico.end(), {1, 2, 3, 4});
  return ico;
}

FuzzOutcome RunIconList(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> stream(data, size);
  CheckIco(stream);
  const ReferenceList ref = ReadReference(stream);

  static const TIcon prior(PriorIcon());
  TIconList list;
  list.Add(prior);
  int changes = 0;
  list.OnChange = [&] { ++changes; };
  const Bytes before = list.SaveToStream();
  std::size_t used = 0;
  try {
    used = list.LoadFromStream(stream);
  } catch (const Error&) {
    TW_FUZZ_CHECK(!ref.whole);
    TW_FUZZ_CHECK(changes == 0);
    TW_FUZZ_CHECK(list.SaveToStream() == before);
    return FuzzOutcome::Rejected;
  } catch (...) {
    Fail(__FILE__, __LINE__, "LoadFromStream raised something other than tw::Error");
  }
  TW_FUZZ_CHECK(ref.whole);
  TW_FUZZ_CHECK(used == ref.used);
  TW_FUZZ_CHECK(changes == 1);
  // What it holds is what the stream says, and it writes it back so.
  TW_FUZZ_CHECK(WrittenAsStored(list.SaveToStream(), stream));
  for (int i = 0; i < list.Count(); ++i) TW_FUZZ_CHECK(list[i].Empty() || list[i].Valid());
  return FuzzOutcome::Accepted;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<Bytes> IconListSeeds() {
  std::vector<Bytes> seeds;
  for (const char* name : {"main", "magnifier", "screenshot", "measurer", "dropper"}) {
    Bytes stored = ReadFile(std::string(TARNWICK_SOURCE_DIR) + "/resources/icons/" + name + ".xti");
    if (!stored.empty()) seeds.push_back(std::move(stored));
  }
  Bytes mixed;  // an icon, an empty entry, one of negative size
  PutInt32(mixed, 3);
  const Bytes ico = PriorIcon();
  PutInt32(mixed, static_cast<std::uint32_t>(ico.size()));
  mixed.insert(mixed.end(), ico.begin(), ico.end());
  PutInt32(mixed, 0);
  PutInt32(mixed, 0xFFFFFFFF);
  seeds.push_back(mixed);
  seeds.push_back({0, 0, 0, 0});  // no entries
  return seeds;
}

// Where a stored list keeps its lengths and counts: the entry count, each
// entry's size and, inside each icon file, the image count, each image's
// size, place and dimensions, and its bitmap header's size and dimensions.
std::vector<FieldHint> HintsOf(std::span<const std::uint8_t> s) {
  std::vector<FieldHint> hints{{0, 4}};
  if (s.size() < 4) return hints;
  const auto count = static_cast<std::int32_t>(Le(s, 0, 4));
  std::size_t pos = 4;
  for (std::int32_t i = 0; i < count && s.size() - pos >= 4; ++i) {
    hints.push_back({pos, 4});
    const auto size = static_cast<std::int32_t>(Le(s, pos, 4));
    pos += 4;
    if (size <= 0) continue;
    if (s.size() - pos < static_cast<std::size_t>(size)) break;
    const auto file = s.subspan(pos, static_cast<std::size_t>(size));
    if (file.size() >= 6) {
      hints.push_back({pos + 4, 2});
      const std::size_t images = Le(file, 4, 2);
      for (std::size_t j = 0; j < images && 6 + 16 * (j + 1) <= file.size(); ++j) {
        const std::size_t entry = pos + 6 + 16 * j;
        for (const FieldHint h : {FieldHint{entry, 1}, FieldHint{entry + 1, 1}, FieldHint{entry + 8, 4},
                                  FieldHint{entry + 12, 4}})
          hints.push_back(h);
        const std::uint64_t image = Le(file, 6 + 16 * j + 12, 4);
        if (image + 16 <= file.size())
          for (const FieldHint h : {FieldHint{pos + image, 4}, FieldHint{pos + image + 4, 4},
                                    FieldHint{pos + image + 8, 4}, FieldHint{pos + image + 14, 2}})
            hints.push_back(h);
      }
    }
    pos += static_cast<std::size_t>(size);
  }
  return hints;
}

void GenerateIconList(FuzzRng& rng, const std::vector<Bytes>& seeds, Bytes& input) {
  input = seeds[rng.Below(static_cast<std::uint32_t>(seeds.size()))];
  if (rng.OneIn(10)) {
    // Another list's entries after this one's, with the count set to both.
    const Bytes& other = seeds[rng.Below(static_cast<std::uint32_t>(seeds.size()))];
    if (input.size() >= 4 && other.size() >= 4) {
      const std::uint32_t count = Le(input, 0, 4) + Le(other, 0, 4);
      input.insert(input.end(), other.begin() + 4, other.end());
      for (int i = 0; i < 4; ++i) input[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(count >> (8 * i));
    }
  }
  const std::vector<FieldHint> hints = HintsOf(input);
  Mutate(rng, input, hints, 1 + static_cast<int>(rng.Below(3)));
}

}  // namespace

int FuzzIconList(const std::uint8_t* data, std::size_t size) {
  RunIconList(data, size);
  return 0;
}

FuzzOutcome IconListOutcome(const std::uint8_t* data, std::size_t size) { return RunIconList(data, size); }

const FuzzTarget& IconListTarget() {
  static const FuzzTarget target{"icon_list", FuzzIconList, IconListSeeds, GenerateIconList};
  return target;
}

}  // namespace tw::fuzz
