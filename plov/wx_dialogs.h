#pragma once

#include "plov/core/install_host.h"

namespace plov {

// The boxes and the two installation dialogs in wxWidgets.
class WxDialogs : public UserDialogs {
 public:
  void Show(const MessageBoxRequest& message) override;
  bool Ask(const MessageBoxRequest& question) override;
  bool ShowTextPage(const TextPageRequest& page) override;
  std::optional<OptionsChoice> ShowOptions(const OptionsRequest& options) override;
};

}  // namespace plov
