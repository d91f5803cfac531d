#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace marovine {

// Makes a page saved by the whole-site mode browsable offline: every link in
// a URL-bearing attribute (href, src, srcset, the URL of a meta refresh, ...)
// that names a page or a download of the site becomes a link relative to the
// page's place in the local tree, its "#fragment" kept. Nothing else changes:
// no other attribute, nothing in scripts, styles or comments, and every byte
// outside the changed values stays as the server sent it.
struct RewriteRequest {
  std::string page_url;             // the saved page's URL
  std::string site_url;             // the site's start URL
  std::string page_extensions;      // blank-separated
  std::string download_extensions;  // blank-separated
  std::string declared_charset;     // from the HTTP head when known; else the page's meta
  bool drop_other = false;          // CutImgSrc: values naming anything else become empty
  bool another_server = false;      // DownAnotherServer: other hosts' downloads are local too
  // When set, a link that would be made local keeps its absolute URL unless
  // this answers true for that URL (its file has arrived).
  std::function<bool(const std::string& url)> arrived;
};

// The new text of one value, as a browser reads it (character references
// already decoded).
std::string RewriteLinkValue(const RewriteRequest& request, std::string_view value);

// The whole page with its links rewritten. A tag left open at the end of the
// page is copied as it stands.
std::string RewritePageText(const RewriteRequest& request, std::string_view page);

// A saved page read whole, or nothing when it cannot be read or is larger
// than the parser reads (such a page stays as the server sent it).
std::optional<std::string> ReadSavedPage(const std::string& path);

// Writes the page with its links rewritten to `file`. False on a write error,
// or when the page would swell far beyond any real rewriting.
bool WriteRewrittenPage(const RewriteRequest& request, std::string_view page, std::FILE* file);

// Rewrites the saved page in place. The page as the server sent it is kept
// beside it as its name + "buf" (a not-modified answer later restores it from
// there). Either file is replaced atomically, so on any failure the page stays
// readable: answers false and leaves the page as it was.
// The page is written as it is read, so a large page costs its own size in
// memory and little more.
bool RewriteSavedPage(const RewriteRequest& request, const std::string& local_file);

// Rewrites the page again from the original kept beside it (when a site's run
// has ended and it is known which files arrived). False, and the page
// untouched, when there is no original.
bool RewriteSavedPageAgain(const RewriteRequest& request, const std::string& local_file);

}  // namespace marovine
