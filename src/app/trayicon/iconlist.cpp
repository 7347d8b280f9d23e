#include "app/trayicon/iconlist.h"

#include <string>

#include "core/error.h"

namespace tw {

namespace {

class StreamReader {
 public:
  explicit StreamReader(std::span<const std::uint8_t> data) : data_(data) {}

  [[nodiscard]] std::size_t Left() const { return data_.size() - pos_; }
  [[nodiscard]] std::size_t Position() const { return pos_; }

  std::int32_t ReadInt32(const std::string& what) {
    if (Left() < 4)
      throw Error("Icon list stream is truncated: " + what + " needs 4 bytes, " +
                  std::to_string(Left()) + " left");
    const auto b = data_.subspan(pos_, 4);
    pos_ += 4;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) |
                                     (static_cast<std::uint32_t>(b[1]) << 8) |
                                     (static_cast<std::uint32_t>(b[2]) << 16) |
                                     (static_cast<std::uint32_t>(b[3]) << 24));
  }

  std::span<const std::uint8_t> ReadBytes(std::size_t count, const std::string& what) {
    if (Left() < count)
      throw Error("Icon list stream is truncated: " + what + " needs " + std::to_string(count) +
                  " bytes, " + std::to_string(Left()) + " left");
    const auto b = data_.subspan(pos_, count);
    pos_ += count;
    return b;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

void AppendInt32(std::vector<std::uint8_t>& out, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(u >> shift));
}

}  // namespace

void TIconList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw Error("List index out of bounds (" + std::to_string(index) + ")");
}

const TIcon& TIconList::Item(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)];
}

void TIconList::SetItem(int index, const TIcon& icon) {
  CheckIndex(index);
  items_[static_cast<std::size_t>(index)] = icon;
  Changed();
}

void TIconList::Add(const TIcon& icon) {
  items_.push_back(icon);
  Changed();
}

void TIconList::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
  Changed();
}

void TIconList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TIconList::Assign(const TIconList& source) {
  if (&source == this) return;
  BeginUpdate();
  items_ = source.items_;
  changePending_ = true;
  EndUpdate();
}

void TIconList::EndUpdate() {
  if (updateDepth_ == 0) return;
  if (--updateDepth_ == 0 && changePending_) Changed();
}

void TIconList::Changed() {
  if (updateDepth_ > 0) {
    changePending_ = true;
    return;
  }
  changePending_ = false;
  if (OnChange) OnChange();
}

std::size_t TIconList::LoadFromStream(std::span<const std::uint8_t> stream) {
  StreamReader reader(stream);
  const std::int32_t count = reader.ReadInt32("the entry count");
  if (count < 0) throw Error("Icon list stream has a negative entry count (" + std::to_string(count) + ")");
  // Every entry takes at least its size field: a count that cannot fit is
  // rejected before anything is allocated for it.
  if (static_cast<std::uint64_t>(count) * 4 > reader.Left())
    throw Error("Icon list stream is truncated: " + std::to_string(count) + " entries need at least " +
                std::to_string(static_cast<std::uint64_t>(count) * 4) + " bytes, " +
                std::to_string(reader.Left()) + " left");

  std::vector<TIcon> loaded;
  loaded.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string entry = "entry " + std::to_string(i);
    const std::int32_t size = reader.ReadInt32("the size of " + entry);
    if (size <= 0) {
      loaded.emplace_back();
      continue;
    }
    const auto bytes = reader.ReadBytes(static_cast<std::size_t>(size), entry);
    if (IcoImageCount(bytes) == 0) throw Error("Icon list stream: " + entry + " is not a valid icon");
    loaded.emplace_back(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }

  items_ = std::move(loaded);
  Changed();
  return reader.Position();
}

std::vector<std::uint8_t> TIconList::SaveToStream() const {
  std::vector<std::uint8_t> out;
  AppendInt32(out, Count());
  for (const TIcon& icon : items_) {
    AppendInt32(out, static_cast<std::int32_t>(icon.Bytes().size()));
    out.insert(out.end(), icon.Bytes().begin(), icon.Bytes().end());
  }
  return out;
}

}  // namespace tw
