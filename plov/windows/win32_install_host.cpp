#include "plov/windows/win32_install_host.h"

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on
// The host's own operations carry these names.
#undef CopyFile
#undef DeleteFile

#include "platform/file_io.h"
#include "plov/windows/wide_text.h"

namespace plov::win32 {
namespace {

HKEY RootOf(RegistryRoot root) {
  return root == RegistryRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

// An open registry key, closed when it goes.
class OpenKey {
 public:
  OpenKey(RegistryRoot root, const std::string& key, REGSAM access) {
    if (RegOpenKeyExW(RootOf(root), Wide(key).c_str(), 0, access, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

std::optional<std::string> StringValue(HKEY key, const wchar_t* name) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(wcsnlen(value.c_str(), value.size()));
  return Utf8(value);
}

// The section [rename] of wininit.ini gets "NUL=path": the systems without a
// deletion at restart run that file before they start.
bool AppendToWininit(const std::string& path) {
  wchar_t windows[MAX_PATH];
  if (!GetWindowsDirectoryW(windows, MAX_PATH)) return false;
  std::wstring wininit = std::wstring(windows) + L"\\wininit.ini";
  std::wstring section(16384 / sizeof(wchar_t), L'\0');
  DWORD length = GetPrivateProfileSectionW(L"rename", section.data(),
                                           static_cast<DWORD>(section.size()), wininit.c_str());
  section.resize(length);  // entries each end with a NUL
  section += L"NUL=" + Wide(path) + L'\0';
  section += L'\0';
  return WritePrivateProfileSectionW(L"rename", section.c_str(), wininit.c_str());
}

}  // namespace

std::string Win32InstallHost::OwnPath() const {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return Utf8(std::wstring_view(path, length));
}

std::string Win32InstallHost::TempFolder() const {
  wchar_t path[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, path);
  return WithoutTrailingBackslash(Utf8(std::wstring_view(path, length)));
}

std::optional<std::string> Win32InstallHost::SystemFolder() const {
  wchar_t path[MAX_PATH];
  UINT length = GetWindowsDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::nullopt;
  return WithoutTrailingBackslash(Utf8(std::wstring_view(path, length)));
}

std::optional<std::string> Win32InstallHost::ProgramFilesFolder() const {
  OpenKey key(RegistryRoot::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
              KEY_READ);
  if (!key) return std::nullopt;
  auto folder = StringValue(key.get(), L"ProgramFilesDir");
  if (!folder || folder->empty()) return std::nullopt;
  return WithoutTrailingBackslash(*folder);
}

std::optional<std::string> Win32InstallHost::SpecialFolder(ShellFolder folder) const {
  int id = folder == ShellFolder::kPrograms  ? CSIDL_PROGRAMS
           : folder == ShellFolder::kStartup ? CSIDL_STARTUP
                                             : CSIDL_DESKTOPDIRECTORY;
  wchar_t path[MAX_PATH];
  if (!SHGetSpecialFolderPathW(nullptr, path, id, TRUE)) return std::nullopt;
  return WithoutTrailingBackslash(Utf8(path));
}

bool Win32InstallHost::CreateShortcut(const std::string& folder, const std::string& name,
                                      const std::string& target, const std::string& arguments) {
  // The component library is set up around each shortcut only.
  HRESULT init = CoInitialize(nullptr);
  bool saved = false;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    link->SetPath(Wide(target).c_str());
    if (!arguments.empty()) link->SetArguments(Wide(arguments).c_str());
    link->SetDescription(Wide(name).c_str());
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      std::wstring path = Wide(folder + "\\" + name + ".lnk");
      saved = SUCCEEDED(file->Save(path.c_str(), TRUE));
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return saved;
}

bool Win32InstallHost::DeleteShortcut(const std::string& folder, const std::string& name) {
  return DeleteFileW(Wide(folder + "\\" + name + ".lnk").c_str());
}

bool Win32InstallHost::CreateFolder(const std::string& path) {
  CreateDirectoryW(Wide(path).c_str(), nullptr);
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32InstallHost::RemoveFolder(const std::string& path) {
  return RemoveDirectoryW(Wide(path).c_str());
}

bool Win32InstallHost::CopyFile(const std::string& from, const std::string& to) {
  return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE);
}

bool Win32InstallHost::DeleteFile(const std::string& path) {
  return DeleteFileW(Wide(path).c_str());
}

bool Win32InstallHost::ClearReadOnly(const std::string& path) {
  std::wstring wide = Wide(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

std::vector<FolderEntry> Win32InstallHost::ListFolder(const std::string& path) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(Wide(path + "\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    // A junction is removed as the link it is, never followed.
    bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                  !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    entries.push_back(
        {Utf8(name), folder, (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

bool Win32InstallHost::SameFile(const std::string& a, const std::string& b) {
  auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE file = CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return ok;
  };
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  return identity(a, first) && identity(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

std::optional<std::string> Win32InstallHost::ReadFile(const std::string& path, std::size_t limit) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes(limit, '\0');
  DWORD read = 0;
  bool ok = ::ReadFile(file, bytes.data(), static_cast<DWORD>(limit), &read, nullptr);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  bytes.resize(read);
  return bytes;
}

bool Win32InstallHost::WriteFile(const std::string& path, std::string_view bytes) {
  return platform::WriteFileAtomically(path, bytes);
}

bool Win32InstallHost::DeleteAtRestart(const std::string& path) {
  if (MoveFileExW(Wide(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return true;
  return GetLastError() == ERROR_CALL_NOT_IMPLEMENTED && AppendToWininit(path);
}

bool Win32InstallHost::CreateKey(RegistryRoot root, const std::string& key) {
  HKEY created = nullptr;
  if (RegCreateKeyExW(RootOf(root), Wide(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &created, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(created);
  return true;
}

bool Win32InstallHost::KeyExists(RegistryRoot root, const std::string& key) {
  return static_cast<bool>(OpenKey(root, key, KEY_READ));
}

std::optional<std::string> Win32InstallHost::ReadValue(RegistryRoot root, const std::string& key,
                                                       const std::string& name) {
  OpenKey open(root, key, KEY_READ);
  if (!open) return std::nullopt;
  return StringValue(open.get(), Wide(name).c_str());
}

bool Win32InstallHost::WriteValue(RegistryRoot root, const std::string& key,
                                  const std::string& name, const std::string& value) {
  OpenKey open(root, key, KEY_SET_VALUE);
  if (!open) return false;
  std::wstring wide = Wide(value);
  return RegSetValueExW(open.get(), Wide(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(wide.c_str()),
                        static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::optional<std::string> Win32InstallHost::SubKeyAt(RegistryRoot root, const std::string& key,
                                                      std::uint32_t index) {
  OpenKey open(root, key, KEY_READ);
  if (!open) return std::nullopt;
  wchar_t name[256];
  DWORD length = 256;
  if (RegEnumKeyExW(open.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return Utf8(std::wstring_view(name, length));
}

bool Win32InstallHost::DeleteKey(RegistryRoot root, const std::string& key) {
  return RegDeleteKeyW(RootOf(root), Wide(key).c_str()) == ERROR_SUCCESS;
}

void Win32InstallHost::FlushKey(RegistryRoot root, const std::string& key) {
  OpenKey open(root, key, KEY_READ);
  if (open) RegFlushKey(open.get());
}

int Win32InstallHost::OpenWithShell(const std::string& path, const std::string& arguments) {
  std::wstring parameters = Wide(arguments);
  HINSTANCE result =
      ShellExecuteW(nullptr, L"open", Wide(path).c_str(),
                    parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

void Win32InstallHost::Sleep(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

bool Win32InstallHost::RestartSystem() {
  if (test_mode_) {
    dialogs_.Show({"", "restart (test mode: not done)", MessageKind::kInformation});
    return true;
  }
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
  }
  return ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED);
}

}  // namespace plov::win32
