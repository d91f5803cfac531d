#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marovine {

// The files one site's crawl saved, as its detail log records them, for the
// FileView window: whether each still exists and how large it is.

struct FileViewRow {
  std::string name;     // the log's section: the saved file's name
  std::string url;      // where it came from
  std::string message;  // the transfer's status text
  std::string path;     // where it was saved
  bool exists = false;
  std::int64_t size = 0;  // only when it exists
};

inline constexpr const char* kFileViewLogMissing =
    "ログファイルが開けません。\n一般オプションタブのログファイルの設定を確認してください。\n"
    "または、ログファイルが削除されています。";

// The rows of a detail log in file order; nothing when there is no log to read.
std::optional<std::vector<FileViewRow>> LoadFileViewRows(const std::string& log_path);

// The size a picture is previewed at: no wider than 180 and no taller than
// 250, keeping its proportions (fractions cut off).
struct PreviewSize {
  int width = 0;
  int height = 0;
};
PreviewSize FitPreview(int width, int height);

// Registers a saved file in the banner list by its size (the signature is the
// byte at offset 199, 255 for shorter files), deleting the file afterwards
// when asked. False when the file cannot be read or the list written; the
// file then stays.
bool RegisterFileAsBanner(const std::string& banner_path, const std::string& file,
                          bool delete_file);

// A file to fetch again: its URL and where it goes.
struct RefetchRequest {
  std::string url;
  std::string path;
};

}  // namespace marovine
