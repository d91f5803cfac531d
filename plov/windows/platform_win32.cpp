// The parts of the platform layer the installer uses, on the Win32 API: the
// profile reader (platform/profile.cpp, built as it is) reads and writes the
// setup script through these. Paths are UTF-8 and may use either separator.

#include <windows.h>

#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/text_encoding.h"
#include "plov/windows/wide_text.h"

using plov::win32::Utf8;
using plov::win32::Wide;

namespace platform {
namespace {

std::size_t LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (!joined.empty() && joined.back() != '\\' && joined.back() != '/') joined += '\\';
  return joined + std::string(name);
}

std::string WithTrailingSeparator(std::string_view folder) {
  std::string result(folder);
  if (!result.empty() && result.back() != '\\' && result.back() != '/') result += '\\';
  return result;
}

std::string FolderOf(std::string_view path) {
  auto at = LastSeparator(path);
  return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::string NameOf(std::string_view path) {
  auto at = LastSeparator(path);
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

bool IsFolder(const std::string& path) {
  DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

std::optional<std::int64_t> FileSizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool RemoveFile(const std::string& path) {
  return DeleteFileW(Wide(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool MakeFolders(std::string_view folder) {
  std::string path(folder);
  for (std::size_t at = 3; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '\\' && path[at] != '/') continue;
    CreateDirectoryW(Wide(path.substr(0, at)).c_str(), nullptr);
  }
  return IsFolder(path);
}

bool MakeFoldersForFile(std::string_view path) {
  std::string folder = FolderOf(path);
  return folder.empty() || MakeFolders(folder);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string content;
  char buffer[65536];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) {
    content.append(buffer, read);
  }
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return content;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (!MakeFoldersForFile(path)) return false;
  std::wstring temp = Wide(path + ".plov-part");
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size() && FlushFileBuffers(file);
  CloseHandle(file);
  ok = ok && MoveFileExW(temp.c_str(), Wide(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  HANDLE file = CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(file);
  return ok;
}

bool IsValidUtf8(std::string_view text) {
  return text.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0) > 0;
}

std::optional<std::string> ConvertEncoding(std::string_view text, const char* from,
                                           const char* to) {
  std::string_view source(from), target(to);
  auto page = [](std::string_view name) -> UINT {
    if (name == "UTF-8") return CP_UTF8;
    if (name == "CP932" || name == "SHIFT_JIS" || name == "Shift_JIS") return 932;
    return 0;
  };
  UINT in = page(source), out = page(target);
  if (in == 0 || out == 0) return std::nullopt;
  if (text.empty()) return std::string();
  int size = MultiByteToWideChar(in, MB_ERR_INVALID_CHARS, text.data(),
                                 static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(in, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  if (out == CP_UTF8) return Utf8(wide);
  int bytes = WideCharToMultiByte(out, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(out, 0, wide.data(), size, result.data(), bytes, nullptr, nullptr);
  return result;
}

std::string LegacyToUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  return ConvertEncoding(text, "CP932", "UTF-8").value_or(std::string(text));
}

}  // namespace platform
