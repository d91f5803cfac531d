#pragma once

#include <functional>
#include <memory>

class wxMenu;

namespace marovine::ui {

// The notification-area icon with its animation and menu. Built only when
// the desktop has a tray (wxTaskBarIcon::IsAvailable()); the frame must stay
// reachable without one, so minimising is the frame's decision, not this
// class's.
class MarovineTrayIcon {
 public:
  struct Actions {
    std::function<void()> restore;  // left click and "元のサイズに戻す(&R)"
    std::function<void()> start;    // "まろびね開始(&S)"
    std::function<void()> stop;     // "まろびね停止(&T)"
    std::function<void()> about;    // "バージョン情報(&V)"
    std::function<void()> quit;     // "アプリケーションの終了(&Q)"
  };

  explicit MarovineTrayIcon(Actions actions);
  ~MarovineTrayIcon();
  MarovineTrayIcon(const MarovineTrayIcon&) = delete;
  MarovineTrayIcon& operator=(const MarovineTrayIcon&) = delete;

  // Called every 1.5 s by the frame's timer: advances the animation while
  // `animate` holds, else puts the idle icon back (once).
  void AnimationStep(bool animate);
  // The frame shown now (0 idle, 1 or 2), for tests.
  int shown_frame() const;

  static bool Available();
  // The menu a right click shows (restore, start, stop, about, quit); its
  // items run the actions. The caller owns it.
  static wxMenu* CreateMenu();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace marovine::ui
