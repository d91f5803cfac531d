#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marovine {

// One attribute of a start tag, with the place of its value in the page so
// that a rewriter can replace exactly those bytes.
struct HtmlAttribute {
  std::string name;  // lower-cased
  std::string_view value;
  std::size_t value_begin = 0;  // offset of the value in the page (inside the quotes)
  char quote = 0;               // '"', '\'' or 0 for an unquoted value
  bool has_value = false;
};

struct HtmlTag {
  std::string name;  // lower-cased, without "/" for an end tag
  bool end_tag = false;
  std::string_view text;  // between "<" and ">", the ">" included (when the page has it)
  std::size_t begin = 0;  // offset of the "<"
  std::size_t end = 0;    // offset just past the ">"
  std::vector<HtmlAttribute> attributes;

  const HtmlAttribute* Find(std::string_view attribute_name) const;
};

// Walks a page the way a browser splits it into tags: a quote opened after
// "=" runs to its closing quote, so a value may hold "<" and ">"; comments,
// declarations ("<!DOCTYPE", "<?xml") and the contents of script, style and
// textarea elements are not tags. Text between tags is not reported.
class HtmlVisitor {
 public:
  virtual ~HtmlVisitor() = default;
  virtual void OnTag(const HtmlTag& tag) = 0;
  // The text of a script, style, textarea or title element, after OnTag for
  // its start tag.
  virtual void OnRawText(const HtmlTag& /*start*/, std::string_view /*text*/) {}
};

void ScanHtml(std::string_view page, HtmlVisitor& visitor);

// The link values a stylesheet names: "url(...)" and "@import '...'", each
// without quotes and blanks around it.
std::vector<std::string_view> CssLinks(std::string_view css);

// The URLs of a "srcset" value ("a.jpg 1x, b.jpg 2x"): offset and length of
// each inside the value.
struct TextSpan {
  std::size_t begin = 0;
  std::size_t size = 0;
};
std::vector<TextSpan> SrcsetUrls(std::string_view value);

// A link value with its inner blanks written as "%20", as a browser sends
// it: found links are kept blank-separated, and the server knows the name so.
std::string WithBlanksEscaped(std::string_view value);

// Where the URL of a meta refresh content ("0; url=next.html") lies; size 0
// when it has none.
TextSpan RefreshUrl(std::string_view content);

}  // namespace marovine
