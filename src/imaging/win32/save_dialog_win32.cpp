#include "imaging/win32/save_dialog_win32.h"

#include <windows.h>

#include <commdlg.h>
#include <shobjidl.h>

#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "core/error.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

namespace {

// CLSID_FileSaveDialog, written out so that no import library of GUIDs is
// needed for this one value.
constexpr CLSID kFileSaveDialog = {0xc0b4e2f3, 0xba21, 0x4773, {0x8d, 0xba, 0x33, 0x5e, 0xc9, 0x46, 0xeb, 0x8b}};

// A string the shell allocated for us.
class CoTaskString {
 public:
  CoTaskString() = default;
  ~CoTaskString() { CoTaskMemFree(p_); }
  CoTaskString(const CoTaskString&) = delete;
  CoTaskString& operator=(const CoTaskString&) = delete;
  wchar_t** Put() { return &p_; }
  [[nodiscard]] const wchar_t* Get() const { return p_ != nullptr ? p_ : L""; }

 private:
  wchar_t* p_ = nullptr;
};

std::string HexCode(unsigned long code, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*lX", digits, code);
  return text;
}

void Check(HRESULT hr, const char* call) {
  if (FAILED(hr))
    throw Error(std::string("The save dialog failed: ") + call + " returned " +
                HexCode(static_cast<unsigned long>(hr), 8) + ".");
}

// The dialogs want the extension without its period; after a type change the
// program's own holds one (".gif").
std::wstring DialogExtension(const std::string& defaultExt) {
  std::string_view ext = defaultExt;
  if (!ext.empty() && ext.front() == '.') ext.remove_prefix(1);
  return Widen(ext);
}

// A type index the dialog can show: the request's if it names a type, else
// the first.
UINT ShownTypeIndex(const SaveDialogRequest& request) {
  const int count = static_cast<int>(request.fileTypes.size());
  return request.fileTypeIndex >= 1 && request.fileTypeIndex <= count ? static_cast<UINT>(request.fileTypeIndex)
                                                                      : 1U;
}

// Hands the user's type picks to the program. The item dialog also reports
// the type it opens on, which nobody picked, and a report of the type already
// shown is no pick either. What the program's handler throws cannot pass
// through the dialog's own code: it is kept and thrown once the dialog is
// closed.
class TypeChangeRelay {
 public:
  TypeChangeRelay(int shown, const std::function<void(int)>& forward) : shown_(shown), forward_(forward) {}

  void Report(int index) noexcept {
    if (index == shown_ || failure_) return;
    shown_ = index;
    try {
      if (forward_) forward_(index);
    } catch (...) {
      failure_ = std::current_exception();
    }
  }
  void Reset(int shown) { shown_ = shown; }
  void RethrowFailure() const {
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  int shown_;
  const std::function<void(int)>& forward_;
  std::exception_ptr failure_;
};

// --- the common item dialog ------------------------------------------------

class DialogEvents final : public IFileDialogEvents {
 public:
  explicit DialogEvents(TypeChangeRelay* relay) : relay_(relay) {}

  // The dialog may keep its reference a little longer than the showing; what
  // it reports then goes nowhere.
  void Detach() { relay_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IFileDialogEvents))) {
      *out = static_cast<IFileDialogEvents*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*,
                                             FDE_SHAREVIOLATION_RESPONSE* response) override {
    if (response != nullptr) *response = FDESVR_DEFAULT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog* dialog) override {
    UINT index = 0;
    if (relay_ != nullptr && dialog != nullptr && SUCCEEDED(dialog->GetFileTypeIndex(&index)))
      relay_->Report(static_cast<int>(index));
    return S_OK;
  }
  // The dialog's own prompt asks.
  HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*, FDE_OVERWRITE_RESPONSE* response) override {
    if (response != nullptr) *response = FDEOR_DEFAULT;
    return S_OK;
  }

 private:
  ~DialogEvents() = default;

  LONG references_ = 1;
  TypeChangeRelay* relay_;
};

// Ends the events' subscription however the showing ends.
class AdviseGuard {
 public:
  AdviseGuard(IFileDialog* dialog, DialogEvents* events, DWORD cookie)
      : dialog_(dialog), events_(events), cookie_(cookie) {}
  ~AdviseGuard() {
    events_->Detach();
    dialog_->Unadvise(cookie_);
  }
  AdviseGuard(const AdviseGuard&) = delete;
  AdviseGuard& operator=(const AdviseGuard&) = delete;

 private:
  IFileDialog* dialog_;
  DialogEvents* events_;
  DWORD cookie_;
};

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The kept file name is offered again as its name in the name field and its
// folder as the folder shown; the folder only while it still exists.
struct OfferedName {
  std::wstring folder;
  std::wstring name;
};

OfferedName SplitKeptName(const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return {std::wstring(), path};
  OfferedName offered{path.substr(0, cut), path.substr(cut + 1)};
  // "C:" alone names the drive's current folder, not its root.
  if (!offered.folder.empty() && offered.folder.back() == L':') offered.folder += L'\\';
  if (!offered.folder.empty() && !IsFolder(offered.folder)) offered.folder.clear();
  return offered;
}

void OfferFileName(IFileDialog* dialog, const std::wstring& path) {
  const OfferedName offered = SplitKeptName(path);
  if (!offered.name.empty()) Check(dialog->SetFileName(offered.name.c_str()), "IFileDialog::SetFileName");
  if (!offered.folder.empty()) {
    ComPtr<IShellItem> item;
    if (SUCCEEDED(
            SHCreateItemFromParsingName(offered.folder.c_str(), nullptr, __uuidof(IShellItem), item.put_void())))
      Check(dialog->SetFolder(item.get()), "IFileDialog::SetFolder");
  }
}

std::optional<SaveDialogResult> ShowItemDialog(IFileSaveDialog* dialog, HWND owner, const SaveDialogRequest& request,
                                               const std::function<void(int)>& onTypeChange) {
  FILEOPENDIALOGOPTIONS options = 0;
  Check(dialog->GetOptions(&options), "IFileDialog::GetOptions");
  // A read-only file may be chosen (the save then reports what the file
  // system says). The item dialog has no read-only box, so there is nothing
  // to hide for the request's hideReadOnly.
  options &= ~static_cast<FILEOPENDIALOGOPTIONS>(FOS_OVERWRITEPROMPT | FOS_PATHMUSTEXIST | FOS_NOREADONLYRETURN);
  options |= FOS_FORCEFILESYSTEM;
  if (request.overwritePrompt) options |= FOS_OVERWRITEPROMPT;
  if (request.pathMustExist) options |= FOS_PATHMUSTEXIST;
  Check(dialog->SetOptions(options), "IFileDialog::SetOptions");

  std::vector<std::wstring> texts;
  std::vector<std::wstring> patterns;
  texts.reserve(request.fileTypes.size());
  patterns.reserve(request.fileTypes.size());
  std::vector<COMDLG_FILTERSPEC> specs;
  for (const FileType& type : request.fileTypes) {
    texts.push_back(Widen(type.text));
    patterns.push_back(Widen(type.pattern));
    specs.push_back({texts.back().c_str(), patterns.back().c_str()});
  }
  if (!specs.empty()) {
    Check(dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data()), "IFileDialog::SetFileTypes");
    Check(dialog->SetFileTypeIndex(ShownTypeIndex(request)), "IFileDialog::SetFileTypeIndex");
  }
  const std::wstring ext = DialogExtension(request.defaultExt);
  if (!ext.empty()) Check(dialog->SetDefaultExtension(ext.c_str()), "IFileDialog::SetDefaultExtension");
  OfferFileName(dialog, Widen(request.fileName));

  TypeChangeRelay relay(static_cast<int>(ShownTypeIndex(request)), onTypeChange);
  UINT shown = 0;
  if (SUCCEEDED(dialog->GetFileTypeIndex(&shown))) relay.Reset(static_cast<int>(shown));
  const ComPtr<DialogEvents> events(new DialogEvents(&relay));
  DWORD cookie = 0;
  Check(dialog->Advise(events.get(), &cookie), "IFileDialog::Advise");
  HRESULT shownResult = S_OK;
  {
    AdviseGuard advised(dialog, events.get(), cookie);
    shownResult = dialog->Show(owner);
  }
  relay.RethrowFailure();
  if (shownResult == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
  Check(shownResult, "IFileDialog::Show");

  ComPtr<IShellItem> item;
  Check(dialog->GetResult(item.put()), "IFileDialog::GetResult");
  CoTaskString path;
  Check(item->GetDisplayName(SIGDN_FILESYSPATH, path.Put()), "IShellItem::GetDisplayName");
  UINT index = 0;
  Check(dialog->GetFileTypeIndex(&index), "IFileDialog::GetFileTypeIndex");
  return SaveDialogResult{Narrow(path.Get()), static_cast<int>(index)};
}

// --- the classic dialog ------------------------------------------------------

// Long enough for any path the file system takes.
constexpr DWORD kClassicPathLength = 32768;

UINT_PTR CALLBACK ClassicHook(HWND, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* note = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (note->hdr.code == CDN_TYPECHANGE && note->lpOFN != nullptr) {
      auto* relay = reinterpret_cast<TypeChangeRelay*>(note->lpOFN->lCustData);
      if (relay != nullptr) relay->Report(static_cast<int>(note->lpOFN->nFilterIndex));
    }
  }
  return 0;  // the dialog's own handling goes on
}

std::optional<SaveDialogResult> ShowClassicDialog(HWND owner, const SaveDialogRequest& request,
                                                  const std::function<void(int)>& onTypeChange) {
  std::wstring filter;
  for (const FileType& type : request.fileTypes) {
    filter += Widen(type.text);
    filter += L'\0';
    filter += Widen(type.pattern);
    filter += L'\0';
  }
  filter += L'\0';

  // A folder in the initial name is the folder the dialog opens in (the
  // initial-folder member is passed over on later Windows versions once a
  // folder has been used).
  const OfferedName offered = SplitKeptName(Widen(request.fileName));
  const std::wstring initial =
      offered.folder.empty() ? offered.name
                             : offered.folder + (offered.folder.back() == L'\\' ? L"" : L"\\") + offered.name;
  if (initial.size() >= kClassicPathLength) throw Error("The file name is too long for the save dialog.");
  std::vector<wchar_t> file(kClassicPathLength, L'\0');
  initial.copy(file.data(), initial.size());
  const std::wstring ext = DialogExtension(request.defaultExt);

  TypeChangeRelay relay(static_cast<int>(ShownTypeIndex(request)), onTypeChange);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = request.fileTypes.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = ShownTypeIndex(request);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kClassicPathLength;
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  // The hook is only there for CDN_TYPECHANGE; the process's current folder
  // stays where it was, as the item dialog leaves it.
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (request.overwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (request.hideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
  if (request.pathMustExist) ofn.Flags |= OFN_PATHMUSTEXIST;
  ofn.lpfnHook = ClassicHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(&relay);

  const BOOL confirmed = GetSaveFileNameW(&ofn);
  relay.RethrowFailure();
  if (!confirmed) {
    const DWORD failure = CommDlgExtendedError();
    if (failure == 0) return std::nullopt;
    throw Error("The save dialog failed with common dialog error " + HexCode(failure, 4) + ".");
  }
  return SaveDialogResult{Narrow(file.data()), static_cast<int>(ofn.nFilterIndex)};
}

}  // namespace

SaveDialogPort::SaveDialogPort(std::function<HWND()> owner, SaveDialogStyle style)
    : owner_(std::move(owner)), style_(style) {}

std::optional<SaveDialogResult> SaveDialogPort::Execute(const SaveDialogRequest& request,
                                                        const std::function<void(int)>& onTypeChange) {
  const HWND owner = owner_ ? owner_() : nullptr;
  if (style_ == SaveDialogStyle::ItemDialog) {
    ComPtr<IFileSaveDialog> dialog;
    if (SUCCEEDED(CoCreateInstance(kFileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IFileSaveDialog),
                                   dialog.put_void())))
      return ShowItemDialog(dialog.get(), owner, request, onTypeChange);
  }
  return ShowClassicDialog(owner, request, onTypeChange);
}

}  // namespace tw::win32
