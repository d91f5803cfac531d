#include "marovine/engine/page_rewriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "marovine/engine/html_char_refs.h"
#include "marovine/engine/html_scanner.h"
#include "marovine/engine/local_path.h"
#include "marovine/engine/page_charset.h"
#include "marovine/engine/page_parser.h"
#include "marovine/engine/safe_name.h"
#include "marovine/engine/url_rules.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/unique_handle.h"

namespace marovine {

namespace {

std::string Climbs(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "../";
  return text;
}

// The link text that reaches the file the mapping stores for this relative
// URL path: the same sanitised components, joined with "/".
std::string LocalLinkPath(std::string_view relative) {
  bool is_folder = relative.empty() || relative.back() == '/';
  std::string path = SanitizeRelativePath(relative);
  if (is_folder || path.empty()) {
    if (!path.empty()) path += '/';
    path += "index.html";
  }
  return path;
}

// How many folders below the site's local folder the page itself lies, as
// the whole-site mapping stores it; that many "../" lead back to the top. It
// is counted on the stored path, not the address: "a//b.html" is stored as
// "a/b.html", and a page of another server lies in "Another_Server/".
int SavedDepth(std::string_view page_url, std::string_view below) {
  auto at = page_url.find(below);
  if (at == std::string_view::npos) return 1;
  std::string path = LocalLinkPath(page_url.substr(at + below.size()));
  return static_cast<int>(std::count(path.begin(), path.end(), '/'));
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// "mailto:", "javascript:", "https:", "data:" ...: nothing this mirror fetches.
bool HasOtherScheme(std::string_view value) {
  std::size_t i = 0;
  while (i < value.size() && (std::isalnum(static_cast<unsigned char>(value[i])) != 0 ||
                              value[i] == '+' || value[i] == '-' || value[i] == '.')) {
    ++i;
  }
  if (i == 0 || i >= value.size() || value[i] != ':') return false;
  if (std::isalpha(static_cast<unsigned char>(value[0])) == 0) return false;
  std::string scheme(value.substr(0, i));
  for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return scheme != "http" && scheme != "https";
}

// A stored name as a relative link: the characters a URL would read as
// something else are escaped, so the link reaches the file of that very name.
std::string EscapeLocalLink(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '%' || c == '?' || c == '#' || c == '"' || c == '\'' || c == '<' || c == '>' ||
        byte <= 0x20 || byte == 0x7F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::string RewriteCore(const RewriteRequest& request, std::string_view value) {
  std::string unchanged(value);  // returned as is on most ways out, so not const
  if (value.empty() || value.front() == '#') return unchanged;
  const auto hash = value.find('#');
  const std::string_view fragment =
      hash == std::string_view::npos ? std::string_view{} : value.substr(hash);
  const std::string_view address = value.substr(0, hash);
  if (HasOtherScheme(address) || address.starts_with("//")) return unchanged;
  const std::string_view path = address.substr(0, address.find('?'));
  if (path.empty()) return unchanged;

  const bool ends_with_slash = path.ends_with('/');
  auto slash = path.rfind('/');
  std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (!ends_with_slash && last.find('.') == std::string_view::npos) return unchanged;
  std::string_view extension = ExtensionOf(last);
  bool is_page = HasWholeWord(request.page_extensions, extension);
  bool is_download = HasWholeWord(request.download_extensions, extension);
  if (!ends_with_slash && !is_page && !is_download) {
    // A page extension that is only part of a longer word is left alone;
    // everything else unknown may be dropped.
    if (request.page_extensions.find(extension) != std::string::npos) return unchanged;
    return request.drop_other ? std::string() : unchanged;
  }

  std::string link = WithBlanksEscaped(address);
  if (!address.starts_with("http:") && !address.starts_with("https:")) {
    auto resolved = ResolveLink(link, BaseUrlOf(request.page_url), false);
    if (!resolved) return unchanged;
    link = std::move(*resolved);
  }

  std::string site_folder = UrlFolderOf(request.site_url);
  std::string below = AnySchemeNeedle(site_folder + "/");
  int depth = SavedDepth(request.page_url, below);

  std::string local;
  if (auto at = link.find(below); at != std::string::npos && !site_folder.empty()) {
    local = Climbs(depth) +
            EscapeLocalLink(LocalLinkPath(std::string_view(link).substr(at + below.size())));
  } else if (is_download && request.another_server) {
    auto cut = link.rfind('/');
    std::string_view name = std::string_view(link).substr(cut == std::string::npos ? 0 : cut + 1);
    local =
        Climbs(depth) + std::string(kAnotherServerFolder) + "/" +
        (name.empty() ? std::string("index.html") : EscapeLocalLink(SanitizeNameComponent(name)));
  } else {
    return link + std::string(fragment);
  }
  if (request.arrived && !request.arrived(link)) return link + std::string(fragment);
  return local + std::string(fragment);
}

}  // namespace

std::string RewriteLinkValue(const RewriteRequest& request, std::string_view value) {
  // Blanks around a value are kept where they were.
  std::size_t begin = 0;
  std::size_t end = value.size();
  while (begin < end && IsBlank(value[begin])) ++begin;
  while (end > begin && IsBlank(value[end - 1])) --end;
  if (begin == end) return std::string(value);
  std::string core = RewriteCore(request, value.substr(begin, end - begin));
  if (core.empty()) return core;
  return std::string(value.substr(0, begin)) + core + std::string(value.substr(end));
}

namespace {

bool IsLinkAttribute(std::string_view name) {
  static constexpr std::string_view kNames[] = {"href",   "src",      "background", "action",
                                                "lowsrc", "longdesc", "cite",       "data",
                                                "poster", "codebase", "usemap"};
  for (auto known : kNames) {
    if (name == known) return true;
  }
  return false;
}

bool IsRefresh(const HtmlTag& tag) {
  if (tag.name != "meta") return false;
  const HtmlAttribute* equiv = tag.Find("http-equiv");
  if (equiv == nullptr) return false;
  std::string lower(equiv->value);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("refresh") != std::string::npos;
}

// Where the rewritten page goes, piece by piece.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual bool Write(std::string_view bytes) = 0;
};

class StringSink : public Sink {
 public:
  bool Write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

// Copies the page to the sink, every link value replaced on its way through.
class LinkRewriter : public HtmlVisitor {
 public:
  LinkRewriter(const RewriteRequest& request, std::string_view page, Sink& sink, std::size_t limit)
      : request_(request), page_(page), sink_(sink), limit_(limit) {}

  bool Run() {
    ScanHtml(page_, *this);
    return Copy(page_.size());
  }

  void OnTag(const HtmlTag& tag) override {
    if (tag.end_tag || failed_) return;
    if (tag.name == "meta" && meta_charset_.empty()) meta_charset_ = CharsetParameterOf(tag.text);
    for (const HtmlAttribute& attribute : tag.attributes) {
      if (!attribute.has_value) continue;
      if (attribute.name == "srcset") {
        // An entry is never cut: its descriptor would be read as the URL.
        for (TextSpan span : SrcsetUrls(attribute.value)) {
          Replace(attribute.value_begin + span.begin, span.size, attribute.quote, false);
        }
      } else if (attribute.name == "content" && IsRefresh(tag)) {
        TextSpan span = RefreshUrl(attribute.value);
        // Nor is a refresh target: "url=" alone reloads the page for ever.
        if (span.size > 0) {
          Replace(attribute.value_begin + span.begin, span.size, attribute.quote, false);
        }
      } else if (IsLinkAttribute(attribute.name)) {
        Replace(attribute.value_begin, attribute.value.size(), attribute.quote, true);
      }
    }
  }

 private:
  // The value is judged as a browser reads it, its character references
  // decoded; one left as it was keeps the bytes the server sent, and a new one
  // is written back with "&" and the quote escaped. Only a whole value may be
  // cut, or quoted when it was not.
  void Replace(std::size_t begin, std::size_t size, char quote, bool whole_value) {
    if (begin < copied_) return;
    std::string old_value = DecodeCharRefs(
        page_.substr(begin, size),
        request_.declared_charset.empty() ? meta_charset_ : request_.declared_charset);
    std::string new_value = RewriteLinkValue(request_, old_value);
    if (new_value == old_value || (new_value.empty() && !whole_value)) return;
    new_value = EscapeAttributeValue(new_value, quote);
    bool needs_quotes =
        whole_value && quote == 0 &&
        (new_value.empty() || new_value.find_first_of(" \t\r\n\f\"'=<>`") != std::string::npos);
    if (!Copy(begin)) return;
    if (needs_quotes) {
      Emit("\"" + new_value + "\"");
    } else {
      Emit(new_value);
    }
    copied_ = begin + size;
  }

  bool Copy(std::size_t upto) {
    if (upto > copied_) Emit(page_.substr(copied_, upto - copied_));
    copied_ = std::max(copied_, upto);
    return !failed_;
  }

  void Emit(std::string_view bytes) {
    if (failed_) return;
    written_ += bytes.size();
    if (written_ > limit_ || !sink_.Write(bytes)) failed_ = true;
  }

  const RewriteRequest& request_;
  std::string_view page_;
  Sink& sink_;
  std::size_t limit_;
  std::size_t copied_ = 0;
  std::size_t written_ = 0;
  bool failed_ = false;
  std::string meta_charset_;
};

class StreamSink : public Sink {
 public:
  explicit StreamSink(std::FILE* file) : file_(file) {}
  bool Write(std::string_view bytes) override {
    return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
  }

 private:
  std::FILE* file_;
};

// A file written through a buffer, in place of the target only once complete.
class AtomicFileSink : public Sink {
 public:
  explicit AtomicFileSink(const std::string& path) : path_(path), temp_(path + ".tmpXXXXXX") {
    platform::UniqueFd fd(::mkstemp(temp_.data()));
    if (!fd) return;
    struct stat st {};
    // Keeping the old page's permissions is a courtesy; without it the
    // rewritten page has those of a new file.
    if (::stat(path.c_str(), &st) == 0) (void)::fchmod(fd.get(), st.st_mode & 07777);
    file_.reset(::fdopen(fd.get(), "wb"));
    if (file_) {
      (void)fd.release();  // the stream owns the descriptor now
    } else {
      fd.reset();
      DropTemp();
    }
  }
  ~AtomicFileSink() override {
    if (file_) {
      file_.reset();
      DropTemp();
    }
  }
  bool Write(std::string_view bytes) override {
    return file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size();
  }
  bool Commit() {
    if (!file_) return false;
    bool ok = std::fflush(file_.get()) == 0 && ::fsync(::fileno(file_.get())) == 0;
    ok = file_.Close() && ok;
    if (ok && std::rename(temp_.c_str(), path_.c_str()) == 0) return true;
    DropTemp();
    return false;
  }

 private:
  // The temporary file is ours alone; one that cannot be removed is only
  // clutter beside the page, which stays as it was.
  void DropTemp() { (void)::unlink(temp_.c_str()); }

  std::string path_;
  std::string temp_;
  platform::UniqueFile file_;
};

// Each value may grow by a "../" per folder of the page's address: a page
// that would swell far beyond any real rewriting stays as the server sent it.
std::size_t GrowthLimit(std::size_t size) { return size * 8 + 1024 * 1024; }

bool RewriteInto(const RewriteRequest& request, std::string_view original,
                 const std::string& local_file) {
  AtomicFileSink sink(local_file);
  LinkRewriter rewriter(request, original, sink, GrowthLimit(original.size()));
  if (!rewriter.Run()) return false;
  return sink.Commit();
}

}  // namespace

std::optional<std::string> ReadSavedPage(const std::string& path) {
  // Pages are exempt from the size limits; one larger than the parser reads
  // stays as the server sent it.
  auto size = platform::FileSizeOf(path);
  if (!size || *size > static_cast<std::int64_t>(kMaxPageBytes)) return std::nullopt;
  // Read into a text of the file's size: grown piece by piece, it would hold
  // up to twice the page while it is copied into a larger buffer.
  platform::UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(*size), '\0');
  std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  bool more = std::fgetc(file.get()) != EOF;
  file.reset();
  if (got != bytes.size() || more) return std::nullopt;  // changed while read
  return bytes;
}

bool WriteRewrittenPage(const RewriteRequest& request, std::string_view page, std::FILE* file) {
  StreamSink sink(file);
  LinkRewriter rewriter(request, page, sink, GrowthLimit(page.size()));
  return rewriter.Run();
}

std::string RewritePageText(const RewriteRequest& request, std::string_view page) {
  StringSink sink;
  LinkRewriter rewriter(request, page, sink, std::string::npos);
  rewriter.Run();
  return std::move(sink.text);
}

bool RewriteSavedPage(const RewriteRequest& request, const std::string& local_file) {
  auto original = ReadSavedPage(local_file);
  if (!original) return false;
  if (!platform::WriteFileAtomically(local_file + "buf", *original)) return false;
  return RewriteInto(request, *original, local_file);
}

bool RewriteSavedPageAgain(const RewriteRequest& request, const std::string& local_file) {
  auto original = ReadSavedPage(local_file + "buf");
  if (!original) return false;
  return RewriteInto(request, *original, local_file);
}

}  // namespace marovine
