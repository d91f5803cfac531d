#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace marovine {

class CMarovineDoc;
class UiServices;

// "バナー登録": remembers the saved files of the selected downloads in the
// banner list by their size, walking from the last selected row to the first.
// With "DeleteBanner" on, each registered file is deleted with its download
// item. Items whose transfer runs and files that are gone are skipped; when
// the list cannot be written the command stops there. Answers how many
// files were registered.
int RegisterDownloadsAsBanners(CMarovineDoc& doc, const std::vector<int>& download_rows);
inline constexpr std::size_t kMaxBannerSelection = 500;

// "バナーファイルの更新": asks for a difference file and merges it.
void MergeBannerDifferenceCommand(CMarovineDoc& doc, UiServices& ui);
// Appends the entry lines and numbers of a difference file to the banner
// list, then offers to delete the difference file. False (after saying so)
// when one of the files cannot be opened.
bool MergeBannerDifferenceFile(CMarovineDoc& doc, UiServices& ui, const std::string& path);

inline constexpr const char* kBannerDifferenceFilter = "banner.dat差分ファイル(*.*)|*.*||";
inline constexpr const char* kCannotOpen = "開けません";
inline constexpr const char* kCannotOpenDifference = "差分ファイルを開けません";
inline constexpr const char* kDeleteDifferenceQuestion =
    "終了しました。差分ファイルを消去しますか？";

}  // namespace marovine
