#include "marovine/album/file_view.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/path.h"
#include "tests/support/sandbox.h"

namespace {

using marovine::FitPreview;
using marovine::testing::Sandbox;

TEST(FileViewTest, PicturesArePreviewedNoWiderThan180AndNoTallerThan250) {
  auto fits = [](int w, int h, int want_w, int want_h) {
    auto size = FitPreview(w, h);
    EXPECT_EQ(size.width, want_w) << w << "x" << h;
    EXPECT_EQ(size.height, want_h) << w << "x" << h;
  };
  fits(600, 400, 180, 120);
  fits(200, 600, 83, 250);  // 180 x 540 first
  fits(180, 300, 150, 250);
  fits(181, 181, 180, 180);
  fits(64, 48, 64, 48);
}

TEST(FileViewTest, RowsTellWhichSavedFilesStillExist) {
  Sandbox box;
  std::string kept = box.WriteFile("site/a.jpg", std::string(1234, 'x'));
  std::string log =
      box.WriteFile("Log/site.txt",
                    "[a.jpg]\r\nUrl=http://example.test/a.jpg\r\nRefer=http://example.test/\r\n"
                    "Message=正常に終了しました。\r\nFilePass=" +
                        kept +
                        "\r\nModifiedDate=None\r\nFileSize=1234\r\n"
                        "[b.jpg]\nUrl=http://example.test/b.jpg\nRefer=\nMessage=done\nFilePass=" +
                        box.Path("site/b.jpg") + "\nModifiedDate=None\nFileSize=5\n");
  auto rows = marovine::LoadFileViewRows(log);
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 2u);
  EXPECT_EQ((*rows)[0].name, "a.jpg");
  EXPECT_EQ((*rows)[0].url, "http://example.test/a.jpg");
  EXPECT_EQ((*rows)[0].message, "正常に終了しました。");
  EXPECT_TRUE((*rows)[0].exists);
  EXPECT_EQ((*rows)[0].size, 1234);
  EXPECT_FALSE((*rows)[1].exists);
  EXPECT_FALSE(marovine::LoadFileViewRows(box.Path("Log/none.txt")));
  EXPECT_FALSE(marovine::LoadFileViewRows(""));
}

TEST(FileViewTest, ABannerIsRecordedBySizeAndByteAndItsFileGoesWhenAsked) {
  Sandbox box;
  std::string short_file = box.WriteFile("short.txt", std::string(100, 'a'));
  std::string long_file = box.WriteFile("long.bin", std::string(199, 'a') + "\xF0" + "rest");
  ASSERT_TRUE(marovine::RegisterFileAsBanner(box.Path("banner.dat"), short_file, true));
  ASSERT_TRUE(marovine::RegisterFileAsBanner(box.Path("banner.dat"), long_file, false));
  EXPECT_FALSE(marovine::RegisterFileAsBanner(box.Path("banner.dat"), box.Path("gone"), true));
  EXPECT_EQ(box.ReadFile("banner.dat"), ";\n100\n255\n;\n204\n240\n");
  EXPECT_FALSE(platform::FileExists(short_file));
  EXPECT_TRUE(platform::FileExists(long_file));
}

}  // namespace
