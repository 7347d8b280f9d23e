#include "imaging/win32/gdip_loader.h"

#include <array>
#include <optional>

#include "imaging/gdiplus_library.h"
#include "core/paths.h"
#include "platform/registry_data.h"
#include "platform/win32/application_win32.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

namespace {

constexpr std::array<const char*, 64> kDrawingFunctionNames = {
    // pens and lines
    "GdipCreatePen1", "GdipDeletePen", "GdipSetPenWidth", "GdipSetPenDashStyle", "GdipDrawLine",
    "GdipDrawLineI", "GdipDrawLines", "GdipDrawLinesI",
    // brushes
    "GdipCreateSolidFill", "GdipSetSolidFillColor", "GdipCreateHatchBrush", "GdipCreateLineBrushI",
    "GdipDeleteBrush",
    // rectangles, ellipses, polygons
    "GdipDrawRectangle", "GdipDrawRectangleI", "GdipFillRectangle", "GdipFillRectangleI", "GdipDrawEllipse",
    "GdipDrawEllipseI", "GdipFillEllipse", "GdipFillEllipseI", "GdipDrawPolygon", "GdipDrawPolygonI",
    "GdipFillPolygon", "GdipFillPolygonI",
    // curves
    "GdipDrawArcI", "GdipDrawBezierI", "GdipDrawCurve", "GdipDrawCurveI",
    // paths
    "GdipCreatePath", "GdipDeletePath", "GdipAddPathLineI", "GdipAddPathRectangleI", "GdipAddPathEllipseI",
    "GdipClosePathFigure", "GdipDrawPath", "GdipFillPath",
    // matrices and world transforms
    "GdipCreateMatrix", "GdipCreateMatrix2", "GdipDeleteMatrix", "GdipSetWorldTransform",
    "GdipResetWorldTransform", "GdipTranslateWorldTransform", "GdipScaleWorldTransform",
    "GdipRotateWorldTransform",
    // metafile recording and playback
    "GdipRecordMetafile", "GdipCreateMetafileFromEmf", "GdipGetHemfFromMetafile",
    "GdipEnumerateMetafileDestRect", "GdipPlayMetafileRecord", "GdipGetImageGraphicsContext",
    // fonts and strings
    "GdipCreateFontFamilyFromName", "GdipDeleteFontFamily", "GdipCreateFont", "GdipCreateFontFromLogfontW",
    "GdipDeleteFont", "GdipCreateStringFormat", "GdipDeleteStringFormat", "GdipDrawString",
    "GdipMeasureString",
    // bitmap locking, and the drawing state around it
    "GdipBitmapLockBits", "GdipBitmapUnlockBits", "GdipSetSmoothingMode", "GdipGraphicsClear"};

template <typename Fn>
bool Resolve(HMODULE library, const char* name, Fn& into) {
  const FARPROC address = GetProcAddress(library, name);
  // Through a plain function pointer type, as GCC asks for a cast between
  // unrelated function types.
  into = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
  return address != nullptr;
}

// The file-error message boxes stay off for this thread while the library
// loads; the previous mode comes back afterwards.
class NoFileErrorBoxes {
 public:
  NoFileErrorBoxes() {
    if (SetThreadErrorMode(GetThreadErrorMode() | SEM_NOOPENFILEERRORBOX, &previous_) == FALSE) changed_ = false;
  }
  ~NoFileErrorBoxes() {
    if (changed_) SetThreadErrorMode(previous_, nullptr);
  }
  NoFileErrorBoxes(const NoFileErrorBoxes&) = delete;
  NoFileErrorBoxes& operator=(const NoFileErrorBoxes&) = delete;

 private:
  DWORD previous_ = 0;
  bool changed_ = true;
};

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> WordProcessorCommand() {
  const wchar_t* const key = L"Applications\\Winword.exe\\shell\\edit\\command";
  // REG_EXPAND_SZ is expanded and accepted under RRF_RT_REG_SZ as well.
  const DWORD types = RRF_RT_REG_SZ;
  for (int attempt = 0; attempt < 4; ++attempt) {  // the value may grow between the calls
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key, nullptr, types, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
      return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(HKEY_CLASSES_ROOT, key, nullptr, types, nullptr, text.data(), &bytes);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return std::nullopt;
    // The text ends at its first zero, as any registry text does.
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    text.resize(RegistryTextLength({data, text.size() * sizeof(wchar_t)}));
    return Narrow(text);
  }
  return std::nullopt;
}

std::optional<std::uint32_t> FileVersion(const std::string& path) {
  const std::wstring name = Widen(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> data(size);
  if (GetFileVersionInfoW(name.c_str(), 0, size, data.data()) == FALSE) return std::nullopt;
  void* block = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", &block, &length) == FALSE || block == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO))
    return std::nullopt;
  return static_cast<const VS_FIXEDFILEINFO*>(block)->dwFileVersionMS;
}

std::string ChooseLibrary(const GdipLibraryFolder& programFolder) {
  return ChooseGdiplusLibrary(programFolder.folder, {IsFile, WordProcessorCommand, FileVersion});
}

}  // namespace

std::string ProgramFolder() { return FolderOfPath(ProgramFile()); }

TGdipLoader::TGdipLoader() : TGdipLoader(GdipLibraryFolder{ProgramFolder()}) {}

TGdipLoader::TGdipLoader(const GdipLibraryFolder& programFolder) : TGdipLoader(programFolder, {}) {}

TGdipLoader::TGdipLoader(const GdipLibraryFolder& programFolder, std::span<const char* const> moreNames)
    : libraryFile_(ChooseLibrary(programFolder)) {
  Load(moreNames);
}

TGdipLoader::~TGdipLoader() { Stop(); }

void TGdipLoader::Load(std::span<const char* const> moreNames) {
  UniqueLibrary library;
  {
    const NoFileErrorBoxes quiet;
    const std::wstring file = Widen(libraryFile_);
    // A copy in another folder finds what it depends on beside itself.
    const bool hasFolder = !FolderOfPath(libraryFile_).empty();
    library.reset(hasFolder ? LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
                            : LoadLibraryW(file.c_str()));
  }
  if (!library) return;
  const HMODULE h = library.get();
  GdipBaseFunctions& b = base_;
  const bool baseResolved =
      Resolve(h, "GdiplusStartup", b.GdiplusStartup) && Resolve(h, "GdiplusShutdown", b.GdiplusShutdown) &&
      Resolve(h, "GdipDeleteGraphics", b.GdipDeleteGraphics) && Resolve(h, "GdipCreateFromHDC", b.GdipCreateFromHDC) &&
      Resolve(h, "GdipLoadImageFromStream", b.GdipLoadImageFromStream) &&
      Resolve(h, "GdipLoadImageFromFile", b.GdipLoadImageFromFile) &&
      Resolve(h, "GdipDrawImageRectI", b.GdipDrawImageRectI) &&
      Resolve(h, "GdipDrawImageRectRectI", b.GdipDrawImageRectRectI) &&
      Resolve(h, "GdipDisposeImage", b.GdipDisposeImage) &&
      Resolve(h, "GdipGetImageRawFormat", b.GdipGetImageRawFormat) &&
      Resolve(h, "GdipGetImageWidth", b.GdipGetImageWidth) &&
      Resolve(h, "GdipGetImageHeight", b.GdipGetImageHeight) &&
      Resolve(h, "GdipSaveImageToStream", b.GdipSaveImageToStream) &&
      Resolve(h, "GdipCreateBitmapFromHBITMAP", b.GdipCreateBitmapFromHBITMAP) &&
      Resolve(h, "GdipCreateBitmapFromGdiDib", b.GdipCreateBitmapFromGdiDib);
  const bool exportResolved = baseResolved &&
                              Resolve(h, "GdipCloneBitmapAreaI", export_.GdipCloneBitmapAreaI) &&
                              Resolve(h, "GdipGetImagePixelFormat", export_.GdipGetImagePixelFormat) &&
                              Resolve(h, "GdipCreateBitmapFromScan0", export_.GdipCreateBitmapFromScan0) &&
                              Resolve(h, "GdipSetImagePalette", export_.GdipSetImagePalette) &&
                              Resolve(h, "GdipBitmapLockBits", export_.GdipBitmapLockBits) &&
                              Resolve(h, "GdipBitmapUnlockBits", export_.GdipBitmapUnlockBits);
  bool moreResolved = exportResolved;
  if (moreResolved) {
    more_.reserve(moreNames.size());
    for (const char* name : moreNames) {
      const FARPROC address = GetProcAddress(h, name);
      if (address == nullptr) {
        moreResolved = false;
        break;
      }
      more_.push_back(address);
    }
  }
  if (!moreResolved) {
    base_ = {};
    export_ = {};
    more_.clear();
    return;  // `library` unloads it again
  }

  gdip::StartupInput input;
  input.GdiplusVersion = 1;
  input.DebugEventCallback = nullptr;
  // The program calls the notification hook itself, on its one thread.
  input.SuppressBackgroundThread = TRUE;
  input.SuppressExternalCodecs = FALSE;
  ULONG_PTR token = 0;
  gdip::StartupOutput output;
  if (base_.GdiplusStartup(&token, &input, &output) != gdip::kOk) {
    token_ = 0;
    base_ = {};
    export_ = {};
    more_.clear();
    return;
  }
  token_ = token;
  startup_ = output;
  library_ = std::move(library);
  if (startup_.NotificationHook != nullptr) hooked_ = startup_.NotificationHook(&hookToken_) == gdip::kOk;
}

void TGdipLoader::Stop() noexcept {
  if (!library_) return;
  if (hooked_ && startup_.NotificationUnhook != nullptr) startup_.NotificationUnhook(hookToken_);
  hooked_ = false;
  base_.GdiplusShutdown(token_);
  token_ = 0;
  base_ = {};
  export_ = {};
  more_.clear();
  library_.reset();
}

TGdipLoaderFull::TGdipLoaderFull() : TGdipLoaderFull(GdipLibraryFolder{ProgramFolder()}) {}

TGdipLoaderFull::TGdipLoaderFull(const GdipLibraryFolder& programFolder)
    : TGdipLoader(programFolder, kDrawingFunctionNames) {}

std::span<const char* const> TGdipLoaderFull::DrawingFunctionNames() { return kDrawingFunctionNames; }

FARPROC TGdipLoaderFull::DrawingFunction(std::string_view name) const {
  for (std::size_t i = 0; i < kDrawingFunctionNames.size(); ++i)
    if (name == kDrawingFunctionNames[i]) return MoreFunction(i);
  return nullptr;
}

}  // namespace tw::win32
