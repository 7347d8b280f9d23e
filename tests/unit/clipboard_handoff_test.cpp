// The clipboard's ownership rule: what the clipboard took is never freed
// here; what it did not take always is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "platform/clipboard_handoff.h"

namespace tw {
namespace {

class FakeClipboardApi final : public IClipboardApi {
 public:
  bool Open() override { return Note("open", opens); }
  void Empty() override { calls.push_back("empty"); }
  bool SetData(unsigned format, Data data) override {
    return Note("set " + std::to_string(format) + " " + std::to_string(data), takes);
  }
  void Close() override { calls.push_back("close"); }
  void Free(unsigned format, Data data) override {
    calls.push_back("free " + std::to_string(format) + " " + std::to_string(data));
  }
  bool opens = true;
  bool takes = true;
  std::vector<std::string> calls;

 private:
  bool Note(const std::string& call, bool result) {
    calls.push_back(call);
    return result;
  }
};

TEST(ClipboardHandoff, TheDataIsFreedExactlyWhenTheClipboardDidNotTakeIt) {
  struct Case {
    bool opens, takes;
    const char* error;  // nullptr: no error
    std::vector<std::string> calls;
  } cases[] = {
      {true, true, nullptr, {"open", "empty", "set 2 77", "close"}},
      {true, false, "Cannot set the clipboard data", {"open", "empty", "set 2 77", "close", "free 2 77"}},
      {false, true, "Cannot open clipboard", {"open", "free 2 77"}},
  };
  for (const Case& c : cases) {
    FakeClipboardApi api;
    api.opens = c.opens;
    api.takes = c.takes;
    std::string error;
    try {
      HandOverToClipboard(api, 2, 77);
    } catch (const Error& e) {
      error = e.what();
    }
    EXPECT_EQ(error, c.error == nullptr ? "" : c.error);
    EXPECT_EQ(api.calls, c.calls);
  }
}

// A clipboard manager holds the clipboard for a moment: the copy asks again,
// for about a quarter of a second in all.
TEST(ClipboardHandoff, AHeldClipboardIsAskedAgainWithinTheBound) {
  const struct { int freeAtTry, tries; } cases[] = {{1, 1}, {17, 17}, {0, 17}};  // 0: held all along
  for (const auto& c : cases) {
    int tries = 0;
    std::chrono::milliseconds waited{0};
    EXPECT_EQ(OpenClipboardPatiently([&] { return ++tries == c.freeAtTry; }, [&](auto step) { waited += step; }),
              c.freeAtTry != 0);
    EXPECT_EQ(tries, c.tries);
    EXPECT_EQ(waited, (c.tries - 1) * kClipboardRetryStep);
  }
  EXPECT_GT(17 * kClipboardRetryStep, kClipboardRetryBound);  // the bound is used
}

}  // namespace
}  // namespace tw
