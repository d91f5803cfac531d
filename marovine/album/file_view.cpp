#include "marovine/album/file_view.h"

#include <fstream>

#include "marovine/album/site_detail_log.h"
#include "marovine/engine/banner_list.h"
#include "platform/path.h"

namespace marovine {
namespace {

constexpr std::streamoff kSignatureOffset = 199;
constexpr int kShortFileSignature = 255;

}  // namespace

std::optional<std::vector<FileViewRow>> LoadFileViewRows(const std::string& log_path) {
  if (log_path.empty() || !platform::FileExists(log_path)) return std::nullopt;
  auto records = ReadSiteDetailLog(log_path);
  if (!records) return std::nullopt;
  std::vector<FileViewRow> rows;
  rows.reserve(records->size());
  for (const SiteDetailRecord& record : *records) {
    FileViewRow row;
    row.name = record.name;
    row.url = record.url;
    row.message = record.message;
    row.path = record.file_path;
    if (auto size = platform::FileSizeOf(row.path)) {
      row.exists = true;
      row.size = *size;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

PreviewSize FitPreview(int width, int height) {
  double w = width;
  double h = height;
  if (w >= 181) {
    h = 180.0 / w * h;
    w = 180;
    h = static_cast<int>(h);
  }
  if (h > 250) {
    w = static_cast<int>(250.0 / h * w);
    h = 250;
  }
  return {static_cast<int>(w), static_cast<int>(h)};
}

bool RegisterFileAsBanner(const std::string& banner_path, const std::string& file,
                          bool delete_file) {
  auto size = platform::FileSizeOf(file);
  std::ifstream in(file, std::ios::binary);
  if (!size || !in) return false;
  int signature = kShortFileSignature;
  char byte = 0;
  if (in.seekg(kSignatureOffset) && in.get(byte)) signature = static_cast<unsigned char>(byte);
  in.close();
  if (!AppendBannerEntry(banner_path, *size, signature)) return false;
  if (delete_file) (void)platform::RemoveFile(file);
  return true;
}

}  // namespace marovine
