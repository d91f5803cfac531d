#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "marovine/document/settings_pages_proxy.h"
#include "tests/support/sandbox.h"

namespace {

using Group = marovine::ProxyDialogModel::Group;
using marovine::ProxyDialogModel;
using marovine::testing::Sandbox;
using platform::Profile;

TEST(ProxyDialogModelTest, EditsTheListAndWritesListAndKeysOnlyOnOk) {
  Sandbox box;
  box.WriteFile("proxy.txt", "a.example:8080\r\nb.example\n");
  box.WriteFile("marovine.ini", "[Proxy]\nUseProxyRandom=1\nDontUseProxy=0\n");
  Profile profile(box.Path("marovine.ini"));
  ProxyDialogModel model(box.path());
  model.Read(profile);
  EXPECT_EQ(model.entries(), (std::vector<std::string>{"a.example:8080", "b.example"}));
  EXPECT_EQ(model.Chosen(Group::kSelection), 3);
  EXPECT_EQ(model.Chosen(Group::kOnError), 0);
  EXPECT_EQ(model.Chosen(Group::kListAction), 2);

  EXPECT_FALSE(model.Add("   "));
  EXPECT_TRUE(model.Add(" c.example:3128 "));
  EXPECT_EQ(model.Remove(-1), "リストから削除したい項目を選択してください。");
  EXPECT_EQ(model.Remove(3), "リストから削除したい項目を選択してください。");
  EXPECT_EQ(model.Remove(0), std::nullopt);
  model.UseEntryAsDefault(1);
  model.Choose(Group::kSelection, 1);
  model.Choose(Group::kListAction, 1);
  model.settings.enable_cash = 1;
  EXPECT_EQ(box.ReadFile("proxy.txt"), "a.example:8080\r\nb.example\n") << "nothing before OK";

  ASSERT_TRUE(model.Write(profile));
  EXPECT_EQ(box.ReadFile("proxy.txt"), "b.example\nc.example:3128\n");
  ProxyDialogModel reread(box.path());
  reread.Read(profile);
  EXPECT_EQ(reread.settings.default_proxy, "c.example:3128");
  EXPECT_EQ(reread.Chosen(Group::kSelection), 1);
  EXPECT_EQ(reread.settings.use_proxy_random, 0) << "one button of a group is on";
  EXPECT_EQ(reread.settings.dont_use_proxy, 0);
  EXPECT_EQ(reread.Chosen(Group::kListAction), 1);
  EXPECT_EQ(reread.settings.error_dont_deal_proxy, 0);
  EXPECT_EQ(reread.settings.enable_cash, 1);
}

}  // namespace
