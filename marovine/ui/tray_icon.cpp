#include "marovine/ui/tray_icon.h"

#include <wx/defs.h>
#include <wx/menu.h>
#include <wx/taskbar.h>

#include <utility>

#include "marovine/ui/ui_artwork.h"

namespace marovine::ui {
namespace {

constexpr char kTip[] = "Marovine Ver3";

// wx takes menu ids below 0x7fff only, so the tray menu has ids of its own
// and runs the frame's actions directly rather than routing commands.
enum TrayCommand {
  kRestore = wxID_HIGHEST + 1,
  kStart,
  kStop,
  kAbout,
  kQuit,
};

class TaskBarIcon : public wxTaskBarIcon {
 public:
  explicit TaskBarIcon(MarovineTrayIcon::Actions actions) : actions_(std::move(actions)) {
    Bind(wxEVT_TASKBAR_LEFT_DOWN, [this](wxTaskBarIconEvent&) { Run(actions_.restore); });
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Run(actions_.restore); }, kRestore);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Run(actions_.start); }, kStart);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Run(actions_.stop); }, kStop);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Run(actions_.about); }, kAbout);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Run(actions_.quit); }, kQuit);
  }

 protected:
  // wx shows this menu on a right click and deletes it afterwards.
  wxMenu* CreatePopupMenu() override { return MarovineTrayIcon::CreateMenu(); }

 private:
  static void Run(const std::function<void()>& action) {
    if (action) action();
  }

  MarovineTrayIcon::Actions actions_;
};

}  // namespace

struct MarovineTrayIcon::Impl {
  // The three frames are drawn once, not at every 1.5 s step.
  wxIcon frames[3];
  TaskBarIcon* icon = nullptr;  // destroyed through Destroy(), as wx wants
  int shown = 0;

  void Show(int frame) {
    shown = frame;
    if (icon) icon->SetIcon(frames[frame], kTip);
  }
};

MarovineTrayIcon::MarovineTrayIcon(Actions actions) : impl_(std::make_unique<Impl>()) {
  for (int frame = 0; frame < 3; ++frame) impl_->frames[frame] = TrayIconFrame(frame);
  // Without a tray the object still counts frames, so a frame that keeps
  // one anyway behaves the same; nothing is shown.
  if (Available()) impl_->icon = new TaskBarIcon(std::move(actions));
  impl_->Show(0);
}

MarovineTrayIcon::~MarovineTrayIcon() {
  if (impl_->icon) {
    impl_->icon->RemoveIcon();
    impl_->icon->Destroy();
  }
}

void MarovineTrayIcon::AnimationStep(bool animate) {
  if (animate) {
    impl_->Show((impl_->shown + 1) % 3);
  } else if (impl_->shown != 0) {
    impl_->Show(0);
  }
}

int MarovineTrayIcon::shown_frame() const { return impl_->shown; }

wxMenu* MarovineTrayIcon::CreateMenu() {
  auto* menu = new wxMenu;
  menu->Append(kRestore, wxString::FromUTF8("元のサイズに戻す(&R)"));
  menu->AppendSeparator();
  menu->Append(kStart, wxString::FromUTF8("まろびね開始(&S)"));
  menu->Append(kStop, wxString::FromUTF8("まろびね停止(&T)"));
  menu->AppendSeparator();
  menu->Append(kAbout, wxString::FromUTF8("バージョン情報(&V)"));
  menu->AppendSeparator();
  menu->Append(kQuit, wxString::FromUTF8("アプリケーションの終了(&Q)"));
  return menu;
}

bool MarovineTrayIcon::Available() { return wxTaskBarIcon::IsAvailable(); }

}  // namespace marovine::ui
