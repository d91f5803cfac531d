#include <gtest/gtest.h>

#include "plov/linux/desktop_entry.h"
#include "plov/linux/key_store.h"
#include "tests/support/sandbox.h"

namespace plov::xdg {
namespace {

TEST(DesktopEntryTest, ExecArgumentsAreQuotedAndEscapedAsTheEntrySpecificationWants) {
  EXPECT_EQ(QuoteExecArgument("/opt/m/tarq"), "/opt/m/tarq");
  EXPECT_EQ(QuoteExecArgument("/opt/My App/m"), "\"/opt/My App/m\"");
  EXPECT_EQ(QuoteExecArgument("/x/$$UnPlov.exe"), "\"/x/\\$\\$UnPlov.exe\"");
  EXPECT_EQ(QuoteExecArgument("50%"), "50%%");
  EXPECT_EQ(QuoteExecArgument(""), "\"\"");
  // The quoting backslashes are themselves escaped in the entry's value.
  EXPECT_EQ(ExecLine({"rm", "/x/$a b"}), "rm \"/x/\\\\$a b\"");
  EXPECT_EQ(SplitArguments("  --home  /x \t-v "), (std::vector<std::string>{"--home", "/x", "-v"}));
}

TEST(KeyStoreTest, KeysBehaveLikeRegistryKeys) {
  marovine::testing::Sandbox box;
  KeyStore store(box.Path("plov/registry.ini"));
  EXPECT_FALSE(store.KeyExists("HKEY_CURRENT_USER\\Software"));
  ASSERT_TRUE(store.CreateKey("HKEY_CURRENT_USER\\Software\\Maker\\App"));
  EXPECT_TRUE(store.KeyExists("hkey_current_user\\SOFTWARE\\maker"));  // parents, any case
  ASSERT_TRUE(store.WriteValue("HKEY_CURRENT_USER\\Software\\Maker\\App", "InstallDir", "/a"));
  ASSERT_TRUE(store.WriteValue("HKEY_CURRENT_USER\\Software\\Maker\\App", "installdir", "/b\n"));
  EXPECT_EQ(store.ReadValue("HKEY_CURRENT_USER\\Software\\Maker\\App", "INSTALLDIR"), "/b ");
  EXPECT_FALSE(store.WriteValue("HKEY_CURRENT_USER\\None", "x", "y"));

  store.CreateKey("HKEY_CURRENT_USER\\Software\\Maker\\Other");
  EXPECT_EQ(store.SubKeys("HKEY_CURRENT_USER\\Software\\Maker"),
            (std::vector<std::string>{"App", "Other"}));
  // A key with sub-keys stays; leaves go one by one.
  EXPECT_FALSE(store.DeleteKey("HKEY_CURRENT_USER\\Software\\Maker"));
  EXPECT_TRUE(store.DeleteKey("HKEY_CURRENT_USER\\Software\\Maker\\App"));
  EXPECT_FALSE(store.KeyExists("HKEY_CURRENT_USER\\Software\\Maker\\App"));
  EXPECT_TRUE(store.KeyExists("HKEY_CURRENT_USER\\Software\\Maker\\Other"));
  // A second store on the same file sees the change.
  EXPECT_EQ(KeyStore(store.path()).SubKeys("HKEY_CURRENT_USER\\Software\\Maker").size(), 1u);
}

}  // namespace
}  // namespace plov::xdg
