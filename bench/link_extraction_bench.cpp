// Link extraction throughput on a generated corpus of gallery-like pages,
// against libgumbo parsing the same bytes into a tree and walking it for the
// same attributes (href, src, action, background, meta content). Prints both
// rates and the ratio; the goal is at least three times gumbo's rate.
#include <gumbo.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "marovine/engine/page_parser.h"

namespace {

constexpr std::size_t kCorpusBytes = 50u * 1024u * 1024u;

struct Random {
  std::uint32_t state = 12345;
  std::uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
};

std::string GalleryPage(int number, Random& random) {
  std::string page;
  page.reserve(40 * 1024);
  page += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html lang=\"ja\">\n";
  page += "<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n";
  page += "<title>写真ギャラリー 第" + std::to_string(number) + "集</title>\n";
  page += "<link rel=\"stylesheet\" href=\"../css/gallery.css\" type=\"text/css\">\n";
  page +=
      "<script type=\"text/javascript\">function pop(u){window.open(u,'p','width=640');}"
      "</script>\n</head>\n<body bgcolor=\"#ffffff\" background=\"../img/bg.gif\">\n";
  page += "<div class=\"nav\"><a href=\"../index.html\">トップ</a> | <a href=\"page" +
          std::to_string(number + 1) +
          ".html\">次へ</a> | <a href='mailto:owner@example.jp'>"
          "メール</a></div>\n<table border=\"0\" cellspacing=\"4\" cellpadding=\"2\">\n";
  int pictures = 60 + static_cast<int>(random.Next() % 40);
  for (int i = 0; i < pictures; ++i) {
    if (i % 5 == 0) page += "<tr>\n";
    std::string id = std::to_string(number * 1000 + i);
    page += "<td align=\"center\" valign=\"top\"><a href=\"photos/p" + id +
            ".jpg\" target=\"_blank\"><img src=\"thumbs/p" + id +
            "_s.jpg\" width=\"120\" height=\"90\" border=\"0\" alt=\"写真 " + id +
            "\"></a><br>\n<font size=\"-1\">撮影日 2001/01/05 説明文がここに入ります。" +
            std::string(random.Next() % 120, 'x') + "</font></td>\n";
    if (i % 5 == 4) page += "</tr>\n";
  }
  page +=
      "</table>\n<form action=\"../cgi-bin/search.cgi\" method=\"get\"><input type=\"text\" "
      "name=\"q\" size=\"20\"><input type=\"submit\" value=\"検索\"></form>\n";
  page += "<p>Copyright (C) 2001 example. 無断転載禁止。</p>\n</body>\n</html>\n";
  return page;
}

std::size_t ExtractWithParser(const std::vector<std::string>& pages) {
  std::size_t links = 0;
  marovine::CPageParser parser;
  parser.page_extensions = "htm html HTML HTM shtml SHTML";
  parser.download_extensions = "jpg jpeg mpg mpeg JPG JPEG MPG MPEG zip lzh rar avi mov mp3";
  parser.site_url = "http://www.example.jp/gallery/index.html";
  parser.scope = 2;
  parser.background = 1;
  for (const auto& page : pages) {
    parser.base_url = "http://www.example.jp/gallery/vol/page.html";
    parser.ParseText(page);
    while (!parser.NextLink().empty()) ++links;
  }
  return links;
}

void Walk(const GumboNode* node, std::size_t& found) {
  if (node->type != GUMBO_NODE_ELEMENT) return;
  const GumboElement& element = node->v.element;
  for (const char* name : {"href", "src", "action", "background", "content"}) {
    if (gumbo_get_attribute(&element.attributes, name) != nullptr) ++found;
  }
  for (unsigned i = 0; i < element.children.length; ++i) {
    Walk(static_cast<const GumboNode*>(element.children.data[i]), found);
  }
}

std::size_t ExtractWithGumbo(const std::vector<std::string>& pages) {
  std::size_t found = 0;
  for (const auto& page : pages) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
    Walk(output->root, found);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
  }
  return found;
}

template <typename Run>
double MegabytesPerSecond(std::size_t bytes, Run run, std::size_t& result) {
  auto start = std::chrono::steady_clock::now();
  result = run();
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  return static_cast<double>(bytes) / (1024.0 * 1024.0) / seconds.count();
}

}  // namespace

int main() {
  Random random;
  std::vector<std::string> pages;
  std::size_t bytes = 0;
  for (int number = 1; bytes < kCorpusBytes; ++number) {
    pages.push_back(GalleryPage(number, random));
    bytes += pages.back().size();
  }
  std::printf("corpus: %zu pages, %.1f MB\n", pages.size(), bytes / (1024.0 * 1024.0));

  std::size_t parser_links = 0;
  std::size_t gumbo_attributes = 0;
  double ours = MegabytesPerSecond(
      bytes, [&] { return ExtractWithParser(pages); }, parser_links);
  double gumbo = MegabytesPerSecond(
      bytes, [&] { return ExtractWithGumbo(pages); }, gumbo_attributes);
  std::printf("CPageParser: %8.1f MB/s (%zu links accepted)\n", ours, parser_links);
  std::printf("gumbo:       %8.1f MB/s (%zu link attributes)\n", gumbo, gumbo_attributes);
  std::printf("ratio:       %8.2fx (goal >= 3x)\n", ours / gumbo);
  return 0;
}
