// The pictures of a tray icon: an ordered list of icons (an entry may be
// empty) that tells its owner after every change, and its stored form.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "app/trayicon/icon.h"

namespace tw {

class TIconList {
 public:
  TIconList() = default;
  // The owner's change handler must not travel with a copy: use Assign.
  TIconList(const TIconList&) = delete;
  TIconList& operator=(const TIconList&) = delete;

  // Runs after every change, or once at the outermost EndUpdate.
  std::function<void()> OnChange;

  [[nodiscard]] int Count() const { return static_cast<int>(items_.size()); }
  // Raise tw::Error for an index outside 0 .. Count() - 1.
  [[nodiscard]] const TIcon& Item(int index) const;
  const TIcon& operator[](int index) const { return Item(index); }
  void SetItem(int index, const TIcon& icon);

  void Add(const TIcon& icon);
  void Delete(int index);
  void Clear();
  // Clear, then a copy of each entry of `source`; one notification.
  void Assign(const TIconList& source);

  void BeginUpdate() { ++updateDepth_; }
  void EndUpdate();

  // Stored form: count (32-bit LE signed), then per entry its size (32-bit
  // LE signed) and, if the size is above 0, that many bytes of one .ico
  // file; a size of 0 or less is an empty entry. A malformed stream raises
  // tw::Error and leaves the list as it was. Returns the bytes read, so a
  // caller can go on with whatever follows the list.
  std::size_t LoadFromStream(std::span<const std::uint8_t> stream);
  [[nodiscard]] std::vector<std::uint8_t> SaveToStream() const;

 private:
  void CheckIndex(int index) const;
  void Changed();

  std::vector<TIcon> items_;
  int updateDepth_ = 0;
  bool changePending_ = false;
};

}  // namespace tw
