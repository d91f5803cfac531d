#include "plov/windows/win32_dialogs.h"

// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include "plov/core/plov_texts.h"
#include "plov/windows/resource_ids.h"
#include "plov/windows/wide_text.h"

namespace plov::win32 {
namespace {

UINT IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kWarning:
      return MB_ICONWARNING;
    case MessageKind::kError:
      return MB_ICONERROR;
    case MessageKind::kQuestion:
      return MB_ICONQUESTION;
    case MessageKind::kInformation:
      break;
  }
  return MB_ICONINFORMATION;
}

// An edit box wants CR LF between lines.
std::wstring WithCrLf(const std::wstring& text) {
  std::wstring result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) result += L'\r';
    result += text[i];
  }
  return result;
}

void SetText(HWND window, int control, std::string_view text) {
  SetDlgItemTextW(window, control, WithCrLf(Wide(text)).c_str());
}

std::string TextOfControl(HWND window, int control) {
  wchar_t buffer[1024];
  UINT length = GetDlgItemTextW(window, control, buffer, 1024);
  return Utf8(std::wstring_view(buffer, length));
}

struct TextPageState {
  const TextPageRequest* page;
  HFONT font = nullptr;
};

INT_PTR CALLBACK TextPageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<TextPageState*>(GetWindowLongPtrW(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<TextPageState*>(lparam);
      SetWindowLongPtrW(window, DWLP_USER, lparam);
      SetWindowTextW(window, Wide(state->page->caption).c_str());
      state->font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                FIXED_PITCH | FF_MODERN, Wide(dialog_text::kTextPageFont).c_str());
      SendDlgItemMessageW(window, IDC_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(state->font),
                          TRUE);
      SetText(window, IDC_TEXT, state->page->text);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        EndDialog(window, IDOK);
      } else if (LOWORD(wparam) == IDCANCEL && state->page->confirm_cancel()) {
        EndDialog(window, IDCANCEL);
      }
      return TRUE;
    case WM_DESTROY:
      if (state && state->font) DeleteObject(state->font);
      return FALSE;
  }
  return FALSE;
}

struct OptionsState {
  const OptionsRequest* request;
  OptionsChoice choice;
};

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

// The shell's folder browser, again after a network folder; nothing when
// the user cancels.
std::optional<std::string> BrowseForFolder(HWND owner, const OptionsRequest& request,
                                           const std::string& start) {
  HRESULT init = CoInitialize(nullptr);
  std::wstring title = Wide(TextOf(kTextChooseFolder));
  std::wstring start_wide = Wide(start);
  std::optional<std::string> chosen;
  while (true) {
    wchar_t display[MAX_PATH];
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(start_wide.c_str());
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    if (!list) break;
    wchar_t path[MAX_PATH];
    bool ok = SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    if (!ok) break;
    std::string folder = Utf8(path);
    if (!request.is_network_folder(folder)) {
      chosen = folder;
      break;
    }
    MessageBoxW(owner, Wide(TextOf(kTextNetworkFolder)).c_str(), Wide(request.caption).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return chosen;
}

void Describe(HWND window, const OptionsRequest& request, int control) {
  std::string text;
  switch (control) {
    case IDC_GROUP:
      text = request.group.info;
      break;
    case IDC_STARTUP:
      text = request.startup.info;
      break;
    case IDC_DESKTOP:
      text = request.desktop.info;
      break;
    case IDOK:
      text = TextOf(kTextContinueInstall);
      break;
    case IDCANCEL:
      text = TextOf(kTextStopInstall);
      break;
    case IDC_FOLDER:
    case IDC_BROWSE:
      text = TextOf(kTextFolderHint);
      break;
    default:
      return;
  }
  SetText(window, IDC_DESCRIPTION, text);
}

INT_PTR CALLBACK OptionsProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<OptionsState*>(GetWindowLongPtrW(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<OptionsState*>(lparam);
      SetWindowLongPtrW(window, DWLP_USER, lparam);
      const OptionsRequest& request = *state->request;
      SetWindowTextW(window, Wide(request.caption).c_str());
      const std::pair<int, const ShortcutOffer*> boxes[] = {{IDC_GROUP, &request.group},
                                                            {IDC_STARTUP, &request.startup},
                                                            {IDC_DESKTOP, &request.desktop}};
      for (const auto& [id, offer] : boxes) {
        CheckDlgButton(window, id, offer->checked ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(GetDlgItem(window, id), offer->enabled);
      }
      if (request.with_folder) SetText(window, IDC_FOLDER, request.folder);
      SetText(window, IDC_DESCRIPTION,
              request.with_folder ? std::string(TextOf(kTextFolderHint)) : request.group.info);
      if (!request.with_folder) return TRUE;
      // The folder box starts with the focus, so its description stands first.
      SetFocus(GetDlgItem(window, IDC_FOLDER));
      return FALSE;
    }
    case WM_COMMAND: {
      const OptionsRequest& request = *state->request;
      int control = LOWORD(wparam);
      int code = HIWORD(wparam);
      if (code == BN_SETFOCUS || (control == IDC_FOLDER && code == EN_SETFOCUS)) {
        Describe(window, request, control);
        return TRUE;
      }
      if (code != BN_CLICKED) return FALSE;
      if (control == IDC_BROWSE) {
        if (auto folder = BrowseForFolder(window, request, TextOfControl(window, IDC_FOLDER))) {
          SetText(window, IDC_FOLDER, *folder);
        }
      } else if (control == IDOK) {
        OptionsChoice& choice = state->choice;
        choice.group = IsDlgButtonChecked(window, IDC_GROUP) == BST_CHECKED;
        choice.startup = IsDlgButtonChecked(window, IDC_STARTUP) == BST_CHECKED;
        choice.desktop = IsDlgButtonChecked(window, IDC_DESKTOP) == BST_CHECKED;
        if (request.with_folder) {
          choice.folder = TextOfControl(window, IDC_FOLDER);
          if (int problem = request.folder_problem(choice.folder)) {
            MessageBoxW(window, Wide(MessageText(problem)).c_str(), Wide(request.caption).c_str(),
                        MB_OK | MB_ICONEXCLAMATION);
            HWND edit = GetDlgItem(window, IDC_FOLDER);
            SetFocus(edit);
            SendMessageW(edit, EM_SETSEL, 0, -1);
            return TRUE;
          }
        }
        EndDialog(window, IDOK);
      } else if (control == IDCANCEL && request.confirm_cancel()) {
        EndDialog(window, IDCANCEL);
      }
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace

void Win32Dialogs::Show(const MessageBoxRequest& message) {
  MessageBoxW(nullptr, WithCrLf(Wide(message.text)).c_str(), Wide(message.caption).c_str(),
              MB_OK | IconOf(message.kind));
}

bool Win32Dialogs::Ask(const MessageBoxRequest& question) {
  return MessageBoxW(nullptr, WithCrLf(Wide(question.text)).c_str(), Wide(question.caption).c_str(),
                     MB_YESNO | IconOf(question.kind)) == IDYES;
}

bool Win32Dialogs::ShowTextPage(const TextPageRequest& page) {
  TextPageState state{&page};
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TEXT_PAGE), nullptr,
                         TextPageProc, reinterpret_cast<LPARAM>(&state)) == IDOK;
}

std::optional<OptionsChoice> Win32Dialogs::ShowOptions(const OptionsRequest& options) {
  OptionsState state{&options, {}};
  state.choice.folder = options.folder;
  int dialog = options.with_folder ? IDD_OPTIONS_WITH_FOLDER : IDD_OPTIONS;
  if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialog), nullptr, OptionsProc,
                      reinterpret_cast<LPARAM>(&state)) != IDOK) {
    return std::nullopt;
  }
  return state.choice;
}

}  // namespace plov::win32
