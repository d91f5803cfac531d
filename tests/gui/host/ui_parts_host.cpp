// A small program that shows one window part of the desktop program on its
// own, so the GUI tests can drive and photograph it before (and apart from)
// the main window. It reports what it saw on stdout as "key=value" lines and
// "ready" once the part is on screen; closing its window ends it.
//
//   ui_parts_host artwork OUT_FOLDER
//   ui_parts_host pane PICTURE[|PICTURE...] WIDTH HEIGHT name|plain [WIDTH HEIGHT]
//   ui_parts_host dialog SETTINGS_FILE
//   ui_parts_host modal SETTINGS_FILE ok|cancel
//   ui_parts_host tray
//   ui_parts_host register            (the .mrv type, for $XDG_DATA_HOME)
//   ui_parts_host icons FOLDER        (writes the hicolor icon files)
//   ui_parts_host icons-check FOLDER  (compares them with the drawing)

#include <wx/app.h>
#include <wx/arrstr.h>
#include <wx/dcmemory.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/imaglist.h>
#include <wx/menu.h>
#include <wx/sizer.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "marovine/ui/file_type_registration.h"
#include "marovine/ui/quick_view_pane.h"
#include "marovine/ui/quick_view_settings_dialog.h"
#include "marovine/ui/tray_icon.h"
#include "marovine/ui/ui_artwork.h"

namespace {

using namespace marovine::ui;

void Report(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

constexpr int kToolbarCommands[] = {57600, 57601, 57603, 32777, 32787, 32782, 32837,
                                    32838, 32773, 32778, 32789, 32781, 32827, 32826,
                                    32816, 32835, 32774, 32815, 32860, 32861};

// A strip of 16×16 images on a background, enlarged 4× without smoothing so
// every pixel can be judged.
wxImage Sheet(const std::vector<wxBitmap>& images, const wxColour& background) {
  constexpr int kCell = 20;
  wxBitmap sheet(kCell * static_cast<int>(images.size()) + 4, kCell + 4, 24);
  {
    wxMemoryDC dc(sheet);
    dc.SetBackground(wxBrush(background));
    dc.Clear();
    for (std::size_t i = 0; i < images.size(); ++i) {
      dc.DrawBitmap(images[i], 4 + kCell * static_cast<int>(i), 4, true);
    }
  }
  wxImage image = sheet.ConvertToImage();
  return image.Scale(image.GetWidth() * 4, image.GetHeight() * 4, wxIMAGE_QUALITY_NEAREST);
}

std::vector<wxBitmap> AllOf(wxImageList& list) {
  std::vector<wxBitmap> images;
  for (int i = 0; i < list.GetImageCount(); ++i) images.push_back(list.GetBitmap(i));
  return images;
}

std::string SizeOf(wxImageList& list) {
  int width = 0, height = 0;
  list.GetSize(0, width, height);
  return std::to_string(width) + "x" + std::to_string(height);
}

int Artwork(const std::string& folder) {
  std::unique_ptr<wxImageList> links(CreateLinkStateImages());
  std::unique_ptr<wxImageList> downloads(CreateDownloadStateImages());
  Report("link_images=" + std::to_string(links->GetImageCount()));
  Report("link_image_size=" + SizeOf(*links));
  Report("download_images=" + std::to_string(downloads->GetImageCount()));
  Report("download_image_size=" + SizeOf(*downloads));

  std::vector<wxBitmap> toolbar;
  for (int id : kToolbarCommands) toolbar.push_back(ToolbarImage(id));
  std::vector<wxBitmap> tray = {wxBitmap(TrayIconFrame(0)), wxBitmap(TrayIconFrame(1)),
                                wxBitmap(TrayIconFrame(2))};
  // Images with nothing drawn would still count; make sure each has ink.
  int blank = 0;
  for (auto* set : {&toolbar, &tray}) {
    for (const wxBitmap& bitmap : *set) {
      wxImage image = bitmap.ConvertToImage();
      bool ink = false;
      for (int i = 0; image.HasAlpha() && i < image.GetWidth() * image.GetHeight(); ++i) {
        ink = ink || image.GetAlpha()[i] > 128;
      }
      if (!ink) ++blank;
    }
  }
  Report("blank_images=" + std::to_string(blank));

  wxIconBundle icons = ApplicationIcons();
  std::string sizes;
  for (std::size_t i = 0; i < icons.GetIconCount(); ++i) {
    sizes += (sizes.empty() ? "" : ",") + std::to_string(icons.GetIconByIndex(i).GetWidth());
  }
  Report("application_icon_sizes=" + sizes);

  const wxColour light(255, 255, 255), dark(43, 43, 43);
  struct Named {
    const char* name;
    std::vector<wxBitmap> images;
  };
  const Named sets[] = {{"link-states", AllOf(*links)},
                        {"download-states", AllOf(*downloads)},
                        {"toolbar", toolbar},
                        {"tray", tray}};
  for (const Named& set : sets) {
    Sheet(set.images, light).SaveFile(folder + "/" + set.name + "-light.png", wxBITMAP_TYPE_PNG);
    Sheet(set.images, dark).SaveFile(folder + "/" + set.name + "-dark.png", wxBITMAP_TYPE_PNG);
  }
  ApplicationIconImage(256).SaveFile(folder + "/application-icon-256.png", wxBITMAP_TYPE_PNG);
  Report("done");
  return 0;
}

constexpr int kIconSizes[] = {16, 32, 48, 256};

std::string IconFile(const std::string& folder, int size) {
  const std::string edge = std::to_string(size);
  return folder + "/" + edge + "x" + edge + "/apps/marovine.png";
}

int WriteIcons(const std::string& folder) {
  for (int size : kIconSizes) {
    if (!wxFileName::Mkdir(wxFileName(IconFile(folder, size)).GetPath(), wxS_DIR_DEFAULT,
                           wxPATH_MKDIR_FULL) ||
        !ApplicationIconImage(size).SaveFile(IconFile(folder, size), wxBITMAP_TYPE_PNG)) {
      Report("failed=" + IconFile(folder, size));
      return 1;
    }
  }
  return 0;
}

// The icon files are committed, drawn once by WriteIcons; this says whether
// they still show what the drawing code draws (within rounding).
int CheckIcons(const std::string& folder) {
  int differing = 0;
  for (int size : kIconSizes) {
    wxImage file;
    wxImage drawn = ApplicationIconImage(size);
    if (!file.LoadFile(IconFile(folder, size), wxBITMAP_TYPE_PNG) ||
        file.GetSize() != drawn.GetSize() || !file.HasAlpha()) {
      Report("differs=" + std::to_string(size));
      ++differing;
      continue;
    }
    int worst = 0;
    for (int i = 0; i < size * size; ++i) {
      for (int c = 0; c < 3; ++c)
        worst = std::max(worst, std::abs(file.GetData()[i * 3 + c] - drawn.GetData()[i * 3 + c]));
      worst = std::max(worst, std::abs(file.GetAlpha()[i] - drawn.GetAlpha()[i]));
    }
    if (worst > 8) {
      Report("differs=" + std::to_string(size) + " by " + std::to_string(worst));
      ++differing;
    }
  }
  Report("differing_icons=" + std::to_string(differing));
  return 0;
}

class HostApp : public wxApp {
 public:
  bool OnInit() override {
    // A failed wx assertion would open a dialog nobody answers: report it
    // and end instead.
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond,
                          const wxString& message) {
      Report("assert=" + file.ToStdString() + ":" + std::to_string(line) + " " +
             cond.ToStdString() + " " + message.ToStdString(wxConvUTF8));
      std::_Exit(3);
    });
    wxInitAllImageHandlers();
    const std::vector<std::string> args(argv.GetArguments().begin(), argv.GetArguments().end());
    if (args.size() >= 3 && args[1] == "artwork") return Finish(Artwork(args[2]));
    if (args.size() >= 5 && args[1] == "pane") return ShowPane(args);
    if (args.size() >= 3 && args[1] == "dialog") return ShowDialog(args[2]);
    if (args.size() >= 4 && args[1] == "modal") return RunModal(args[2], args[3] == "ok");
    if (args.size() >= 2 && args[1] == "tray") return Finish(Tray());
    if (args.size() >= 2 && args[1] == "register") {
      const auto result = RegisterMrvFileTypeForUser();
      Report(std::string("registered=") + (result.ok ? "1" : "0") + " " + result.failure);
      return Finish(0);
    }
    if (args.size() >= 3 && args[1] == "icons") return Finish(WriteIcons(args[2]));
    if (args.size() >= 3 && args[1] == "icons-check") return Finish(CheckIcons(args[2]));
    Report("usage: see the source");
    return Finish(2);
  }
  int OnRun() override {
    wxApp::OnRun();
    return exit_code_;
  }

 private:
  // Work done without a window: leave the loop as soon as it starts.
  bool Finish(int exit_code) {
    exit_code_ = exit_code;
    CallAfter([this] { ExitMainLoop(); });
    return true;
  }

  bool ShowPane(const std::vector<std::string>& args) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "quick view host");
    auto* pane = new QuickViewPane(frame);
    pane->SetInitialSize(wxSize(std::atoi(args[3].c_str()), std::atoi(args[4].c_str())));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(pane, wxSizerFlags(1).Expand());
    frame->SetSizerAndFit(sizer);
    frame->Show();
    pane->SetShowNameAndSize(args.size() > 5 && args[5] == "name");
    // Shown after the frame is laid out, as after a download; several
    // pictures (separated by "|") are shown in turn, each reported.
    // With two more numbers the frame is then made that small around the
    // pane, as a user drags the splitter.
    wxSize smaller;
    if (args.size() > 7) smaller = wxSize(std::atoi(args[6].c_str()), std::atoi(args[7].c_str()));
    CallAfter([frame, pane, smaller, paths = args[2]] {
      wxArrayString list = wxSplit(wxString::FromUTF8(paths), '|', '\0');
      for (const wxString& path : list) {
        pane->ShowPicture(path.ToStdString(wxConvUTF8));
        pane->Update();
        const wxSize size = pane->PictureSize();
        Report("shown=" + path.AfterLast('/').ToStdString(wxConvUTF8) +
               " has=" + std::to_string(pane->HasPicture() ? 1 : 0) +
               " size=" + std::to_string(size.GetWidth()) + "x" + std::to_string(size.GetHeight()) +
               " text=" + pane->NameAndSizeText().ToStdString(wxConvUTF8));
      }
      if (smaller.IsFullySpecified() && smaller.GetWidth() > 0) {
        pane->SetMinSize(wxSize(1, 1));
        frame->SetMinSize(wxDefaultSize);
        frame->SetClientSize(smaller);
        frame->Layout();
        pane->Update();
        const wxSize now = pane->GetClientSize();
        Report("pane=" + std::to_string(now.GetWidth()) + "x" + std::to_string(now.GetHeight()));
      }
      Report("ready");
    });
    return true;
  }

  bool ShowDialog(const std::string& settings_file) {
    auto* dialog = new QuickViewSettingsDialog(nullptr, settings_file);
    auto enabled = [dialog] {
      std::string states;
      for (std::size_t i = 0; i < 4; ++i) states += dialog->box(i)->IsEnabled() ? '1' : '0';
      return states;
    };
    Report("title=" + dialog->GetTitle().ToStdString(wxConvUTF8));
    for (std::size_t i = 0; i < 4; ++i)
      Report("box=" + dialog->box(i)->GetLabel().ToStdString(wxConvUTF8));
    Report("enabled_at_start=" + enabled());
    dialog->Click(0, false);
    Report("enabled_unchecked=" + enabled());
    dialog->Click(0, true);
    Report("enabled_checked=" + enabled());
    dialog->Click(3, true);
    Report(std::string("written=") + (dialog->WriteSettings() ? "1" : "0"));
    dialog->Bind(wxEVT_CLOSE_WINDOW, [dialog](wxCloseEvent&) { dialog->Destroy(); });
    dialog->Show();
    CallAfter([] { Report("ready"); });
    return true;
  }

  // The dialog as the menu command runs it: the user checks two boxes and
  // leaves with OK or Cancel.
  bool RunModal(const std::string& settings_file, bool ok) {
    CallAfter([this, settings_file, ok] {
      CallAfter([ok] {
        for (wxWindow* window : wxTopLevelWindows) {
          if (auto* dialog = dynamic_cast<QuickViewSettingsDialog*>(window)) {
            dialog->Click(0, true);
            dialog->Click(2, true);
            dialog->EndModal(ok ? wxID_OK : wxID_CANCEL);
          }
        }
      });
      const bool written = ShowQuickViewSettingsDialog(nullptr, settings_file);
      Report(std::string("answer=") + (written ? "1" : "0"));
      ExitMainLoop();
    });
    return true;
  }

  int Tray() {
    Report(std::string("available=") + (MarovineTrayIcon::Available() ? "1" : "0"));
    MarovineTrayIcon tray({});
    std::string frames = std::to_string(tray.shown_frame());
    for (bool animate : {true, true, true, true, false, false, true, false}) {
      tray.AnimationStep(animate);
      frames += std::to_string(tray.shown_frame());
    }
    Report("frames=" + frames);
    std::unique_ptr<wxMenu> menu(MarovineTrayIcon::CreateMenu());
    for (const wxMenuItem* item : menu->GetMenuItems()) {
      Report("menu=" + (item->IsSeparator() ? std::string("-")
                                            : item->GetItemLabel().ToStdString(wxConvUTF8)));
    }
    return 0;
  }

  int exit_code_ = 0;
};

}  // namespace

wxIMPLEMENT_APP(HostApp);
