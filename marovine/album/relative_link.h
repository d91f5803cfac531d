#pragma once

#include <string>
#include <string_view>

namespace marovine {

// The link from one file to another as the album writes it into href and src:
// "../" for each folder to climb from `from`'s folder, then the folders to
// descend into, then the target's name. Folders compare exactly (case
// matters). When the two share no folder at all (relative paths that part at
// the top, or one path absolute and the other relative), the target's full
// path is the link.
std::string RelativeLink(std::string_view from, std::string_view to);

}  // namespace marovine
