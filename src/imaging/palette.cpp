#include "imaging/palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>

namespace tw {

namespace {

constexpr PixelValue kColourBits = 0x00FFFFFF;

constexpr int Red(PixelValue p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int Green(PixelValue p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int Blue(PixelValue p) { return static_cast<int>(p & 0xFF); }

// --- At most 256 colours: the picture's own -------------------------------

// Open addressing with four slots per colour it can hold keeps the probes
// short; the table lives on the stack.
class ColourTable {
 public:
  // The colour's palette index, a new entry when the colour is new; -1 when
  // that entry would be the 257th.
  int IndexOf(PixelValue colour, std::vector<PixelValue>& palette) {
    const std::uint32_t key = colour | kUsed;
    std::size_t slot = static_cast<std::uint32_t>(colour * 0x9E3779B1u) >> (32 - kSlotBits);
    while (keys_[slot] != 0) {
      if (keys_[slot] == key) return indices_[slot];
      slot = (slot + 1) & (kSlots - 1);
    }
    if (palette.size() == kMaxPaletteSize) return -1;
    keys_[slot] = key;
    indices_[slot] = static_cast<std::uint8_t>(palette.size());
    palette.push_back(colour);
    return indices_[slot];
  }

 private:
  static constexpr int kSlotBits = 10;
  static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
  static constexpr std::uint32_t kUsed = 0x01000000;  // black is a colour too
  std::array<std::uint32_t, kSlots> keys_{};
  std::array<std::uint8_t, kSlots> indices_{};
};

// False as soon as a 257th colour turns up.
bool TakeExactColours(std::span<const PixelValue> pixels, IndexedPixels& out) {
  ColourTable table;
  PixelValue previous = 0;
  int index = -1;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const PixelValue colour = pixels[i] & kColourBits;
    // Runs of one colour are the rule in a screenshot: one look-up per run.
    if (index < 0 || colour != previous) {
      index = table.IndexOf(colour, out.palette);
      if (index < 0) return false;
      previous = colour;
    }
    out.indices[i] = static_cast<std::uint8_t>(index);
  }
  return true;
}

// --- More: a median cut over cells of 6 bits per channel ------------------

constexpr int kLevelBits = 6;
constexpr int kLevels = 1 << kLevelBits;
constexpr std::size_t kCells = std::size_t{1} << (3 * kLevelBits);

// Red, green and blue's top 6 bits side by side.
constexpr std::uint32_t CellOf(PixelValue p) {
  return ((p >> 6) & 0x3F000) | ((p >> 4) & 0xFC0) | ((p >> 2) & 0x3F);
}

// What a set of pixels weighs: the count, and per channel the sum and the sum
// of squares, each cell taken as one point at its mean. The squared error
// around the mean follows from them.
struct Moments {
  double count = 0;
  std::array<double, 3> sum{};
  std::array<double, 3> squares{};

  void Add(const Moments& m) {
    count += m.count;
    for (int c = 0; c < 3; ++c) {
      sum[c] += m.sum[c];
      squares[c] += m.squares[c];
    }
  }
  [[nodiscard]] Moments Without(const Moments& m) const {
    Moments rest = *this;
    rest.count -= m.count;
    for (int c = 0; c < 3; ++c) {
      rest.sum[c] -= m.sum[c];
      rest.squares[c] -= m.squares[c];
    }
    return rest;
  }
  [[nodiscard]] double ErrorAlong(int c) const { return count > 0 ? squares[c] - sum[c] * sum[c] / count : 0; }
  [[nodiscard]] double Error() const { return ErrorAlong(0) + ErrorAlong(1) + ErrorAlong(2); }
  [[nodiscard]] PixelValue Mean() const {
    PixelValue colour = 0;
    for (int c = 0; c < 3; ++c)
      colour = colour << 8 | static_cast<PixelValue>(std::clamp(std::lround(sum[c] / count), 0L, 255L));
    return colour;
  }
};

struct Bin {
  Moments moments;
  std::uint32_t cell = 0;
  std::array<std::uint8_t, 3> level{};  // red, green, blue
};

// The cells the picture touches. A cell keeps its pixels' count and, per
// channel, the sum of the two bits below its corner: 16 bytes, so that the
// whole cube stays small enough for a cache, and the sums fit 32 bits for
// up to kMaxQuantizedPixels.
std::vector<Bin> Histogram(std::span<const PixelValue> pixels) {
  struct Cell {
    std::uint32_t count = 0;
    std::array<std::uint32_t, 3> below{};
  };
  std::vector<Cell> cells(kCells);
  for (std::size_t i = 0; i < pixels.size();) {
    const PixelValue colour = pixels[i] & kColourBits;
    std::uint32_t run = 1;
    while (i + run < pixels.size() && (pixels[i + run] & kColourBits) == colour) ++run;
    i += run;
    Cell& cell = cells[CellOf(colour)];
    cell.count += run;
    cell.below[0] += run * ((colour >> 16) & 3);
    cell.below[1] += run * ((colour >> 8) & 3);
    cell.below[2] += run * (colour & 3);
  }
  std::vector<Bin> bins;
  for (std::uint32_t place = 0; place < kCells; ++place) {
    const Cell& cell = cells[place];
    if (cell.count == 0) continue;
    Bin bin;
    bin.cell = place;
    bin.level = {static_cast<std::uint8_t>(place >> 12), static_cast<std::uint8_t>((place >> 6) & 0x3F),
                 static_cast<std::uint8_t>(place & 0x3F)};
    bin.moments.count = cell.count;
    for (int c = 0; c < 3; ++c) {
      bin.moments.sum[c] = 4.0 * bin.level[c] * cell.count + cell.below[c];
      bin.moments.squares[c] = bin.moments.sum[c] * bin.moments.sum[c] / bin.moments.count;
    }
    bins.push_back(bin);
  }
  return bins;
}

struct Box {
  std::size_t begin = 0;  // its bins
  std::size_t end = 0;
  Moments moments;
  double error = 0;
  bool splittable = true;
};

Box MakeBox(std::size_t begin, std::size_t end, const Moments& moments) {
  return {begin, end, moments, moments.Error(), end - begin >= 2};
}

struct Cut {
  int axis = -1;
  int level = 0;  // the upper part starts here
  Moments lower;
};

// The cut between two levels that leaves the least squared error in the two
// parts, on the axis along which the colours spread most (the next one where
// they all share one level there).
Cut BestCut(std::span<const Bin> bins, const Moments& total) {
  std::array<int, 3> axes{0, 1, 2};
  std::sort(axes.begin(), axes.end(),
            [&total](int a, int b) { return total.ErrorAlong(a) > total.ErrorAlong(b); });
  for (const int axis : axes) {
    std::array<Moments, kLevels> perLevel{};
    for (const Bin& bin : bins) perLevel[bin.level[axis]].Add(bin.moments);
    Cut best;
    double bestError = std::numeric_limits<double>::infinity();
    Moments lower;
    for (int level = 1; level < kLevels; ++level) {
      lower.Add(perLevel[level - 1]);
      if (lower.count == 0) continue;
      const Moments upper = total.Without(lower);
      if (upper.count <= 0) break;
      const double error = lower.Error() + upper.Error();
      if (error < bestError) {
        bestError = error;
        best = {axis, level, lower};
      }
    }
    if (best.axis >= 0) return best;
  }
  return {};
}

// The box whose pixels lie farthest from its mean in sum is cut next, until
// there are 256 or no box holds two cells.
std::vector<Box> CutIntoBoxes(std::vector<Bin>& bins) {
  Moments all;
  for (const Bin& bin : bins) all.Add(bin.moments);
  std::vector<Box> boxes{MakeBox(0, bins.size(), all)};
  boxes.reserve(kMaxPaletteSize);
  while (boxes.size() < kMaxPaletteSize) {
    Box* worst = nullptr;
    for (Box& box : boxes)
      if (box.splittable && (worst == nullptr || box.error > worst->error)) worst = &box;
    if (worst == nullptr) break;
    const auto first = bins.begin() + static_cast<std::ptrdiff_t>(worst->begin);
    const auto last = bins.begin() + static_cast<std::ptrdiff_t>(worst->end);
    const Cut cut = BestCut({first, last}, worst->moments);
    if (cut.axis < 0) {
      worst->splittable = false;
      continue;
    }
    const auto middle =
        std::partition(first, last, [&cut](const Bin& bin) { return bin.level[cut.axis] < cut.level; });
    const auto split = static_cast<std::size_t>(middle - bins.begin());
    const Box upper = MakeBox(split, worst->end, worst->moments.Without(cut.lower));
    *worst = MakeBox(worst->begin, split, cut.lower);
    boxes.push_back(upper);
  }
  return boxes;
}

// The colour cube in blocks of 32 levels a side, each with the entries that
// can be nearest to a colour inside it: an entry nearest to a colour is no
// farther from its block than the block's farthest corner is from the entry
// that has the nearest farthest corner. A block's list is made when a colour
// first needs it.
class NearestEntry {
 public:
  explicit NearestEntry(const std::vector<PixelValue>& palette) : palette_(palette) {}

  [[nodiscard]] std::uint8_t Find(PixelValue colour) {
    const std::array<int, 3> value{Red(colour), Green(colour), Blue(colour)};
    const int block = (value[0] >> 5) << 6 | (value[1] >> 5) << 3 | value[2] >> 5;
    if (!listed_[block]) List(block);
    int best = std::numeric_limits<int>::max();
    std::uint8_t index = 0;
    for (std::uint32_t i = first_[block]; i < first_[block] + count_[block]; ++i) {
      const Entry& e = entries_[i];
      const int distance =
          Squared(e.value[0] - value[0]) + Squared(e.value[1] - value[1]) + Squared(e.value[2] - value[2]);
      if (distance < best) {
        best = distance;
        index = e.index;
      }
    }
    return index;
  }

 private:
  static constexpr int kBlockSide = 32;
  static constexpr int kBlocks = 8 * 8 * 8;
  struct Entry {
    std::array<int, 3> value;
    std::uint8_t index;
  };
  static int Squared(int d) { return d * d; }

  // The squared distance from `p` to the nearest or the farthest colour of
  // the block that starts at `low`.
  static int Reach(PixelValue p, const std::array<int, 3>& low, bool farthest) {
    const std::array<int, 3> value{Red(p), Green(p), Blue(p)};
    int sum = 0;
    for (int c = 0; c < 3; ++c) {
      const int high = low[c] + kBlockSide - 1;
      sum += Squared(farthest ? std::max(value[c] - low[c], high - value[c])
                              : std::max({low[c] - value[c], value[c] - high, 0}));
    }
    return sum;
  }

  void List(int block) {
    const std::array<int, 3> low{(block >> 6) * kBlockSide, (block >> 3 & 7) * kBlockSide,
                                 (block & 7) * kBlockSide};
    int bound = std::numeric_limits<int>::max();
    for (const PixelValue p : palette_) bound = std::min(bound, Reach(p, low, true));
    first_[block] = static_cast<std::uint32_t>(entries_.size());
    for (std::size_t i = 0; i < palette_.size(); ++i)
      if (Reach(palette_[i], low, false) <= bound)
        entries_.push_back(
            {{Red(palette_[i]), Green(palette_[i]), Blue(palette_[i])}, static_cast<std::uint8_t>(i)});
    count_[block] = static_cast<std::uint32_t>(entries_.size()) - first_[block];
    listed_[block] = true;
  }

  const std::vector<PixelValue>& palette_;
  std::vector<Entry> entries_;
  std::array<std::uint32_t, kBlocks> first_{};
  std::array<std::uint32_t, kBlocks> count_{};
  std::array<bool, kBlocks> listed_{};
};

void ChooseColours(std::span<const PixelValue> pixels, IndexedPixels& out) {
  std::vector<Bin> bins = Histogram(pixels);
  const std::vector<Box> boxes = CutIntoBoxes(bins);
  out.palette.clear();
  for (const Box& box : boxes) out.palette.push_back(box.moments.Mean());

  // Each cell's pixels take the entry nearest to their mean: one search per
  // cell, not per pixel.
  NearestEntry nearest(out.palette);
  std::vector<std::uint8_t> entryOfCell(kCells);
  for (const Bin& bin : bins) entryOfCell[bin.cell] = nearest.Find(bin.moments.Mean());
  for (std::size_t i = 0; i < pixels.size(); ++i) out.indices[i] = entryOfCell[CellOf(pixels[i])];
}

}  // namespace

IndexedPixels QuantizeToPalette(const Pixmap& picture) {
  IndexedPixels out;
  if (picture.Empty() || picture.Data().size() > kMaxQuantizedPixels) return out;
  out.width = picture.Width();
  out.height = picture.Height();
  out.indices.resize(picture.Data().size());
  out.exact = TakeExactColours(picture.Data(), out);
  if (!out.exact) ChooseColours(picture.Data(), out);
  return out;
}

}  // namespace tw
