#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace marovine {

// How much of a saved page is parsed; the rest of a larger one is not read.
inline constexpr std::size_t kMaxPageBytes = 64 * 1024 * 1024;

// Reads a saved page once and pulls out its title and the links worth
// following or fetching. There is no document tree: each tag (as a browser
// splits the page, quotes respected) is judged by a handful of substring
// rules, which is what keeps it fast and lets it cope with any page a server
// may send. Values are read as a browser reads them, character references
// ("&amp;") decoded; the files a page needs (scripts, stylesheets, srcset and lazily
// loaded pictures, url() in styles) are taken from its attributes besides.
//
// The caller fills the inputs, calls ParsePage (or ParseText), then reads
// links with NextLink until it answers an empty text.
class CPageParser {
 public:
  // Out: the page's title in UTF-8, empty when the page has none.
  std::string title;

  // In.
  std::string download_extensions;  // blank-separated, case-sensitive words
  std::string page_extensions;      // blank-separated, case-sensitive words
  std::string site_url;             // scope and depth are measured from it
  std::string local_file;           // the saved page
  std::string base_url;             // the page's URL; cut after its last "/" by the parse
  std::string declared_charset;     // from the HTTP head when known; else the page's meta
  int drop_other = 0;               // used by the whole-site rewriting only
  int depth_limit = 0;              // 0 = off
  int background = 0;               // take "background" attributes
  int always_take_downloads = 0;    // download links skip scope and depth
  int scope = 2;                    // 0 any, 1 same host, 2 the site's folder, else none
  int auto_jump = 0;                // meta refresh targets skip scope and depth
  int frame = 0;                    // frame sources skip scope and depth
  int stylesheet = 0;               // the file is a stylesheet: its url() and @import are links

  // Clears the title and links, then parses the local file (nothing when it
  // cannot be read; only its first kMaxPageBytes when it is larger).
  void ParsePage();
  // The same on bytes already in memory.
  void ParseText(std::string_view page);

  // Removes and answers the first accepted link; empty when none is left.
  std::string NextLink();

  // The accepted links not yet taken, each followed by one blank.
  std::string_view FoundLinks() const;

 private:
  class TagVisitor;
  // Answers the value the rules cut out of the tag (empty when none).
  std::string ApplyTagRules(std::string_view tag);
  // An attribute value as written, its character references decoded in the
  // page's charset.
  std::string AttributeText(std::string_view raw) const;
  void Accept(std::string_view value, bool always_take);

  std::string found_links_;
  std::size_t found_count_ = 0;
  std::size_t next_link_ = 0;
  std::string lower_tag_;  // reused between tags
  std::string meta_charset_;
  std::string site_folder_;
  std::string site_host_;
  int site_slashes_ = 0;
};

}  // namespace marovine
