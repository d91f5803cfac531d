#pragma once

#include <string>
#include <string_view>

namespace marovine {

// Makes a page saved by the whole-site mode browsable offline: every quoted
// attribute value inside a tag that names a page or a download of the site
// becomes a link relative to the page's place in the local tree. Bytes outside
// quoted values never change.
struct RewriteRequest {
  std::string page_url;             // the saved page's URL
  std::string site_url;             // the site's start URL
  std::string page_extensions;      // blank-separated
  std::string download_extensions;  // blank-separated
  bool drop_other = false;          // CutImgSrc: values naming anything else become empty
  bool another_server = false;      // DownAnotherServer: other hosts' downloads are local too
};

// The new text of one quoted value.
std::string RewriteLinkValue(const RewriteRequest& request, std::string_view value);

// The whole page with its quoted values inside tags rewritten. A quote left
// open at the end of the page is copied as it stands.
std::string RewritePageText(const RewriteRequest& request, std::string_view page);

// Rewrites the saved page in place. The page as the server sent it is kept
// beside it as its name + "buf" (a not-modified answer later restores it from
// there). Either file is replaced atomically, so on any failure the page stays
// readable: answers false and leaves the page as it was.
bool RewriteSavedPage(const RewriteRequest& request, const std::string& local_file);

}  // namespace marovine
