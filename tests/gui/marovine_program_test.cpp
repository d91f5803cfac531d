// The desktop program as users start it: a program folder with its settings
// and default.mrv, a real nginx on loopback, the window on a private X server.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "marovine/album/jpeg_codec.h"
#include "marovine/album/rgb_image.h"
#include "marovine/document/document_file.h"
#include "marovine/document/first_start_settings.h"
#include "marovine/document/marovine_doc.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "tests/gui/x_test_window.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include "tests/support/child_process.h"
#include "tests/support/nginx_server.h"
#include "tests/support/sandbox.h"
#include "tests/support/wait_for.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace std::chrono_literals;
using marovine::testing::ChildProcess;
using marovine::testing::Sandbox;
using marovine::testing::WaitFor;
using marovine::testing::XvfbDisplay;

constexpr char kCaption[] = "default.mrv - marovine";

std::string BuiltProgram() {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  return platform::JoinPath(build ? build : ".", "marovine/ui/marovine");
}

class MarovineProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(xvfb_.ok()) << "Xvfb could not be started";
    display_ = XOpenDisplay(xvfb_.name().c_str());
    ASSERT_NE(display_, nullptr);
    // The settings a first start writes, then the test's own.
    ASSERT_TRUE(platform::MakeFolders(Folder()));
    ASSERT_TRUE(marovine::WriteFirstStartSettings(Ini(), box_.Path("store/")));
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
  }

  std::string Folder() const { return box_.Path("program/"); }
  std::string Ini() const { return box_.Path("program/marovine.ini"); }
  void Set(const char* section, const char* key, const std::string& value) {
    platform::Profile profile(Ini());
    ASSERT_TRUE(profile.WriteString(section, key, value));
  }
  int Get(const char* section, const char* key) const {
    return platform::Profile(Ini()).GetInt(section, key, -1);
  }

  ChildProcess Start(std::vector<std::string> extra = {}) {
    std::vector<std::string> argv = {BuiltProgram(), "--home", Folder()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return ChildProcess(argv, xvfb_.ProgramEnvironment(box_.Path("home")), box_.Path("out.txt"),
                        box_.Path("err.txt"));
  }

  std::optional<Window> WaitForDrawnWindow(const std::string& title) {
    std::optional<Window> window;
    bool drawn = WaitFor(
        [&] {
          window = marovine::testing::FindMappedWindowTitled(display_, title);
          return window && marovine::testing::HasBeenPainted(display_, *window);
        },
        60s, 50ms);
    if (!drawn) return std::nullopt;
    std::this_thread::sleep_for(500ms);
    return window;
  }

  std::pair<int, int> SizeOf(Window window) const {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    return {attributes.width, attributes.height};
  }

  void CloseAndExpectExit(ChildProcess& program, Window window) {
    marovine::testing::RequestClose(display_, window);
    EXPECT_TRUE(WaitFor([&] { return !program.Running(); }, 60s));
    EXPECT_EQ(program.Wait(), 0) << box_.ReadFile("err.txt");
  }

  XvfbDisplay xvfb_;
  Display* display_ = nullptr;
  Sandbox box_;
};

// A real JPEG of a coloured gradient with some grain, so that it is not tiny.
std::string Picture(int width, int height, int tint) {
  auto image = marovine::AllocateRgbImage(width, height);
  std::uint32_t noise = 12345u + static_cast<std::uint32_t>(tint);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      auto* pixel = &image->pixels[(static_cast<std::size_t>(y) * width + x) * 3];
      pixel[0] = static_cast<std::uint8_t>(x * 255 / width);
      pixel[1] = static_cast<std::uint8_t>(y * 255 / height / 2 + tint);
      pixel[2] = static_cast<std::uint8_t>(noise >> 24);
    }
  }
  return marovine::EncodeJpegRgb(*image, true, 92).value_or("");
}

// A site of three pictures, served slowly enough that the crawl can be seen
// at work.
struct SlowSite {
  Sandbox files;
  std::unique_ptr<marovine::testing::NginxServer> server;
  std::vector<std::string> names = {"first.jpg", "second.jpg", "third.jpg"};
  std::vector<std::string> pictures;

  SlowSite() {
    std::string page = "<html><title>Pictures</title>";
    for (const auto& name : names) {
      pictures.push_back(Picture(480, 360, 40 * static_cast<int>(pictures.size())));
      files.WriteFile("site/" + name, pictures.back());
      page += "<a href='" + name + "'>" + name + "</a>";
    }
    files.WriteFile("site/index.html", page + "</html>");
    server = std::make_unique<marovine::testing::NginxServer>(files.path(), "limit_rate 24k;");
  }
};

TEST_F(MarovineProgramTest, CrawlsARegisteredSiteFromItsTimerAndSavesTheListOnExit) {
  SlowSite site;
  ASSERT_TRUE(site.server->ok()) << site.server->error_log();
  Set("DownLoad", "AutoMarovine", "1");
  Set("DownLoad", "RetryWaitTime", "0");
  Set("MarovineDownLoad", "Kakuchoushi", "jpg");
  Set("MarovineDownLoad", "Make Date Name Folder", "0");
  Set("MarovineDownLoad", "Put Random Num", "0");
  Set("MarovineDownLoad", "Dont Down Gomi", "0");
  Set("Ippan", "Clear_List_After_Finish_Site", "0");
  // Each picture is shown in the pane as it arrives.
  Set("QuickView", "CreateViewWindow", "1");
  Set("QuickView", "ViewAfterDownLoad", "1");
  Set("QuickView", "ViewSize", "1");
  Set("Position", "width", "900");
  Set("Position", "height", "520");
  Set("Position", "splitter11", "230");
  Set("Position", "splitter12", "330");
  {
    // The list a previous run saved: one site, not yet searched.
    marovine::CMarovineDoc doc(Folder(), box_.Path("store/"));
    ASSERT_EQ(doc.RegisterUrl(site.server->Url("/site/index.html")), 1);
    ASSERT_TRUE(marovine::SaveDocumentFile(doc, doc.paths.default_document_path));
  }

  ChildProcess program = Start({"--tick-ms", "250"});
  ASSERT_TRUE(program.started());
  auto window = WaitForDrawnWindow(kCaption);
  ASSERT_TRUE(window) << box_.ReadFile("err.txt");

  // Nobody pressed start: the loaded list resumes by itself.
  auto arrived = [&](bool whole) {
    for (std::size_t i = 0; i < site.names.size(); ++i) {
      auto size = platform::FileSizeOf(box_.Path("store/" + site.names[i])).value_or(0);
      if (size < (whole ? static_cast<std::int64_t>(site.pictures[i].size()) : 1)) return false;
    }
    return true;
  };
  ASSERT_TRUE(WaitFor([&] { return arrived(false); }, 60s)) << box_.ReadFile("err.txt");
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(xvfb_.Screenshot(marovine::testing::ScreenshotPath("marovine_mid_crawl.png")));

  ASSERT_TRUE(WaitFor([&] { return arrived(true); }, 120s));
  // A few ticks for the rows to take their last state.
  std::this_thread::sleep_for(2s);
  EXPECT_TRUE(xvfb_.Screenshot(marovine::testing::ScreenshotPath("marovine_crawl_done.png")));
  CloseAndExpectExit(program, *window);

  for (std::size_t i = 0; i < site.names.size(); ++i) {
    EXPECT_EQ(box_.ReadFile("store/" + site.names[i]), site.pictures[i]);
  }
  // Saved on exit: the site is done and every picture finished.
  marovine::CMarovineDoc saved(Folder(), box_.Path("store/"));
  ASSERT_TRUE(marovine::LoadDocumentFile(saved, saved.paths.default_document_path).ok);
  ASSERT_EQ(saved.link_items.size(), 1u);
  EXPECT_EQ(saved.link_items[0].state, marovine::LS_DONE);
  int pictures = 0;
  for (const auto& item : saved.download_items) {
    if (item.url.ends_with(".jpg")) {
      ++pictures;
      EXPECT_EQ(item.state, marovine::DS_DONE) << item.url;
    }
  }
  EXPECT_EQ(pictures, 3);
}

TEST_F(MarovineProgramTest, WindowAndColumnsComeBackAsTheyWereClosed) {
  Set("QuickView", "CreateViewWindow", "1");
  Set("Position", "x", "100");
  Set("Position", "y", "80");
  Set("Position", "width", "760");
  Set("Position", "height", "520");
  Set("Position", "splitter11", "230");
  Set("Position", "splitter12", "310");
  Set("Position", "splitter13", "150");

  ChildProcess program = Start();
  auto window = WaitForDrawnWindow(kCaption);
  ASSERT_TRUE(window) << box_.ReadFile("err.txt");
  EXPECT_EQ(SizeOf(*window), std::make_pair(760, 520));
  EXPECT_TRUE(xvfb_.Screenshot(marovine::testing::ScreenshotPath("marovine_three_columns.png")));
  CloseAndExpectExit(program, *window);

  EXPECT_EQ(Get("Position", "x"), 100);
  EXPECT_EQ(Get("Position", "y"), 80);
  EXPECT_EQ(Get("Position", "width"), 760);
  EXPECT_EQ(Get("Position", "height"), 520);
  EXPECT_EQ(Get("Position", "splitter11"), 230);
  EXPECT_EQ(Get("Position", "splitter12"), 310);
  // The picture pane has what the lists leave.
  EXPECT_GT(Get("Position", "splitter13"), 0);
  EXPECT_LT(Get("Position", "splitter13"), 760 - 230 - 310);
  // The lists keep their column widths too.
  EXPECT_EQ(Get("Size", "DownColumn0"), 150);
  EXPECT_EQ(Get("Size", "ListColumn0"), 320);
}

TEST_F(MarovineProgramTest, AWindowSavedBeyondTheScreenOpensAtTheDefaultPlace) {
  // The right edge on the screen's border: outside.
  Set("Position", "x", "424");
  Set("Position", "y", "10");
  Set("Position", "width", "600");
  Set("Position", "height", "400");
  Set("Position", "splitter11", "330");

  ChildProcess program = Start();
  auto window = WaitForDrawnWindow(kCaption);
  ASSERT_TRUE(window) << box_.ReadFile("err.txt");
  EXPECT_NE(marovine::testing::ScreenPosition(display_, *window).first, 424);
  EXPECT_EQ(SizeOf(*window), std::make_pair(600, 460));
  CloseAndExpectExit(program, *window);
  // Nor were its columns put back.
  EXPECT_NE(Get("Position", "splitter11"), 330);
}

}  // namespace

namespace {

// A popup menu drawn into a window of its own, which the root-window
// screenshot shows black under Xvfb: the largest mapped override-redirect
// window, photographed by itself.
bool ScreenshotOfPopup(Display* display, const std::string& display_name,
                       const std::string& png_path) {
  Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, root, &root, &parent, &children, &count) == 0) return false;
  Window popup = 0;
  int largest = 0;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, children[i], &attributes) == 0) continue;
    const int area = attributes.width * attributes.height;
    if (attributes.override_redirect && attributes.map_state == IsViewable && area > largest) {
      largest = area;
      popup = children[i];
    }
  }
  if (children != nullptr) XFree(children);
  if (popup == 0) return false;
  const std::string xwd_path = png_path + ".xwd", pnm_path = png_path + ".pnm";
  bool done =
      ChildProcess({"/usr/bin/xwd", "-display", display_name, "-id", std::to_string(popup),
                    "-silent", "-out", xwd_path})
              .Wait() == 0 &&
      ChildProcess({"/usr/bin/xwdtopnm", xwd_path}, {}, pnm_path, "/dev/null").Wait() == 0 &&
      ChildProcess({"/usr/bin/pnmtopng", pnm_path}, {}, png_path, "/dev/null").Wait() == 0;
  (void)platform::RemoveFile(xwd_path);
  (void)platform::RemoveFile(pnm_path);
  return done;
}

// Holds the keys down together and lets them go in reverse order (Ctrl+F).
void PressChord(Display* display, const std::vector<KeySym>& keys) {
  for (KeySym key : keys) XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, 0);
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, *key), False, 0);
  }
  XSync(display, False);
  std::this_thread::sleep_for(300ms);
}

TEST_F(MarovineProgramTest, KeysAndMenusReachTheirCommands) {
  Sandbox files;
  const std::string picture = Picture(480, 360, 90);
  files.WriteFile("site/shot.jpg", picture);
  files.WriteFile("site/index.html", "<html><title>Shot</title><a href='shot.jpg'>s</a></html>");
  marovine::testing::NginxServer server(files.path());
  ASSERT_TRUE(server.ok()) << server.error_log();
  Set("DownLoad", "AutoMarovine", "0");
  Set("DownLoad", "RetryWaitTime", "0");
  Set("MarovineDownLoad", "Kakuchoushi", "jpg");
  Set("MarovineDownLoad", "Make Date Name Folder", "0");
  Set("MarovineDownLoad", "Put Random Num", "0");
  Set("MarovineDownLoad", "Dont Down Gomi", "0");
  Set("Ippan", "Clear_List_After_Finish_Site", "0");
  Set("QuickView", "CreateViewWindow", "1");
  Set("QuickView", "ViewAfterDownLoad", "1");
  Set("QuickView", "ViewSize", "1");
  Set("Position", "width", "900");
  Set("Position", "height", "520");
  Set("Position", "splitter11", "230");
  Set("Position", "splitter12", "330");
  {
    // Two sites nobody can reach above the one that is there.
    marovine::CMarovineDoc doc(Folder(), box_.Path("store/"));
    ASSERT_EQ(doc.RegisterUrl("http://127.0.0.1:9/deleted-by-key/"), 1);
    ASSERT_EQ(doc.RegisterUrl("http://127.0.0.1:9/deleted-from-menu/"), 1);
    ASSERT_EQ(doc.RegisterUrl(server.Url("/site/index.html")), 1);
    ASSERT_TRUE(marovine::SaveDocumentFile(doc, doc.paths.default_document_path));
  }
  ChildProcess program = Start({"--tick-ms", "250"});
  ASSERT_TRUE(program.started());
  auto window = WaitForDrawnWindow(kCaption);
  ASSERT_TRUE(window) << box_.ReadFile("err.txt");
  XSetInputFocus(display_, *window, RevertToParent, CurrentTime);

  // Home selects the first site, Delete removes it.
  PressChord(display_, {XK_Home});
  PressChord(display_, {XK_Delete});
  // The context menu's first entry deletes the next one.
  PressChord(display_, {XK_Home});
  PressChord(display_, {XK_Menu});
  std::this_thread::sleep_for(1500ms);
  EXPECT_TRUE(
      xvfb_.Screenshot(marovine::testing::ScreenshotPath("marovine_link_context_menu.png")));
  PressChord(display_, {XK_Down});
  PressChord(display_, {XK_Return});

  // Ctrl+F opens the search dialog.
  PressChord(display_, {XK_Control_L, XK_f});
  auto search = WaitForDrawnWindow("検索");
  ASSERT_TRUE(search) << "Ctrl+F showed no search dialog";
  marovine::testing::RequestClose(display_, *search);
  EXPECT_TRUE(WaitFor(
      [&] { return !marovine::testing::FindMappedWindowTitled(display_, "検索").has_value(); }, 30s,
      50ms));

  // F10 opens the menu bar; one step right is the edit menu.
  XSetInputFocus(display_, *window, RevertToParent, CurrentTime);
  PressChord(display_, {XK_F10});
  PressChord(display_, {XK_Right});
  std::this_thread::sleep_for(1500ms);
  EXPECT_TRUE(xvfb_.Screenshot(marovine::testing::ScreenshotPath("marovine_edit_menu.png")));
  // Best effort: the menu's own window, for a look at its entries.
  (void)ScreenshotOfPopup(display_, xvfb_.name(),
                          marovine::testing::ScreenshotPath("marovine_edit_menu_open.png"));
  PressChord(display_, {XK_Escape});
  PressChord(display_, {XK_Escape});

  // Space starts the crawl: the one reachable site is fetched.
  XSetInputFocus(display_, *window, RevertToParent, CurrentTime);
  PressChord(display_, {XK_space});
  ASSERT_TRUE(WaitFor([&] { return box_.ReadFile("store/shot.jpg") == picture; }, 60s))
      << "Space started no crawl\n"
      << box_.ReadFile("err.txt");
  std::this_thread::sleep_for(2s);
  EXPECT_TRUE(xvfb_.Screenshot(marovine::testing::ScreenshotPath("marovine_after_keys.png")));
  CloseAndExpectExit(program, *window);

  marovine::CMarovineDoc saved(Folder(), box_.Path("store/"));
  ASSERT_TRUE(marovine::LoadDocumentFile(saved, saved.paths.default_document_path).ok);
  ASSERT_EQ(saved.link_items.size(), 1u);
  EXPECT_EQ(saved.link_items[0].url, server.Url("/site/index.html"));
  EXPECT_EQ(saved.link_items[0].state, marovine::LS_DONE);
}

}  // namespace
