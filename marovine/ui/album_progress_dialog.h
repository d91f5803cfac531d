#pragma once

#include <wx/dialog.h>

#include <memory>
#include <string>
#include <vector>

#include "marovine/album/album_commands.h"
#include "marovine/album/album_progress.h"

class wxGauge;
class wxStaticText;
class wxWindowDisabler;

namespace marovine {

// "Marovine HTML Album Creater": the progress of one album run, with
// "ｷｬﾝｾﾙ". It shows itself when the run starts and keeps the rest of the
// program disabled until it is destroyed. While it lets the user press
// "ｷｬﾝｾﾙ" it handles only input and drawing, never timers, so a crawl tick
// that makes a site's album is not entered a second time.
class AlbumProgressDialog : public wxDialog, public AlbumProgress {
 public:
  explicit AlbumProgressDialog(wxWindow* parent);
  ~AlbumProgressDialog() override;

  void Started(int count) override;
  void Advanced(int done, int count) override;
  void ShowMessage(const std::string& text) override;

  wxGauge* bar() const { return bar_; }
  wxStaticText* counter() const { return counter_; }

 private:
  void LetUserAct();

  wxGauge* bar_ = nullptr;
  wxStaticText* counter_ = nullptr;
  std::unique_ptr<wxWindowDisabler> disabler_;
  wxLongLong last_yield_ = 0;
};

// The album commands with their progress shown.
AlbumRunResult MakeFolderAlbumShowingProgress(wxWindow* parent, const std::string& folder,
                                              const AlbumSettings& settings);
AlbumRunResult MakeSiteAlbumsShowingProgress(wxWindow* parent, const std::vector<AlbumSite>& sites,
                                             const std::string& program_folder,
                                             const AlbumSettings& settings);
AlbumRunResult MakeAutomaticAlbumShowingProgress(wxWindow* parent, const AlbumSite& site,
                                                 const std::vector<std::string>& finished_paths,
                                                 const AlbumSettings& settings);

}  // namespace marovine
