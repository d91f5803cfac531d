#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "marovine/album/jpeg_codec.h"
#include "marovine/album/rgb_image.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "tests/gui/x_test_window.h"
// After the test framework: Xlib defines macros (None, Bool) it uses as names.
#include <X11/Xutil.h>
#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"
#include "tests/support/wait_for.h"
#include "tests/support/xvfb_display.h"

namespace {

using namespace std::chrono_literals;
using marovine::testing::ChildProcess;
using marovine::testing::Sandbox;
using marovine::testing::ScreenshotPath;
using marovine::testing::WaitFor;
using marovine::testing::XvfbDisplay;

std::string Host() {
  const char* build = std::getenv("MAROVINE_BUILD_DIR");
  return platform::JoinPath(build ? build : ".", "tests/ui_parts_host");
}

// Red above, blue below, so a picture drawn upside down or with red and
// blue exchanged shows.
marovine::RgbImage RedOverBlue(std::uint32_t width, std::uint32_t height) {
  marovine::RgbImage image{width, height, {}};
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      if (y < height / 2) {
        image.pixels.insert(image.pixels.end(), {220, 40, 40});
      } else {
        image.pixels.insert(image.pixels.end(), {40, 60, 220});
      }
    }
  }
  return image;
}

// A 24-bit BMP of one colour, assembled by hand.
std::string SolidBmp(std::int32_t width, std::int32_t height) {
  const std::int32_t stride = (width * 3 + 3) / 4 * 4;
  std::string bytes = "BM";
  auto put = [&bytes](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  };
  put(54 + static_cast<std::uint32_t>(stride * height), 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(static_cast<std::uint32_t>(width), 4);
  put(static_cast<std::uint32_t>(height), 4);
  put(1, 2);
  put(24, 2);
  for (int i = 0; i < 6; ++i) put(0, 4);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) bytes += std::string("\x20\xa0\x20", 3);  // green
    bytes.append(static_cast<std::size_t>(stride - width * 3), '\0');
  }
  return bytes;
}

// A valid 1 × 1 red PNG, and the same header claiming a picture of
// 100000 × 100000 pixels.
std::string OnePixelPng(bool hostile_size) {
  static const unsigned char kPng[] = {
      0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
      0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00,
      0x00, 0x90, 0x77, 0x53, 0xDE, 0x00, 0x00, 0x00, 0x0C, 0x49, 0x44, 0x41, 0x54, 0x08,
      0xD7, 0x63, 0xF8, 0xCF, 0xC0, 0x00, 0x00, 0x03, 0x01, 0x01, 0x00, 0x18, 0xDD, 0x8D,
      0xB0, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
  std::string bytes(reinterpret_cast<const char*>(kPng), sizeof kPng);
  if (hostile_size) bytes.replace(16, 8, std::string("\x00\x01\x86\xA0\x00\x01\x86\xA0", 8));
  return bytes;
}

// Xlib's default reaction to an error (a window gone while being read) is to
// end the process, which would leave the host running; a failed read is
// reported by the test instead.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

class UiPartsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    XSetErrorHandler(IgnoreXError);
    ASSERT_TRUE(xvfb_.ok()) << "Xvfb could not be started";
    display_ = XOpenDisplay(xvfb_.name().c_str());
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
  }

  // Starts the host and waits until it says "ready" (a part on screen) or
  // ends (work without a window). Answers its report lines.
  std::vector<std::string> RunHost(const std::vector<std::string>& args) {
    const std::string out = box_.Path("host-" + std::to_string(runs_++) + ".out");
    std::vector<std::string> argv = {"/usr/bin/env"};
    for (const std::string& variable : xvfb_.ProgramEnvironment(box_.Path("home"))) {
      argv.push_back(variable);
    }
    argv.push_back(Host());
    argv.insert(argv.end(), args.begin(), args.end());
    host_ = ChildProcess(argv, {}, out, box_.Path("host.err"));
    EXPECT_TRUE(WaitFor(
        [&] {
          auto text = platform::ReadWholeFile(out);
          return (text && text->find("ready\n") != std::string::npos) || !host_.Running();
        },
        60s, 20ms));
    std::vector<std::string> lines;
    std::istringstream text(platform::ReadWholeFile(out).value_or(""));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

  static std::map<std::string, std::string> Values(const std::vector<std::string>& lines) {
    std::map<std::string, std::string> values;
    for (const std::string& line : lines) {
      auto equals = line.find('=');
      if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
  }

  // The colour of a pixel of a window, as the screen shows it.
  std::optional<unsigned long> PixelOf(Window window, int x, int y) {
    XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return std::nullopt;
    unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
  }

  Window WaitForWindow(const std::string& title) {
    std::optional<Window> window;
    EXPECT_TRUE(WaitFor(
        [&] {
          window = marovine::testing::FindMappedWindowTitled(display_, title);
          return window && marovine::testing::HasBeenPainted(display_, *window);
        },
        30s, 50ms));
    std::this_thread::sleep_for(300ms);  // the last paint lands
    return window.value_or(None);
  }

  XvfbDisplay xvfb_;
  Display* display_ = nullptr;
  Sandbox box_;
  ChildProcess host_;
  int runs_ = 0;
};

TEST_F(UiPartsTest, TheStateImagesAreTwelveAndEightOfSixteenPixelsAndEveryImageHasInk) {
  std::string folder = platform::FolderOf(ScreenshotPath("ui-artwork-probe.png"));
  auto values = Values(RunHost({"artwork", folder.empty() ? "." : folder}));
  EXPECT_EQ(host_.Wait(), 0);
  EXPECT_EQ(values["link_images"], "12");
  EXPECT_EQ(values["link_image_size"], "16x16");
  EXPECT_EQ(values["download_images"], "8");
  EXPECT_EQ(values["download_image_size"], "16x16");
  EXPECT_EQ(values["blank_images"], "0");
  EXPECT_EQ(values["application_icon_sizes"], "16,32,48,256");
}

TEST_F(UiPartsTest, TheInstalledIconFilesShowWhatTheProgramDraws) {
  const std::string icons =
      platform::JoinPath(platform::FolderOf(__FILE__), "../../data/icons/hicolor");
  auto values = Values(RunHost({"icons-check", icons}));
  EXPECT_EQ(host_.Wait(), 0);
  EXPECT_EQ(values["differing_icons"], "0")
      << "redraw them with: ui_parts_host icons data/icons/hicolor";
}

TEST_F(UiPartsTest, RegisteringTheFileTypeNamesThisProgramAndItsDrawnIcon) {
  auto values = Values(RunHost({"register"}));
  EXPECT_EQ(host_.Wait(), 0);
  EXPECT_EQ(values["registered"], "1 ");
  // The environment puts the user's data folder inside the sandbox.
  const std::string share = box_.Path("home/.local/share/");
  auto entry = platform::ReadWholeFile(share + "applications/marovine.desktop");
  ASSERT_TRUE(entry);
  EXPECT_NE(entry->find("\nExec=" + Host() + " %f\n"), std::string::npos) << *entry;
  auto icon = platform::ReadWholeFile(share + "icons/hicolor/48x48/apps/marovine.png");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->substr(1, 3), "PNG");
}

TEST_F(UiPartsTest, TheQuickViewPaneShowsAFinishedJpegFittedAndCentredWithItsNameAndSize) {
  const std::string jpeg = box_.Path("photo.jpg");
  ASSERT_TRUE(marovine::WriteJpegRgb(jpeg, RedOverBlue(1600, 1200), true, 90));
  const std::string zip = box_.WriteFile("archive.zip", "PK not a picture");
  // The archive leaves the picture where it is.
  auto lines = RunHost({"pane", jpeg + "|" + zip, "400", "400", "name"});
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "shown=photo.jpg has=1 size=1600x1200 text=photo.jpg size : 1600 x 1200");
  EXPECT_EQ(lines[1], "shown=archive.zip has=1 size=1600x1200 text=photo.jpg size : 1600 x 1200");

  Window window = WaitForWindow("quick view host");
  ASSERT_NE(window, None);
  EXPECT_TRUE(xvfb_.Screenshot(ScreenshotPath("quick-view-jpeg.png")));
  // 400 × 300 drawn at (0, 50): red over blue, the background above.
  auto red = PixelOf(window, 200, 120);
  auto blue = PixelOf(window, 200, 300);
  auto above = PixelOf(window, 200, 40);
  ASSERT_TRUE(red && blue && above);
  EXPECT_GT((*red >> 16) & 0xff, 180u);
  EXPECT_LT(*red & 0xff, 90u);
  EXPECT_GT(*blue & 0xff, 180u);
  EXPECT_LT((*blue >> 16) & 0xff, 90u);
  EXPECT_NE(*above, *red);
  EXPECT_NE(*above, *blue);
  marovine::testing::RequestClose(display_, window);
  EXPECT_EQ(host_.Wait(), 0);
}

TEST_F(UiPartsTest, PicturesAreFittedAgainWhenThePaneShrinks) {
  // A JPEG prepared 400 × 300 for a 400 × 400 pane; the pane then becomes
  // 200 × 100, so the picture is drawn 134 × 100 at (33, 0).
  const std::string jpeg = box_.Path("photo.jpg");
  ASSERT_TRUE(marovine::WriteJpegRgb(jpeg, RedOverBlue(1600, 1200), true, 90));
  auto values = Values(RunHost({"pane", jpeg, "400", "400", "plain", "200", "100"}));
  ASSERT_EQ(values["pane"], "200x100");
  Window window = WaitForWindow("quick view host");
  ASSERT_NE(window, None);
  EXPECT_TRUE(xvfb_.Screenshot(ScreenshotPath("quick-view-shrunk.png")));
  auto left = PixelOf(window, 20, 50), red = PixelOf(window, 100, 25),
       blue = PixelOf(window, 100, 75), right = PixelOf(window, 185, 50);
  ASSERT_TRUE(left && red && blue && right);
  EXPECT_GT((*red >> 16) & 0xff, 180u);
  EXPECT_GT(*blue & 0xff, 180u);
  EXPECT_EQ(*left, *right);
  EXPECT_NE(*left, *red);
  EXPECT_NE(*left, *blue);
  marovine::testing::RequestClose(display_, window);
  EXPECT_EQ(host_.Wait(), 0);

  // A BMP is never shrunk when loaded: 640 × 480 in 300 × 200 is drawn
  // 267 × 200 at (16, 0), all of it at drawing time.
  const std::string bmp = box_.WriteFile("picture.bmp", SolidBmp(640, 480));
  values = Values(RunHost({"pane", bmp, "300", "200", "plain"}));
  window = WaitForWindow("quick view host");
  ASSERT_NE(window, None);
  auto margin = PixelOf(window, 8, 100), green = PixelOf(window, 150, 100);
  ASSERT_TRUE(margin && green);
  EXPECT_GT((*green >> 8) & 0xff, 140u);
  EXPECT_LT((*green >> 16) & 0xff, 80u);
  EXPECT_NE(*margin, *green);
  marovine::testing::RequestClose(display_, window);
  EXPECT_EQ(host_.Wait(), 0);
}

TEST_F(UiPartsTest, ABmpShowsItsOwnSizeAndABrokenPictureEmptiesThePane) {
  const std::string bmp = box_.WriteFile("picture.bmp", SolidBmp(640, 480));
  const std::string broken = box_.WriteFile("broken.jpg", "\xff\xd8\xff\xe0 cut short");
  const std::string png = box_.WriteFile("dot.png", OnePixelPng(false));
  const std::string huge = box_.WriteFile("huge.png", OnePixelPng(true));
  const std::string gif = box_.WriteFile(
      "dot.gif", std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9"
                             "\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00"
                             "\x02\x02"
                             "D\x01\x00;",
                             43));
  auto lines = RunHost(
      {"pane", bmp + "|" + broken + "|" + png + "|" + huge + "|" + gif, "300", "200", "name"});
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "shown=picture.bmp has=1 size=640x480 text=picture.bmp size : 640 x 480");
  EXPECT_EQ(lines[1], "shown=broken.jpg has=0 size=0x0 text=");
  EXPECT_EQ(lines[2], "shown=dot.png has=1 size=1x1 text=dot.png size : 1 x 1");
  EXPECT_EQ(lines[3], "shown=huge.png has=0 size=0x0 text=");
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[4], "shown=dot.gif has=1 size=1x1 text=dot.gif size : 1 x 1");
  Window window = WaitForWindow("quick view host");
  ASSERT_NE(window, None);
  marovine::testing::RequestClose(display_, window);
  EXPECT_EQ(host_.Wait(), 0);
}

TEST_F(UiPartsTest, TheSettingsDialogEnablesItsOptionsWithThePaneAndWritesTheFourKeys) {
  const std::string ini =
      box_.WriteFile("marovine.ini", "[QuickView]\nViewAfterDownLoad=1\n[Ippan]\nStartMinimum=1\n");
  auto lines = RunHost({"dialog", ini});
  auto values = Values(lines);
  EXPECT_EQ(values["title"], "QuickViewerの設定");
  std::vector<std::string> boxes;
  for (const std::string& line : lines) {
    if (line.rfind("box=", 0) == 0) boxes.push_back(line.substr(4));
  }
  EXPECT_EQ(boxes,
            (std::vector<std::string>{"QuickViewerを起動（次回起動時から有効）",
                                      "ダウンロードが終了するごとに､画像を表示",
                                      "選択されるごとに、画像を表示", "ファイル名、サイズを表示"}));
  EXPECT_EQ(values["enabled_at_start"], "1000");
  EXPECT_EQ(values["enabled_unchecked"], "1000");
  EXPECT_EQ(values["enabled_checked"], "1111");
  EXPECT_EQ(values["written"], "1");

  platform::Profile profile(ini);
  EXPECT_EQ(profile.Find("QuickView", "CreateViewWindow"), "1");
  EXPECT_EQ(profile.Find("QuickView", "ViewAfterDownLoad"), "1");
  EXPECT_EQ(profile.Find("QuickView", "ViewAfterSelected"), "0");
  EXPECT_EQ(profile.Find("QuickView", "ViewSize"), "1");
  EXPECT_EQ(profile.Find("Ippan", "StartMinimum"), "1");

  Window window = WaitForWindow("QuickViewerの設定");
  ASSERT_NE(window, None);
  EXPECT_TRUE(xvfb_.Screenshot(ScreenshotPath("quick-view-settings.png")));
  marovine::testing::RequestClose(display_, window);
  EXPECT_EQ(host_.Wait(), 0);
}

TEST_F(UiPartsTest, OkWritesTheSwitchesAndCancelWritesNothing) {
  const std::string before = "[QuickView]\nViewSize=1\n";
  const std::string ini = box_.WriteFile("marovine.ini", before);
  auto values = Values(RunHost({"modal", ini, "cancel"}));
  EXPECT_EQ(host_.Wait(), 0);
  EXPECT_EQ(values["answer"], "0");
  EXPECT_EQ(platform::ReadWholeFile(ini), before);

  values = Values(RunHost({"modal", ini, "ok"}));
  EXPECT_EQ(host_.Wait(), 0);
  EXPECT_EQ(values["answer"], "1");
  platform::Profile profile(ini);
  EXPECT_EQ(profile.Find("QuickView", "CreateViewWindow"), "1");
  EXPECT_EQ(profile.Find("QuickView", "ViewAfterDownLoad"), "0");
  EXPECT_EQ(profile.Find("QuickView", "ViewAfterSelected"), "1");
  EXPECT_EQ(profile.Find("QuickView", "ViewSize"), "1");
}

TEST_F(UiPartsTest, WithoutATrayTheIconIsUnavailableAndStillStepsItsFrames) {
  auto lines = RunHost({"tray"});
  auto values = Values(lines);
  std::vector<std::string> menu;
  for (const std::string& line : lines) {
    if (line.rfind("menu=", 0) == 0) menu.push_back(line.substr(5));
  }
  EXPECT_EQ(menu, (std::vector<std::string>{"元のサイズに戻す(&R)", "-", "まろびね開始(&S)",
                                            "まろびね停止(&T)", "-", "バージョン情報(&V)", "-",
                                            "アプリケーションの終了(&Q)"}));
  EXPECT_EQ(host_.Wait(), 0);
  // Xvfb has no notification area, so the frame must keep itself reachable.
  EXPECT_EQ(values["available"], "0");
  // Idle, then 1 → 2 → idle while animating; stopping puts idle back once.
  EXPECT_EQ(values["frames"], "012010010");
}

}  // namespace
