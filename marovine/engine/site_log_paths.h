#pragma once

#include <string>
#include <string_view>

namespace marovine {

// The per-site logs in the program folder's "Log/": the detail log
// (name + ".txt") and the link log (name + "_link.txt"), named after the
// site URL without "http://" and with "/", "?", ",", ">", "<" made "_"
// ("Normal_Download" for direct downloads). The name is sanitised like every
// name built from a URL, so a log never lands outside "Log/".
std::string SiteLogName(std::string_view site_url);
std::string SiteDetailLogPath(std::string_view log_folder, std::string_view site_url);
std::string SiteLinkLogPath(std::string_view log_folder, std::string_view site_url);

}  // namespace marovine
