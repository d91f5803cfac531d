#include "marovine/document/settings_pages_proxy.h"

#include <span>
#include <utility>

#include "marovine/engine/proxy_list.h"
#include "platform/path.h"

namespace marovine {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

using Flag = int ProxySettings::*;

std::span<const Flag> FlagsOf(ProxyDialogModel::Group group) {
  static constexpr Flag kSelection[] = {
      &ProxySettings::dont_use_proxy, &ProxySettings::use_this_proxy,
      &ProxySettings::use_proxy_top_to_under, &ProxySettings::use_proxy_random};
  static constexpr Flag kOnError[] = {
      &ProxySettings::error_dont_use_proxy, &ProxySettings::error_proxy_top_to_under,
      &ProxySettings::error_proxy_random, &ProxySettings::error_use_same_proxy};
  static constexpr Flag kListAction[] = {&ProxySettings::error_delete_proxy,
                                         &ProxySettings::error_list_proxy,
                                         &ProxySettings::error_dont_deal_proxy};
  switch (group) {
    case ProxyDialogModel::Group::kSelection:
      return kSelection;
    case ProxyDialogModel::Group::kOnError:
      return kOnError;
    case ProxyDialogModel::Group::kListAction:
      break;
  }
  return kListAction;
}

}  // namespace

std::vector<std::string> ProxyChoiceCaptions(ProxyDialogModel::Group group) {
  switch (group) {
    case ProxyDialogModel::Group::kSelection:
      return {"プロキシ接続しない", "下記プロキシで接続する", "上から順に選択",
              "リスト内からランダムに選択"};
    case ProxyDialogModel::Group::kOnError:
      return {"プロキシを介さず接続", "次のプロキシで接続", "リスト内からランダムで接続",
              "同じプロキシで接続"};
    case ProxyDialogModel::Group::kListAction:
      break;
  }
  return {"リストから削除", "削除しエラーリストに追加", "そのままにする。"};
}

ProxyDialogModel::ProxyDialogModel(const std::string& program_folder)
    : proxy_list_path_(platform::JoinPath(program_folder, "proxy.txt")) {}

void ProxyDialogModel::Read(const platform::Profile& profile) {
  settings = ReadProxySettings(profile);
  entries_ = ReadProxyList(proxy_list_path_);
}

bool ProxyDialogModel::Write(platform::Profile& profile) const {
  bool list_written = WriteProxyList(proxy_list_path_, entries_);
  std::vector<std::pair<std::string, std::string>> values;
  // The same keys as WriteProxySettings, but in one rewrite of the file.
  const std::pair<const char*, int> flags[] = {
      {"DontUseProxy", settings.dont_use_proxy},
      {"UseThisProxy", settings.use_this_proxy},
      {"UseProxyTopToUnder", settings.use_proxy_top_to_under},
      {"UseProxyRandom", settings.use_proxy_random},
      {"ErrorDontUseProxy", settings.error_dont_use_proxy},
      {"ErrorProxyTopToUnder", settings.error_proxy_top_to_under},
      {"ErrorProxyRandom", settings.error_proxy_random},
      {"ErrorUseSameProxy", settings.error_use_same_proxy},
      {"ErrorDeleteProxy", settings.error_delete_proxy},
      {"ErrorListProxy", settings.error_list_proxy},
      {"ErrorDontDealProxy", settings.error_dont_deal_proxy},
      {"EnableCash", settings.enable_cash},
  };
  for (const auto& [key, value] : flags) values.emplace_back(key, std::to_string(value));
  values.emplace_back("DefaultProxy", settings.default_proxy);
  bool keys_written = profile.WriteSections({{"Proxy", std::move(values)}});
  return list_written && keys_written;
}

bool ProxyDialogModel::Add(std::string_view text) {
  auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return false;
  auto last = text.find_last_not_of(kBlanks);
  entries_.emplace_back(text.substr(first, last - first + 1));
  return true;
}

std::optional<std::string> ProxyDialogModel::Remove(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) {
    return "リストから削除したい項目を選択してください。";
  }
  entries_.erase(entries_.begin() + index);
  return std::nullopt;
}

void ProxyDialogModel::UseEntryAsDefault(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  settings.default_proxy = entries_[static_cast<std::size_t>(index)];
}

int ProxyDialogModel::Chosen(Group group) const {
  auto flags = FlagsOf(group);
  for (std::size_t i = 0; i < flags.size(); ++i) {
    if (settings.*flags[i] != 0) return static_cast<int>(i);
  }
  return 0;
}

void ProxyDialogModel::Choose(Group group, int button) {
  auto flags = FlagsOf(group);
  for (std::size_t i = 0; i < flags.size(); ++i) {
    settings.*flags[i] = static_cast<int>(i) == button ? 1 : 0;
  }
}

}  // namespace marovine
