#pragma once

#include "plov/core/install_host.h"

namespace plov::win32 {

// Message boxes and the dialogs of the resource file.
class Win32Dialogs : public UserDialogs {
 public:
  void Show(const MessageBoxRequest& message) override;
  bool Ask(const MessageBoxRequest& question) override;
  bool ShowTextPage(const TextPageRequest& page) override;
  std::optional<OptionsChoice> ShowOptions(const OptionsRequest& options) override;
};

}  // namespace plov::win32
