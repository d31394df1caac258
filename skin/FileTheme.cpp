#include "skin/FileTheme.h"

#include <windows.h>

#include <optional>

#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/Properties.h"
#include "skin/SkinDraw.h"
#include "skin/TemporaryFile.h"
#include "skin/UIStyle.h"

namespace plx {

namespace {

// How often a failing save of the stored archive is retried under a new name.
constexpr int kSaveAttempts = 3;

bool IsFile(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string FileNamePart(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string WithBackslash(std::string folder) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

std::string ProgramFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  const std::string program(path, length);
  const std::size_t separator = program.find_last_of('\\');
  return separator == std::string::npos ? std::string() : program.substr(0, separator + 1);
}

std::string WindowsFolder() {
  char path[MAX_PATH + 1] = {};
  const UINT length = GetWindowsDirectoryA(path, MAX_PATH + 1);
  return length == 0 || length > MAX_PATH ? std::string() : WithBackslash(std::string(path, length));
}

std::string SystemFolder() {
  char path[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryA(path, MAX_PATH + 1);
  return length == 0 || length > MAX_PATH ? std::string() : WithBackslash(std::string(path, length));
}

// The given path when it exists; else the same file name in the program's
// folder, the Windows folder or the system folder; "" when none has it.
std::string FindThemeFile(const std::string& path) {
  if (IsFile(path)) return path;
  const std::string name = FileNamePart(path);
  if (name.empty()) return {};
  for (const std::string& folder : {ProgramFolder(), WindowsFolder(), SystemFolder()})
    if (!folder.empty() && IsFile(folder + name)) return folder + name;
  return {};
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_TEMPORARY,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written == chunk;
    done += written;
  }
  return CloseHandle(file) && ok;
}

}  // namespace

// ------------------------------------------------------------ TkivFileThemeMgr

bool TkivFileThemeMgr::LoadFromFile(const std::string& fileName, const std::string& password) {
  if (!IsFile(fileName)) return false;
  reader_.reset();
  try {
    auto reader = std::make_unique<Tsk2SkinFileReader>(fileName, password);
    if (!reader->DataLoaded()) return false;
    reader_ = std::move(reader);
    return true;
  } catch (const std::exception&) {
    // A damaged, unreadable or wrongly protected skin: the theme is simply
    // not ready, and the controls fall back to their built-in style.
    return false;
  }
}

// --------------------------------------------------------------- TkivFileTheme

TkivFileTheme::TkivFileTheme(TComponent* owner) : TComponent(owner) {}

TkivFileTheme::~TkivFileTheme() = default;

bool TkivFileTheme::Ready() const { return manager_.Reader() != nullptr; }

void TkivFileTheme::SetThemeFile(const std::string& value) { LoadThemeFile(value); }

void TkivFileTheme::SetPassword(const std::string& value) {
  password_ = value;
  if (!password_.empty()) LoadThemeFile(theme_file_);
}

void TkivFileTheme::LoadThemeFile(const std::string& value) {
  const bool hadThemeFile = !theme_file_.empty();
  const std::string found = FindThemeFile(value);
  if (found.empty()) return;  // nothing changes: the old skin stays
  theme_file_ = found;
  manager_.LoadFromFile(found, password_);
  if (!Ready()) return;

  auto* form = dynamic_cast<TForm*>(Owner());
  if (form == nullptr) return;
  // Every skinned component of the form that uses this theme reads its look
  // again: its reference is cleared and set back.
  bool frameUsesTheme = false;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* component = form->Components(i);
    TComponent* theme = nullptr;
    if (!GetComponentProp(component, "FileTheme", theme) || theme != this) continue;
    if (dynamic_cast<TkivFormStyleSource*>(component) != nullptr) frameUsesTheme = true;
    if (!IsHasProperty(component, "UIStyle")) continue;
    SetComponentProp(component, "FileTheme", nullptr);
    SetComponentProp(component, "FileTheme", this);
  }
  // A frame that already had a skin gets its non-client area measured again.
  if (frameUsesTheme && hadThemeFile && form->HandleAllocated())
    SetWindowPos(form->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TBitmap* TkivFileTheme::GetBitmap(Tsk2SkinBitmapElement element) const {
  const Tsk2SkinFileReader* reader = manager_.Reader();
  return reader != nullptr ? reader->GetBitmap(SkinKey(element)) : nullptr;
}

void TkivFileTheme::GetBitmap2(Tsk2SkinBitmapElement element, TBitmap& bitmap, int subIndex, int subCount) const {
  TBitmap* source = GetBitmap(element);
  if (source == nullptr)
    bitmap.SetSize(0, 0);
  else if (subIndex != 0 && subCount != 0)
    SpitBitmap(*source, bitmap, subCount, subIndex);
  else
    bitmap.Assign(*source);
}

TColor TkivFileTheme::GetColor(Tsk2SkinColorElement element) const {
  const Tsk2SkinFileReader* reader = manager_.Reader();
  return reader != nullptr ? static_cast<TColor>(reader->GetInteger(SkinKey(element))) : 0;
}

int TkivFileTheme::GetInt(Tsk2IntElement element) const {
  const Tsk2SkinFileReader* reader = manager_.Reader();
  return reader != nullptr ? reader->GetInteger(SkinKey(element)) : 0;
}

bool TkivFileTheme::GetBool(Tsk2BoolElement element) const {
  const Tsk2SkinFileReader* reader = manager_.Reader();
  return reader != nullptr && reader->GetBool(SkinKey(element));
}

// -------------------------------------------------------- TkivBuiltInFileTheme

void TkivBuiltInFileTheme::SetThemeFile(const std::string& value) {
  design_theme_file_ = value;
  LoadThemeFile(value);
}

void TkivBuiltInFileTheme::ReadSkinData(std::string_view archive) {
  try {
    std::optional<TTemporaryFile> copy;
    for (int attempt = 0; attempt < kSaveAttempts && !copy; ++attempt) {
      TTemporaryFile file = TTemporaryFile::CreateUnique(".kiv");
      if (WriteWholeFile(file.Path(), archive)) copy.emplace(std::move(file));
    }  // a copy that could not be written is deleted here
    if (copy) LoadThemeFile(copy->Path());
  } catch (const std::exception&) {
    // No temporary folder or no name to be had: the theme stays as it was,
    // silently, like a skin that cannot be read.
  }
}

}  // namespace plx
