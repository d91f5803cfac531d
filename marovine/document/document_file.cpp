#include "marovine/document/document_file.h"

#include <cstdint>

#include "marovine/document/archive.h"
#include "marovine/document/marovine_doc.h"
#include "platform/file_io.h"

namespace marovine {
namespace {

constexpr const char* kMagic = "marovine";
constexpr const char* kLinksEnd = "next";
constexpr const char* kDownloadsEnd = "end";

bool ReadLinkRecord(ArchiveReader& in, int version, const CMarovineDoc& doc, LinkItem& item) {
  std::int32_t mode = 0;
  std::uint8_t state = 0;
  if (!in.ReadInt32(mode) || !in.ReadByte(state) || !in.ReadString(item.folder) ||
      !in.ReadInt32(item.random_number)) {
    return false;
  }
  item.mode = mode;
  item.state = state;
  if (version == 0) return true;  // the unversioned layout ends here
  if (!in.ReadInt32(item.file_count) || !in.ReadInt32(item.group)) return false;
  if (version >= 312 && !in.ReadBytes(item.credentials)) return false;
  if (version >= 330 && !in.ReadString(item.history_path)) return false;
  if (version >= 340 && !in.ReadString(item.title)) return false;
  item.search_level = doc.settings.default_search_level;
  if (version >= 353 && !in.ReadInt32(item.search_level)) return false;
  item.page_limit = doc.settings.default_page_limit;
  if (version >= 370) {
    return in.ReadInt32(item.page_limit) && in.ReadInt32(item.reset_days) &&
           in.ReadInt32(item.done_day);
  }
  return true;
}

bool ReadDownloadRecord(ArchiveReader& in, int version, DownloadItem& item) {
  std::int32_t kind = 0;
  std::uint8_t state = 0;
  if (!in.ReadBytes(item.referer) || !in.ReadInt32(kind) || !in.ReadByte(state) ||
      !in.ReadBytes(item.site_url) || !in.ReadString(item.local_path)) {
    return false;
  }
  item.kind = kind;
  // No transfer runs at load time. An item recorded as running (we never
  // write one, but a file edited or written by another hand may hold it)
  // would count as pending for ever and hold its site open: it waits again.
  item.state = state == DS_RUNNING ? std::uint8_t{DS_RETRY_WAIT} : state;
  if (version >= 320 && !in.ReadInt32(item.start_page)) return false;
  return true;
}

}  // namespace

std::string StoreDocument(const CMarovineDoc& doc) {
  ArchiveWriter out;
  out.WriteString(kMagic);
  out.WriteInt32(kDocumentVersion);
  for (const LinkItem& link : doc.link_items) {
    out.WriteString(link.url);
    out.WriteInt32(link.mode);
    out.WriteByte(link.state);
    out.WriteString(link.folder);
    out.WriteInt32(link.random_number);
    out.WriteInt32(link.file_count);
    out.WriteInt32(link.group);
    out.WriteString(link.credentials);
    out.WriteString(link.history_path);
    out.WriteString(link.title);
    out.WriteInt32(link.search_level);
    out.WriteInt32(link.page_limit);
    out.WriteInt32(link.reset_days);
    out.WriteInt32(link.done_day);
  }
  out.WriteString(kLinksEnd);
  for (const DownloadItem& item : doc.download_items) {
    out.WriteString(item.url);
    out.WriteString(item.referer);
    out.WriteInt32(item.kind);
    // A transfer cannot survive the program: it is waiting again next time.
    out.WriteByte(item.state == DS_RUNNING ? std::uint8_t{DS_RETRY_WAIT} : item.state);
    out.WriteString(item.site_url);
    out.WriteString(item.local_path);
    out.WriteInt32(item.start_page);
  }
  out.WriteString(kDownloadsEnd);
  return out.bytes();
}

bool SaveDocumentFile(const CMarovineDoc& doc, const std::string& path) {
  return platform::WriteFileAtomically(path, StoreDocument(doc));
}

DocumentLoadResult LoadDocument(CMarovineDoc& doc, std::string_view bytes) {
  DocumentLoadResult result;
  ArchiveReader in(bytes);
  // URLs keep their bytes: a server knows a file only by the exact address,
  // and a resumed transfer must ask for the same one.
  std::string text;
  if (in.ReadBytes(text) && text == kMagic) {
    std::int32_t version = 0;
    if (in.ReadInt32(version)) result.version = version;
    in.ReadBytes(text);
  }
  while (in.ok() && text != kLinksEnd) {
    LinkItem link;
    link.url = text;
    if (!ReadLinkRecord(in, result.version, doc, link)) break;
    doc.AppendLinkItem(std::move(link));
    ++result.links_read;
    in.ReadBytes(text);
  }
  if (in.ok()) in.ReadBytes(text);
  while (in.ok() && text != kDownloadsEnd) {
    DownloadItem item;
    item.url = text;
    if (!ReadDownloadRecord(in, result.version, item)) break;
    if (doc.AppendDownloadItem(std::move(item)) < 0) {
      result.error = "the download list is full";
      return result;
    }
    ++result.downloads_read;
    in.ReadBytes(text);
  }
  result.ok = in.ok();
  result.error = in.error();

  if (doc.settings.auto_start_crawl != 0) {
    for (const LinkItem& link : doc.link_items) {
      if (link.state == LS_WAITING || link.state == LS_SEARCHING) doc.crawl().ResumeQuietly();
    }
    for (const DownloadItem& item : doc.download_items) {
      if (item.state == DS_WAITING || item.state == DS_RUNNING || item.state == DS_RETRY_WAIT) {
        doc.crawl().ResumeQuietly();
      }
    }
  }
  return result;
}

DocumentLoadResult LoadDocumentFile(CMarovineDoc& doc, const std::string& path) {
  auto bytes = platform::ReadWholeFile(path);
  if (!bytes) {
    DocumentLoadResult result;
    result.error = "cannot read " + path;
    return result;
  }
  doc.document_path = path;
  return LoadDocument(doc, *bytes);
}

}  // namespace marovine
