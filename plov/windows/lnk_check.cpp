// Prints "target|arguments|description" of each shell link given, one line
// each, as IShellLink reads them back.
// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

#include <cstdio>
#include <string>

#include "plov/windows/wide_text.h"

int wmain(int argc, wchar_t** argv) {
  CoInitialize(nullptr);
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = L"", arguments[MAX_PATH] = L"", description[MAX_PATH] = L"";
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkW, reinterpret_cast<void**>(&link))) &&
              SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Load(argv[i], STGM_READ)) &&
              SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
              SUCCEEDED(link->GetArguments(arguments, MAX_PATH)) &&
              SUCCEEDED(link->GetDescription(description, MAX_PATH));
    if (file) file->Release();
    if (link) link->Release();
    if (!ok) {
      std::printf("unreadable\n");
      status = 1;
      continue;
    }
    std::printf("%s|%s|%s\n", plov::win32::Utf8(target).c_str(),
                plov::win32::Utf8(arguments).c_str(), plov::win32::Utf8(description).c_str());
  }
  CoUninitialize();
  return status;
}
