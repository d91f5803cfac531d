#pragma once

#include <string>
#include <unordered_map>

namespace marovine {

// The local paths the items of the download list hold. A path is an item's
// from the moment it is given until the item leaves the list, so two items
// never share a file: neither resumes onto, truncates nor deletes the other's
// file, whatever order their answers come in. Kept in step with the list by
// the document; look-ups are hash look-ups, so a list of 10,000 items costs
// nothing per name.
class LocalNameReservations {
 public:
  void Add(const std::string& path);
  void Remove(const std::string& path);
  void Clear();

  // How many listed items hold the path.
  int Holders(const std::string& path) const;
  // True when an item other than one holding `own` holds the path.
  bool HeldByOther(const std::string& path, const std::string& own) const;

  // `path` when no other item holds it (and, with `check_disk`, no file is
  // there), else its first numbered form "stem(n).ext" free of both. `own` is
  // the path the asking item holds now, empty for a new item.
  std::string FreeName(const std::string& path, const std::string& own, bool check_disk);

 private:
  std::unordered_map<std::string, int> holders_;
  // The last number handed out for a name, by its unnumbered form: when
  // hundreds of items share one name (every folder's "index.html"), the
  // search starts there, not at 1, also for a numbered name met again on disk.
  std::unordered_map<std::string, int> last_number_;
};

}  // namespace marovine
