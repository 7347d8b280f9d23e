// The clipboard's ownership rule, in one place for every format: data
// handed to the clipboard belongs to it once it has taken it; until then,
// and whenever it refuses, the data is ours to free.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace tw {

// The raw clipboard calls, in the program's terms.
class IClipboardApi {
 public:
  using Data = std::uintptr_t;
  virtual ~IClipboardApi() = default;
  virtual bool Open() = 0;  // false while another program holds it open
  virtual void Empty() = 0;
  virtual bool SetData(unsigned format, Data data) = 0;  // true: taken
  virtual void Close() = 0;
  virtual void Free(unsigned format, Data data) = 0;
};

// Replaces the clipboard's contents with `data` in `format`. Throws
// tw::Error("Cannot open clipboard") or ("Cannot set the clipboard data");
// `data` is freed here unless the clipboard took it.
void HandOverToClipboard(IClipboardApi& api, unsigned format, IClipboardApi::Data data);

// Clipboard managers open the clipboard for a few milliseconds whenever it
// changes; a copy that meets such a moment asks again, in short steps, for
// about a quarter of a second in all before it says it cannot.
inline constexpr std::chrono::milliseconds kClipboardRetryStep{15};
inline constexpr std::chrono::milliseconds kClipboardRetryBound{250};

// Calls `open` until it succeeds, with `pause(kClipboardRetryStep)` between
// two calls, as long as the pauses add up to no more than the bound. Returns
// whether it opened.
bool OpenClipboardPatiently(const std::function<bool()>& open,
                            const std::function<void(std::chrono::milliseconds)>& pause);

}  // namespace tw
