#include "platform/clipboard_handoff.h"

#include "core/error.h"

namespace tw {

namespace {

class OwnedData {
 public:
  OwnedData(IClipboardApi& api, unsigned format, IClipboardApi::Data data)
      : api_(api), format_(format), data_(data) {}
  ~OwnedData() {
    if (data_ != 0) api_.Free(format_, data_);
  }
  OwnedData(const OwnedData&) = delete;
  OwnedData& operator=(const OwnedData&) = delete;
  [[nodiscard]] IClipboardApi::Data get() const { return data_; }
  void release() { data_ = 0; }

 private:
  IClipboardApi& api_;
  unsigned format_;
  IClipboardApi::Data data_;
};

class OpenedClipboard {
 public:
  explicit OpenedClipboard(IClipboardApi& api) : api_(api) {
    if (!api_.Open()) throw Error("Cannot open clipboard");
  }
  ~OpenedClipboard() { api_.Close(); }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;

 private:
  IClipboardApi& api_;
};

}  // namespace

void HandOverToClipboard(IClipboardApi& api, unsigned format, IClipboardApi::Data data) {
  OwnedData owned(api, format, data);
  OpenedClipboard clipboard(api);
  api.Empty();
  if (!api.SetData(format, owned.get())) throw Error("Cannot set the clipboard data");
  // Freeing it now would pull it from under the clipboard (Wine copies it
  // at once and would not notice; Windows does not).
  owned.release();
}

bool OpenClipboardPatiently(const std::function<bool()>& open,
                            const std::function<void(std::chrono::milliseconds)>& pause) {
  for (auto waited = std::chrono::milliseconds::zero();; waited += kClipboardRetryStep) {
    if (open()) return true;
    if (waited + kClipboardRetryStep > kClipboardRetryBound) return false;
    pause(kClipboardRetryStep);
  }
}

}  // namespace tw
