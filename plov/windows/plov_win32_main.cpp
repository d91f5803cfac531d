// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "plov/core/plov_main.h"
#include "plov/core/scripted_dialogs.h"
#include "plov/windows/wide_text.h"
#include "plov/windows/win32_dialogs.h"
#include "plov/windows/win32_install_host.h"

namespace {

std::optional<std::string> Environment(const wchar_t* name) {
  wchar_t value[2048];
  DWORD length = GetEnvironmentVariableW(name, value, 2048);
  if (length == 0 || length >= 2048) return std::nullopt;
  return plov::win32::Utf8(std::wstring_view(value, length));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  std::string line = plov::win32::Utf8(command_line ? command_line : L"");
  // The test mode answers from the environment; a GUI program has no console,
  // so the transcript goes to the file PLOV_TEST_TRANSCRIPT names.
  if (auto answers = Environment(L"PLOV_TEST_ANSWERS")) {
    std::ofstream file;
    if (auto transcript = Environment(L"PLOV_TEST_TRANSCRIPT")) {
      file.open(std::filesystem::path(plov::win32::Wide(*transcript)),
                std::ios::app | std::ios::binary);
    }
    plov::ScriptedDialogs dialogs(*answers, file.is_open() ? file : std::cout);
    plov::win32::Win32InstallHost host(dialogs);
    host.set_test_mode(true);
    return plov::RunPlov(host, line);
  }
  InitCommonControls();
  plov::win32::Win32Dialogs dialogs;
  plov::win32::Win32InstallHost host(dialogs);
  return plov::RunPlov(host, line);
}
