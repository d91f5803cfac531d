#include "marovine/document/local_name_reservations.h"

#include <gtest/gtest.h>

#include <set>

#include "marovine/document/download_list_view.h"
#include "marovine/document/marovine_doc.h"
#include "tests/support/sandbox.h"

namespace marovine {
namespace {

using testing::Sandbox;

TEST(LocalNameReservationsTest, ANameHeldOrOnDiskIsNumberedAndFreedWithItsItem) {
  Sandbox box;
  const std::string x = box.Path("x.jpg");
  LocalNameReservations names;
  EXPECT_EQ(names.FreeName(x, "", true), x);
  names.Add(x);
  // Its holder keeps it; anyone else is numbered.
  EXPECT_FALSE(names.HeldByOther(x, x));
  EXPECT_EQ(names.FreeName(x, x, true), x);
  EXPECT_EQ(names.FreeName(x, "", false), box.Path("x(1).jpg"));
  // A file on disk counts only where asked.
  box.WriteFile("x(2).jpg", "there");
  names.Add(box.Path("x(1).jpg"));
  EXPECT_EQ(names.FreeName(x, "", true), box.Path("x(3).jpg"));
  names.Remove(x);
  EXPECT_EQ(names.Holders(x), 0);
  EXPECT_EQ(names.FreeName(x, "", true), x);
}

TEST(LocalNameReservationsTest, TenThousandItemsOfOneNameEachGetTheirOwn) {
  Sandbox box;
  box.WriteFile("marovine.ini", "");
  CMarovineDoc doc(box.path(), box.Path("store/"));
  const std::string page = box.Path("store/index.html");
  std::set<std::string> given;
  for (int i = 0; i < kMaxDownloadRows; ++i) {
    DownloadItem item;
    item.url = "http://h/" + std::to_string(i) + "/";
    item.local_path = doc.UnreservedLocalPath(page);
    given.insert(item.local_path);
    ASSERT_GE(doc.AppendDownloadItem(std::move(item)), 0);
  }
  EXPECT_EQ(given.size(), static_cast<std::size_t>(kMaxDownloadRows));
  EXPECT_EQ(doc.download_items[0].local_path, page);
  EXPECT_EQ(doc.download_items[2].local_path, box.Path("store/index(2).html"));

  // A name is the item's until it leaves the list.
  doc.RemoveDownloadItem(0);
  EXPECT_FALSE(doc.LocalPathHeld(page));
  EXPECT_TRUE(doc.LocalPathHeld(box.Path("store/index(2).html")));
  doc.ClearDownloadList();
  EXPECT_EQ(doc.UnreservedLocalPath(box.Path("store/index(2).html")),
            box.Path("store/index(2).html"));
}

}  // namespace
}  // namespace marovine
