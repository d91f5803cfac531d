#include "marovine/album/album_writer.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "marovine/album/html_text.h"
#include "marovine/album/relative_link.h"
#include "marovine/album/thumbnail.h"
#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine {
namespace {

constexpr const char* kBodyLine = "<BODY bgcolor='#FFFFFF' text='#000000'>\n";

std::string Format(const char* pattern, const std::string& a) {
  std::string out;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      out += a;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string Opening(const std::string& title) {
  return std::string(kAlbumMarkLine) + "<HTML>\n" + kAlbumMetaLine + "<TITLE>" + EscapeHtml(title) +
         "</TITLE>\n" + "</HEAD>\n";
}

// The last four characters, upper-cased (ASCII).
std::string LastFourUpper(const std::string& path) {
  std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
  for (char& c : tail) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return tail;
}

bool IsAlbumPicture(const std::string& tail) {
  return tail == ".JPG" || tail == "JPEG" || tail == ".GIF" || tail == ".BMP" || tail == ".PNG";
}

bool IsJpeg(const std::string& tail) { return tail == ".JPG" || tail == "JPEG"; }

// Name without extension, and the extension with its dot, of a path's file name.
std::pair<std::string, std::string> SplitName(const std::string& path) {
  std::string name = platform::NameOf(path);
  auto dot = name.rfind('.');
  if (dot == std::string::npos) return {name, ""};
  return {name.substr(0, dot), name.substr(dot)};
}

std::string Link(const std::string& from, const std::string& to) {
  return EscapeLink(RelativeLink(from, to));
}

}  // namespace

bool AlbumWriter::Start(const AlbumJob& job) {
  job_ = job;
  started_ = false;
  column_ = 0;
  pictures_added_ = 0;
  pending_page_.clear();
  pending_picture_.clear();
  previous_page_.clear();
  view_pages_.clear();
  if (!platform::MakeFoldersForFile(job_.album_path)) return false;

  std::string opening = Opening(job_.title);
  if (job_.layout == AlbumLayout::kTable) {
    page_path_ = job_.album_path;
    page_ = opening + kBodyLine + "\n\n";
    // An empty but complete album stands until Finish() replaces it.
    if (!platform::WriteFileAtomically(page_path_, page_ + "</BODY>\n</HTML>\n")) return false;
    started_ = true;
    return true;
  }

  std::string folder = platform::FolderOf(job_.album_path);
  auto [name, extension] = SplitName(job_.album_path);
  std::string menu_name = name + "_menu" + extension;
  std::string view_name = name + "_view" + extension;
  char frameset[128];
  std::snprintf(frameset, sizeof frameset,
                "<FRAMESET COLS='%lld,*' FRAMESPACING='0' BORDER='1' FRAMEBORDER='0'>",
                static_cast<long long>(job_.thumbnail_width) + 50);
  std::string frame_page =
      opening + frameset +
      Format("<FRAME SRC='%s' NAME='menu' SCROLLING='auto'>\n", EscapeLink(menu_name)) +
      Format("<FRAME SRC='%s' NAME='view' SCROLLING='auto'>\n", EscapeLink(view_name)) +
      "</FRAMESET></HTML>\n";
  std::string view_page = opening + kBodyLine + "</BODY>\n" + "</HTML>\n";
  if (!platform::WriteFileAtomically(job_.album_path, frame_page)) return false;
  if (!platform::WriteFileAtomically(folder + view_name, view_page)) return false;
  page_path_ = folder + menu_name;
  page_ = opening + kBodyLine + "<P>\n\n";
  if (!platform::WriteFileAtomically(page_path_, page_ + "<BR></P></BODY></HTML>\n")) return false;
  started_ = true;
  return true;
}

void AlbumWriter::Heading(const std::string& html, int alignment, int size) {
  if (!started_) return;
  static const char* kAlign[] = {"left", "center", "right"};
  const char* align = alignment >= 0 && alignment <= 2 ? kAlign[alignment] : "left";
  page_ += std::string("<P align='") + align + "'>\n";
  page_ += "<FONT size='" + std::to_string(size) + "'>\u3000" + html + "\u3000</FONT>\n";
  page_ += "</P>\n";
}

void AlbumWriter::Table(bool open) {
  if (!started_ || job_.layout != AlbumLayout::kTable) return;
  page_ += open ? "<P align='center'><TABLE border='1'>\n" : "</TABLE>\n</P>\n";
}

std::string AlbumWriter::ThumbnailPath(const std::string& picture) const {
  auto [name, extension] = SplitName(picture);
  std::string path = platform::FolderOf(picture);
  if (!job_.thumbnail_folder.empty()) path += job_.thumbnail_folder + platform::kPathSeparator;
  return path + name + "_tn" + extension;
}

std::string AlbumWriter::ViewPagePath(const std::string& picture) const {
  if (job_.thumbnail_folder.find(':') != std::string::npos) return {};
  auto [name, extension] = SplitName(picture);
  std::string path = platform::FolderOf(picture);
  if (!job_.thumbnail_folder.empty()) path += job_.thumbnail_folder + platform::kPathSeparator;
  return path + name + "_link.html";
}

// Pictures that differ only in their extension ("a.jpg", "a.gif") or that are
// listed twice would share one view page: the later page replaced the earlier,
// so the earlier cell showed the wrong picture and the chain linked a page to
// itself. The first keeps the usual name; a later one gets its extension (and,
// if need be, a number) in the name.
std::string AlbumWriter::UnusedViewPagePath(const std::string& picture) {
  std::string page = ViewPagePath(picture);
  if (page.empty() || view_pages_.insert(page).second) return page;
  constexpr std::string_view kEnding = "_link.html";
  std::string stem = page.substr(0, page.size() - kEnding.size());
  std::string extension = SplitName(picture).second;
  if (!extension.empty()) stem += "_" + extension.substr(1);
  for (int number = 1;; ++number) {
    std::string candidate = stem + (number > 1 ? "_" + std::to_string(number) : "");
    candidate += kEnding;
    if (view_pages_.insert(candidate).second) return candidate;
  }
}

void AlbumWriter::AddPicture(const std::string& path) {
  if (!started_) return;
  std::string tail = LastFourUpper(path);
  if (!platform::FileSizeOf(path) || !IsAlbumPicture(tail)) return;

  std::string source = path;
  int width = job_.thumbnail_width;
  std::optional<int> height;
  // A thumbnail folder with ':' in it cannot be a folder name where the album
  // came from, so such a setting means "no thumbnails".
  if (job_.make_thumbnails && IsJpeg(tail) &&
      job_.thumbnail_folder.find(':') == std::string::npos) {
    std::string thumbnail = ThumbnailPath(path);
    if (platform::FileExists(thumbnail)) {
      source = thumbnail;
    } else if (width > 0) {
      if (auto made = MakeJpegThumbnail(path, thumbnail, static_cast<std::uint32_t>(width))) {
        width = static_cast<int>(made->width);
        height = static_cast<int>(made->height);
        source = thumbnail;
      }
    }
    // No thumbnail could be made (a picture too large or not really a JPEG, a
    // folder we cannot write): naming the missing thumbnail left a broken
    // image in the cell, while the picture itself, sized by the width
    // attribute, is still shown where the browser can.
  }
  std::string image_link = Link(job_.album_path, source);

  std::string target;
  std::string view_page = job_.make_view_pages ? UnusedViewPagePath(path) : std::string();
  if (!view_page.empty()) {
    if (!pending_page_.empty()) WriteViewPage(pending_page_, pending_picture_, view_page);
    previous_page_ = pending_page_;
    pending_page_ = view_page;
    pending_picture_ = path;
    target = Link(job_.album_path, view_page);
  } else {
    // Without a view page (none wanted, or no folder to put it in) the cell
    // links the picture itself.
    target = Link(job_.album_path, path);
  }

  std::string size = " width='" + std::to_string(width) + "'";
  if (height) size += " height='" + std::to_string(*height) + "'";
  if (job_.layout == AlbumLayout::kTable) {
    if (column_ == 0) page_ += "<TR>\n";
    page_ += "  <TD align='center' valign='middle'><A href='" + target +
             "' target='_blank'><IMG src='" + image_link + "' ALT='" + target + "'" + size +
             "></A></TD>\n";
    if (++column_ == job_.columns) {
      page_ += "</TR>\n";
      column_ = 0;
    }
  } else {
    page_ += "  <A href='" + target + "' TARGET='view'><IMG src='" + image_link + "' ALT='" +
             target + "'" + size + "></A><BR>\n";
  }
  ++pictures_added_;
}

void AlbumWriter::WriteViewPage(const std::string& page, const std::string& picture,
                                const std::string& next_page) {
  std::string text =
      std::string(kAlbumMarkLine) + "<HTML>\n" + kAlbumMetaLine + "</HEAD>\n" + kBodyLine + "\n\n";
  if (!next_page.empty()) {
    if (!previous_page_.empty()) {
      text += "<p align='center'><a href='" + Link(page, previous_page_) +
              "'>\u2190Preview</a>\u3000\u3000<a href='" + Link(page, next_page) +
              "'>Next\u2192</a></p>\n";
    } else {
      text += "<p align='center'>\u3000\u3000<a href='" + Link(page, next_page) +
              "'>Next\u2192</a></p>\n";
    }
  } else if (!previous_page_.empty()) {
    text += "<p align='center'><a href='" + Link(page, previous_page_) + "'>\u2190Preview</a>";
  }
  text += "<p align='center'><img border='0' src='" + Link(page, picture) + "'></p>";
  if (job_.layout == AlbumLayout::kTable) {
    text += "<p align='center'><a href='" + Link(page, job_.album_path) + "'>Return To Index</p>\n";
  }
  text += "</BODY>\n</HTML>\n";
  // A view page that cannot be written leaves one thumbnail without its page;
  // the album goes on with the other pictures.
  if (platform::MakeFoldersForFile(page)) (void)platform::WriteFileAtomically(page, text);
}

bool AlbumWriter::Finish() {
  if (!started_) return false;
  if (job_.make_view_pages && !pending_page_.empty()) {
    WriteViewPage(pending_page_, pending_picture_, std::string());
    pending_page_.clear();
  }
  if (job_.layout == AlbumLayout::kTable) {
    page_ += "</BODY>\n</HTML>\n";
  } else {
    page_ += "<BR></P></BODY></HTML>\n";
  }
  // When the final page cannot be written, the complete (if shorter) album
  // written at the start stays in its place.
  started_ = false;
  return platform::WriteFileAtomically(page_path_, page_);
}

}  // namespace marovine
