#include "marovine/engine/html_scanner.h"

#include <cstring>

namespace marovine {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The first occurrence of needle (lower-case) in page from `from` on, compared
// without regard to ASCII case; npos when there is none.
std::size_t FindNoCase(std::string_view page, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from;
  const char first = needle.front();
  while (from + needle.size() <= page.size()) {
    const void* hit = std::memchr(page.data() + from, first, page.size() - from);
    if (hit == nullptr) return std::string_view::npos;
    std::size_t at = static_cast<const char*>(hit) - page.data();
    if (at + needle.size() > page.size()) return std::string_view::npos;
    std::size_t k = 1;
    while (k < needle.size() && Lower(page[at + k]) == needle[k]) ++k;
    if (k == needle.size()) return at;
    from = at + 1;
  }
  return std::string_view::npos;
}

bool IsRawTextElement(std::string_view name) {
  return name == "script" || name == "style" || name == "textarea" || name == "title" ||
         name == "xmp";
}

class Scanner {
 public:
  Scanner(std::string_view page, HtmlVisitor& visitor) : page_(page), visitor_(visitor) {}

  void Run() {
    std::size_t pos = 0;
    while (pos < page_.size()) {
      const void* open = std::memchr(page_.data() + pos, '<', page_.size() - pos);
      if (open == nullptr) return;
      std::size_t at = static_cast<const char*>(open) - page_.data();
      pos = At(at);
    }
  }

 private:
  // Handles what starts with the "<" at `at`; answers where scanning goes on.
  std::size_t At(std::size_t at) {
    std::size_t next = at + 1;
    if (next >= page_.size()) return page_.size();
    char c = page_[next];
    if (page_.substr(next).starts_with("!--")) {
      auto close = page_.find("-->", next + 3);
      return close == std::string_view::npos ? page_.size() : close + 3;
    }
    if (c == '!' || c == '?') {
      auto close = page_.find('>', next);
      return close == std::string_view::npos ? page_.size() : close + 1;
    }
    bool end_tag = false;
    if (c == '/') {
      end_tag = true;
      ++next;
      if (next >= page_.size() || !IsLetter(page_[next])) {
        auto close = page_.find('>', next);
        return close == std::string_view::npos ? page_.size() : close + 1;
      }
    } else if (!IsLetter(c)) {
      return next;  // a "<" in text
    }
    tag_.name.clear();
    tag_.attributes.clear();
    tag_.end_tag = end_tag;
    tag_.begin = at;
    std::size_t pos = next;
    while (pos < page_.size() && !IsBlank(page_[pos]) && page_[pos] != '/' && page_[pos] != '>') {
      tag_.name += Lower(page_[pos]);
      ++pos;
    }
    pos = Attributes(pos);
    tag_.end = pos;
    tag_.text = page_.substr(at + 1, pos - at - 1);
    visitor_.OnTag(tag_);
    if (end_tag || !IsRawTextElement(tag_.name) || pos >= page_.size()) return pos;
    std::string closing = "</" + tag_.name;
    auto stop = FindNoCase(page_, closing, pos);
    if (stop == std::string_view::npos) stop = page_.size();
    visitor_.OnRawText(tag_, page_.substr(pos, stop - pos));
    return stop;
  }

  // Reads attributes up to and including the ">" that ends the tag; answers
  // the offset just past it (the page's end when the tag is left open).
  std::size_t Attributes(std::size_t pos) {
    while (pos < page_.size()) {
      char c = page_[pos];
      if (c == '>') return pos + 1;
      if (IsBlank(c) || c == '/') {
        ++pos;
        continue;
      }
      HtmlAttribute attribute;
      // A name runs to a blank, "/", ">" or "="; a "=" that opens it belongs to it.
      do {
        attribute.name += Lower(page_[pos]);
        ++pos;
      } while (pos < page_.size() && !IsBlank(page_[pos]) && page_[pos] != '/' &&
               page_[pos] != '>' && page_[pos] != '=');
      std::size_t after_name = pos;
      while (pos < page_.size() && IsBlank(page_[pos])) ++pos;
      if (pos >= page_.size() || page_[pos] != '=') {
        tag_.attributes.push_back(std::move(attribute));
        pos = after_name;
        continue;
      }
      ++pos;
      while (pos < page_.size() && IsBlank(page_[pos])) ++pos;
      if (pos >= page_.size()) break;
      attribute.has_value = true;
      char quote = page_[pos];
      if (quote == '"' || quote == '\'') {
        auto close = page_.find(quote, pos + 1);
        if (close == std::string_view::npos) return page_.size();  // left open: not a tag
        attribute.quote = quote;
        attribute.value_begin = pos + 1;
        attribute.value = page_.substr(pos + 1, close - pos - 1);
        pos = close + 1;
      } else {
        std::size_t begin = pos;
        while (pos < page_.size() && !IsBlank(page_[pos]) && page_[pos] != '>') ++pos;
        attribute.value_begin = begin;
        attribute.value = page_.substr(begin, pos - begin);
      }
      tag_.attributes.push_back(std::move(attribute));
    }
    return page_.size();
  }

  std::string_view page_;
  HtmlVisitor& visitor_;
  HtmlTag tag_;
};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view Unquote(std::string_view text) {
  text = Trim(text);
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
      text.back() == text.front()) {
    text = Trim(text.substr(1, text.size() - 2));
  }
  return text;
}

}  // namespace

const HtmlAttribute* HtmlTag::Find(std::string_view attribute_name) const {
  for (const auto& attribute : attributes) {
    if (attribute.name == attribute_name) return &attribute;
  }
  return nullptr;
}

void ScanHtml(std::string_view page, HtmlVisitor& visitor) { Scanner(page, visitor).Run(); }

std::vector<std::string_view> CssLinks(std::string_view css) {
  std::vector<std::string_view> links;
  constexpr auto npos = std::string_view::npos;
  // Each search starts again only once scanning has passed its last answer,
  // so a long stylesheet is read once per kind of rule.
  std::size_t url = FindNoCase(css, "url(", 0);
  std::size_t import = FindNoCase(css, "@import", 0);
  std::size_t pos = 0;
  while (url != npos || import != npos) {
    if (import != npos && (url == npos || import < url)) {
      std::size_t at = import + 7;
      while (at < css.size() && IsBlank(css[at])) ++at;
      pos = at;
      if (at < css.size() && (css[at] == '"' || css[at] == '\'')) {
        auto close = css.find(css[at], at + 1);
        if (close == npos) break;
        links.push_back(Trim(css.substr(at + 1, close - at - 1)));
        pos = close + 1;
      }  // else "@import url(...)", which the url( rule takes
      import = FindNoCase(css, "@import", pos);
      if (url != npos && url < pos) url = FindNoCase(css, "url(", pos);
      continue;
    }
    std::size_t at = url + 4;
    auto close = css.find(')', at);
    if (close == npos) break;
    std::string_view value = Unquote(css.substr(at, close - at));
    if (!value.empty()) links.push_back(value);
    pos = close + 1;
    url = FindNoCase(css, "url(", pos);
    if (import != npos && import < pos) import = FindNoCase(css, "@import", pos);
  }
  return links;
}

std::vector<TextSpan> SrcsetUrls(std::string_view value) {
  std::vector<TextSpan> urls;
  std::size_t pos = 0;
  while (pos < value.size()) {
    while (pos < value.size() && (IsBlank(value[pos]) || value[pos] == ',')) ++pos;
    if (pos >= value.size()) break;
    std::size_t begin = pos;
    while (pos < value.size() && !IsBlank(value[pos])) ++pos;
    std::size_t end = pos;
    // A URL may itself hold commas; only trailing ones separate entries.
    while (end > begin && value[end - 1] == ',') --end;
    urls.push_back({begin, end - begin});
    if (end < pos) continue;  // the comma ended this entry; no descriptor
    // Skip the descriptor ("2x", "480w") up to the next comma.
    auto comma = value.find(',', pos);
    pos = comma == std::string_view::npos ? value.size() : comma + 1;
  }
  return urls;
}

std::string WithBlanksEscaped(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (IsBlank(c)) {
      out += "%20";
    } else {
      out += c;
    }
  }
  return out;
}

TextSpan RefreshUrl(std::string_view content) {
  auto at = FindNoCase(content, "url", 0);
  if (at == std::string_view::npos) return {};
  std::size_t pos = at + 3;
  while (pos < content.size() && IsBlank(content[pos])) ++pos;
  if (pos >= content.size() || content[pos] != '=') return {};
  ++pos;
  while (pos < content.size() && IsBlank(content[pos])) ++pos;
  std::size_t end = content.size();
  if (pos < content.size() && (content[pos] == '"' || content[pos] == '\'')) {
    auto close = content.find(content[pos], pos + 1);
    ++pos;
    end = close == std::string_view::npos ? content.size() : close;
  }
  while (end > pos && IsBlank(content[end - 1])) --end;
  return {pos, end - pos};
}

}  // namespace marovine
