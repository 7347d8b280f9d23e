// The save dialog port against the real dialogs, the classic one and the
// common item dialog: the dialog runs modally on the test's thread while a
// second thread drives it with the end-to-end driver, message by message, as
// a user would.
#include "imaging/win32/save_dialog_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>
#include <objbase.h>

#include <chrono>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/error.h"
#include "e2e/save_dialog_driver_win32.h"
#include "tools/screenshot/save_dialog.h"
#include "platform/win32/application_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/utf.h"

namespace tw::win32 {
namespace {

using namespace std::chrono_literals;

// Every wait of a case ends by then: two test processes share two cores.
constexpr std::chrono::milliseconds kLimit = 10s;

constexpr char kImageFilter[] =
    "GIF Image (*.gif)|*.gif|PNG Image (*.png)|*.png|JPEG Image (*.jpg)|*.jpg|BMP Image (*.bmp)|*.bmp|"
    "TIFF Image (*.tif)|*.tif";

// What the user does in the open dialog; false, with the reason, when a step
// fails.
using Script = std::function<bool(HWND dialog, std::string* error)>;

std::string StyleName(SaveDialogStyle style) { return style == SaveDialogStyle::Classic ? "Classic" : "ItemDialog"; }

// A folder of the case's own for the files it names, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    // The dialogs hand back long names.
    wchar_t full[MAX_PATH] = L"";
    if (GetLongPathNameW(temp, full, MAX_PATH) == 0) wcscpy_s(full, temp);
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name = Widen(test != nullptr ? test->name() : "case");
    for (wchar_t& c : name) {
      if (c == L'/') c = L'-';  // "Case/Classic"
    }
    path_ = std::wstring(full) + L"tarnwick-" + name + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~ScratchFolder() { RemoveTree(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  [[nodiscard]] std::wstring Path(const std::wstring& name) const { return path_ + name; }
  [[nodiscard]] std::string Utf8(const std::wstring& name) const { return Narrow(Path(name)); }

  static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
          RemoveTree(folder + name + L"\\");
        else
          DeleteFileW((folder + name).c_str());
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }

 private:
  std::wstring path_;
};

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::wstring& path, const std::string& content) {
  const UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
}

std::string ReadFile(const std::wstring& path) {
  const UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return "(missing)";
  char buffer[256];
  DWORD read = 0;
  if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return "(unreadable)";
  return std::string(buffer, read);
}

// The visible dialogs of this process, for closing whatever a failed case
// left open: the test's thread sits in it.
std::vector<HWND> OpenDialogs() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        wchar_t name[16] = L"";
        GetClassNameW(window, name, 16);
        if (pid == GetCurrentProcessId() && IsWindowVisible(window) && std::wstring(name) == L"#32770")
          reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Answers No to prompts and cancels dialogs until `done` is set or the limit
// has passed.
void CloseWhatIsOpen(HANDLE done) {
  const ULONGLONG end = GetTickCount64() + kLimit.count();
  while (WaitForSingleObject(done, 100) == WAIT_TIMEOUT && GetTickCount64() < end) {
    for (const HWND dialog : OpenDialogs()) {
      if (const HWND no = GetDlgItem(dialog, IDNO))
        PostMessageW(no, BM_CLICK, 0, 0);
      else
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  }
}

// Runs `show` (which opens a dialog modally) on this thread while `script`
// drives the dialog from a second one; fails the case, and closes the
// dialog, when the script fails or leaves the dialog open.
std::optional<SaveDialogResult> Drive(const std::function<std::optional<SaveDialogResult>()>& show, HWND owner,
                                      const Script& script) {
  const UniqueKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::string failure;
  std::thread user([&] {
    const HWND dialog = e2e::FindSaveDialog(GetCurrentProcessId(), kLimit, owner);
    if (dialog == nullptr)
      failure = "no save dialog opened";
    else if (!script(dialog, &failure) && failure.empty())
      failure = "a step failed";
    else if (failure.empty() && WaitForSingleObject(done.get(), static_cast<DWORD>(kLimit.count())) != WAIT_OBJECT_0)
      failure = "the dialog stayed open after the last step";
    if (!failure.empty()) CloseWhatIsOpen(done.get());
  });
  std::optional<SaveDialogResult> result;
  std::exception_ptr thrown;
  try {
    result = show();
  } catch (...) {
    thrown = std::current_exception();
  }
  SetEvent(done.get());
  user.join();
  EXPECT_EQ(failure, "");
  if (thrown) std::rethrow_exception(thrown);
  return result;
}

// The port between TSaveDialog and the dialog: what each opening was asked,
// and the type changes it reported.
class RecordingPort final : public ISaveDialogPort {
 public:
  explicit RecordingPort(ISaveDialogPort& inner) : inner_(inner) {}
  std::optional<SaveDialogResult> Execute(const SaveDialogRequest& request,
                                          const std::function<void(int)>& onTypeChange) override {
    requests.push_back(request);
    return inner_.Execute(request, [&](int index) {
      typeChanges.push_back(index);
      onTypeChange(index);
    });
  }

  std::vector<SaveDialogRequest> requests;
  std::vector<int> typeChanges;

 private:
  ISaveDialogPort& inner_;
};

class SaveDialogWin32 : public ::testing::TestWithParam<SaveDialogStyle> {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { CoUninitialize(); }

  static SaveDialogRequest ImageRequest() {
    SaveDialogRequest request;
    request.fileTypes = ParseFilter(kImageFilter);
    request.fileTypeIndex = 2;
    request.defaultExt = "png";
    return request;
  }

  std::optional<SaveDialogResult> Open(const SaveDialogRequest& request, const Script& script,
                                       std::vector<int>* typeChanges = nullptr) {
    return Drive(
        [&] {
          return port.Execute(request, [typeChanges](int index) {
            if (typeChanges != nullptr) typeChanges->push_back(index);
          });
        },
        app.Window(), script);
  }
  std::optional<SaveDialogResult> Open(TSaveDialog& dialog, ISaveDialogPort& through, const Script& script) {
    return Drive([&] { return dialog.Execute(through); }, app.Window(), script);
  }

  [[nodiscard]] bool ItemDialog() const { return GetParam() == SaveDialogStyle::ItemDialog; }

  ApplicationPort app{GetModuleHandleW(nullptr)};
  SaveDialogPort port{[this] { return app.Window(); }, GetParam()};
  ScratchFolder folder;
};

TEST_P(SaveDialogWin32, ATypedNameComesBackAsTheDialogCompletesIt) {
  const struct {
    const char* name;
    int pick;  // 0: none
    const wchar_t* typed;
    const wchar_t* saved;
    int savedType;
    bool itemDialogToo;
  } cases[] = {
      {"a bare name gets the default extension", 0, L"shot", L"shot.png", 2, true},
      {"a bare name gets the picked type's", 4, L"shot", L"shot.bmp", 4, true},
      // The format follows the type, the name stays the user's. Wine's item
      // dialog makes these "shot.png.jpg" and "shot.xyz.png", which is why
      // the program shows the classic dialog.
      {"a typed extension stays under another type", 3, L"shot.png", L"shot.png", 3, false},
      {"an extension of no type stays", 0, L"shot.xyz", L"shot.xyz", 2, false},
  };
  for (const auto& c : cases) {
    if (ItemDialog() && !c.itemDialogToo) continue;
    SCOPED_TRACE(c.name);
    std::vector<int> typeChanges;
    const auto result = Open(
        ImageRequest(),
        [&](HWND d, std::string* e) {
          return (c.pick == 0 || e2e::ChooseSaveDialogFileType(d, c.pick, e)) &&
                 e2e::SetSaveDialogFileName(d, folder.Path(c.typed), e) && e2e::PressSaveDialogSave(d, e);
        },
        &typeChanges);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->fileName, folder.Utf8(c.saved));
    EXPECT_EQ(result->fileTypeIndex, c.savedType);
    EXPECT_EQ(typeChanges, c.pick == 0 ? std::vector<int>{} : std::vector<int>{c.pick});
    EXPECT_FALSE(FileExists(folder.Path(c.saved))) << "the dialog only names the file";
  }
}

// What only the classic dialog, the one the program shows, can be asked:
// Wine's item dialog completes no name under "*.*" and takes a name of any
// length.
class ClassicSaveDialogWin32 : public SaveDialogWin32 {};

TEST_P(ClassicSaveDialogWin32, TheDefaultExtensionReachesTheDialogWithoutItsPeriod) {
  // Under a type that names no extension only the default one can complete
  // the name ("shot..tif" if the period went along).
  SaveDialogRequest request;
  request.fileTypes = {{"PNG Image (*.png)", "*.png"}, {"All files (*.*)", "*.*"}};
  request.fileTypeIndex = 2;
  request.defaultExt = ".tif";
  const auto result = Open(request, [&](HWND d, std::string* e) {
    return e2e::SetSaveDialogFileName(d, folder.Path(L"shot"), e) && e2e::PressSaveDialogSave(d, e);
  });
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->fileName, folder.Utf8(L"shot.tif"));
  EXPECT_EQ(result->fileTypeIndex, 2);
}

TEST_P(SaveDialogWin32, CancelGivesNothing) {
  std::vector<int> typeChanges;
  const auto result = Open(
      ImageRequest(),
      [&](HWND d, std::string* e) {
        return e2e::SetSaveDialogFileName(d, folder.Path(L"shot.png"), e) && e2e::PressSaveDialogCancel(d, e);
      },
      &typeChanges);
  EXPECT_FALSE(result.has_value());
  EXPECT_TRUE(typeChanges.empty());
  EXPECT_FALSE(FileExists(folder.Path(L"shot.png")));
}

TEST_P(SaveDialogWin32, ATypeChangeSetsTheNextOpeningsDefaultExtensionAlsoAfterCancel) {
  TSaveDialog dialog;
  RecordingPort recording(port);
  int shownFirst = 0;
  // The type already shown is no change; the item dialog also reports it
  // as it opens.
  const auto first = Open(dialog, recording, [&](HWND d, std::string* e) {
    shownFirst = e2e::SaveDialogFileType(d);
    return e2e::ChooseSaveDialogFileType(d, 2, e) && e2e::ChooseSaveDialogFileType(d, 3, e) &&
           e2e::ChooseSaveDialogFileType(d, 5, e) && e2e::PressSaveDialogCancel(d, e);
  });
  EXPECT_FALSE(first.has_value());
  EXPECT_EQ(shownFirst, 2);
  EXPECT_EQ(recording.typeChanges, (std::vector<int>{3, 5}));
  EXPECT_EQ(dialog.DefaultExt, ".tif");
  EXPECT_EQ(dialog.FilterIndex, 2) << "a cancelled pick is not kept as the type";
  EXPECT_EQ(dialog.FileName, "");

  int shownSecond = 0;
  const auto second = Open(dialog, recording, [&](HWND d, std::string* e) {
    shownSecond = e2e::SaveDialogFileType(d);
    return e2e::PressSaveDialogCancel(d, e);
  });
  EXPECT_FALSE(second.has_value());
  ASSERT_EQ(recording.requests.size(), 2U);
  EXPECT_EQ(recording.requests[1].defaultExt, ".tif");
  EXPECT_EQ(recording.requests[1].fileTypeIndex, 2);
  EXPECT_EQ(shownSecond, 2);
  EXPECT_EQ(recording.typeChanges, (std::vector<int>{3, 5})) << "opening is no type change";
}

TEST_P(SaveDialogWin32, TheKeptNameIsOfferedAtTheNextOpening) {
  const struct {
    const char* name;
    bool folderRemoved;
  } cases[] = {
      {"its folder still there", false},
      {"its folder gone", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring keptFolder = folder.Path(L"kept\\");
    ASSERT_TRUE(CreateDirectoryW(keptFolder.c_str(), nullptr));
    const std::wstring kept = keptFolder + L"kept.bmp";
    TSaveDialog dialog;
    const auto saved = Open(dialog, port, [&](HWND d, std::string* e) {
      return e2e::ChooseSaveDialogFileType(d, 4, e) && e2e::SetSaveDialogFileName(d, kept, e) &&
             e2e::PressSaveDialogSave(d, e);
    });
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(*saved, (SaveDialogResult{Narrow(kept), 4}));
    EXPECT_EQ(dialog.FileName, Narrow(kept));
    EXPECT_EQ(dialog.FilterIndex, 4);
    if (c.folderRemoved) {
      ASSERT_TRUE(RemoveDirectoryW(keptFolder.c_str()));
    }

    std::optional<std::wstring> offered;
    int shownType = 0;
    const auto again = Open(dialog, port, [&](HWND d, std::string* e) {
      offered = e2e::SaveDialogFileName(d);
      shownType = e2e::SaveDialogFileType(d);
      // Saved straight away, the offered name lands where it was kept.
      return c.folderRemoved ? e2e::PressSaveDialogCancel(d, e) : e2e::PressSaveDialogSave(d, e);
    });
    EXPECT_EQ(offered.value_or(L"(no field)"), L"kept.bmp");
    EXPECT_EQ(shownType, 4);
    if (c.folderRemoved) {
      EXPECT_FALSE(again.has_value());
    } else {
      ASSERT_TRUE(again.has_value());
      EXPECT_EQ(*again, (SaveDialogResult{Narrow(kept), 4}));
    }
    ScratchFolder::RemoveTree(keptFolder);
  }
}

TEST_P(SaveDialogWin32, AnExistingFileIsAskedAbout) {
  const struct {
    const char* name;
    bool overwritePrompt;
    std::vector<bool> answers;  // true: Yes
    bool saved;
  } cases[] = {
      {"Yes confirms", true, {true}, true},
      {"No goes back to the dialog", true, {false}, false},
      {"No, then Save again and Yes", true, {false, true}, true},
      {"without the option nobody asks", false, {}, true},
  };
  const std::wstring there = folder.Path(L"there.png");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(WriteFile(there, "old"));
    SaveDialogRequest request = ImageRequest();
    request.overwritePrompt = c.overwritePrompt;
    std::vector<std::vector<std::wstring>> promptButtons;
    const auto result = Open(request, [&](HWND d, std::string* e) {
      if (!e2e::SetSaveDialogFileName(d, there, e) || !e2e::PressSaveDialogSave(d, e)) return false;
      for (std::size_t i = 0; i < c.answers.size(); ++i) {
        const auto prompt = e2e::FindOverwritePrompt(d, kLimit);
        if (!prompt) {
          *e = "no overwrite prompt";
          return false;
        }
        promptButtons.push_back(prompt->buttons);
        if (!e2e::AnswerOverwritePrompt(*prompt, c.answers[i], kLimit, e)) return false;
        if (c.answers[i]) {
          if (e2e::WaitForSaveDialogClosed(d, kLimit)) return true;
          *e = "the dialog stayed open after Yes";
          return false;
        }
        // Back in the dialog, which takes the next press.
        if (!e2e::SaveDialogOpen(d)) {
          *e = "the dialog closed after No";
          return false;
        }
        if (i + 1 < c.answers.size() && !e2e::PressSaveDialogSave(d, e)) return false;
      }
      return c.saved || e2e::PressSaveDialogCancel(d, e);
    });
    EXPECT_EQ(result.has_value(), c.saved);
    if (result) {
      EXPECT_EQ(*result, (SaveDialogResult{Narrow(there), 2}));
    }
    EXPECT_EQ(promptButtons,
              std::vector<std::vector<std::wstring>>(c.answers.size(), std::vector<std::wstring>{L"&Yes", L"&No"}));
    EXPECT_EQ(ReadFile(there), "old") << "the dialog only asks";
  }
}

TEST_P(SaveDialogWin32, WhatTheTypeChangeHandlerThrowsComesOutOnceTheDialogHasClosed) {
  int calls = 0;
  HWND seen = nullptr;
  try {
    Drive(
        [&] {
          return port.Execute(ImageRequest(), [&](int) {
            ++calls;
            throw Error("no such type");
          });
        },
        app.Window(),
        [&](HWND d, std::string* e) {
          seen = d;
          // The dialog goes on after the failed handler.
          return e2e::ChooseSaveDialogFileType(d, 3, e) && e2e::ChooseSaveDialogFileType(d, 4, e) &&
                 e2e::SetSaveDialogFileName(d, folder.Path(L"shot"), e) && e2e::PressSaveDialogSave(d, e);
        });
    ADD_FAILURE() << "nothing was thrown";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "no such type");
  }
  EXPECT_EQ(calls, 1) << "a handler that failed is not called again";
  EXPECT_FALSE(IsWindow(seen));
}

TEST_P(ClassicSaveDialogWin32, AKeptNameLongerThanTheNameBufferIsAnError) {
  SaveDialogRequest request = ImageRequest();
  request.fileName = folder.Utf8(std::wstring(40000, L'a') + L".png");
  // A dialog that opened all the same is cancelled, so that the case fails
  // instead of waiting in it.
  bool opened = false;
  std::thread user([&] {
    const HWND dialog = e2e::FindSaveDialog(GetCurrentProcessId(), 1s, app.Window());
    opened = dialog != nullptr;
    if (opened) e2e::PressSaveDialogCancel(dialog, nullptr);
  });
  try {
    port.Execute(request, {});
    ADD_FAILURE() << "nothing was thrown";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "The file name is too long for the save dialog.");
  }
  user.join();
  EXPECT_FALSE(opened);
}

INSTANTIATE_TEST_SUITE_P(Styles, SaveDialogWin32,
                         ::testing::Values(SaveDialogStyle::Classic, SaveDialogStyle::ItemDialog),
                         [](const ::testing::TestParamInfo<SaveDialogStyle>& style) { return StyleName(style.param); });
INSTANTIATE_TEST_SUITE_P(Styles, ClassicSaveDialogWin32, ::testing::Values(SaveDialogStyle::Classic),
                         [](const ::testing::TestParamInfo<SaveDialogStyle>& style) { return StyleName(style.param); });

// The item dialog needs COM on the thread that shows it; without it the
// classic dialog (with its folder list, cmb2) comes instead of failing.
TEST(SaveDialogWin32Fallback, WithoutComTheClassicDialogShows) {
  const struct {
    const char* name;
    SaveDialogStyle style;
    bool com;
    bool classic;
  } cases[] = {
      {"the item dialog with COM", SaveDialogStyle::ItemDialog, true, false},
      {"the item dialog without COM", SaveDialogStyle::ItemDialog, false, true},
      {"the classic dialog with COM", SaveDialogStyle::Classic, true, true},
  };
  ScratchFolder folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SaveDialogPort port([] { return HWND{nullptr}; }, c.style);
    SaveDialogRequest request;
    request.fileTypes = ParseFilter(kImageFilter);
    request.fileTypeIndex = 2;
    request.defaultExt = "png";
    const UniqueKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::optional<SaveDialogResult> result;
    std::string thrown;
    std::thread shower([&] {
      const bool com = c.com && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
      try {
        result = port.Execute(request, {});
      } catch (const std::exception& error) {
        thrown = error.what();
      }
      if (com) CoUninitialize();
      SetEvent(done.get());
    });
    const HWND dialog = e2e::FindSaveDialog(GetCurrentProcessId(), kLimit);
    const bool classic = dialog != nullptr && GetDlgItem(dialog, cmb2) != nullptr;
    std::string error;
    const bool driven = dialog != nullptr && e2e::SetSaveDialogFileName(dialog, folder.Path(L"shot"), &error) &&
                        e2e::PressSaveDialogSave(dialog, &error) &&
                        WaitForSingleObject(done.get(), static_cast<DWORD>(kLimit.count())) == WAIT_OBJECT_0;
    if (!driven) CloseWhatIsOpen(done.get());
    shower.join();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(driven) << error;
    EXPECT_EQ(classic, c.classic);
    EXPECT_EQ(thrown, "");
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->fileName, folder.Utf8(L"shot.png"));
  }
}

}  // namespace
}  // namespace tw::win32
