#include "marovine/ui/ui_artwork.h"

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/pen.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>

namespace marovine::ui {
namespace {

// The commands of the main toolbar, by their menu command ids.
enum ToolbarCommand {
  kCmdNew = 57600,
  kCmdOpen = 57601,
  kCmdSave = 57603,
  kCmdStart = 32777,
  kCmdStopListing = 32787,
  kCmdStopAll = 32782,
  kCmdModeCrawl = 32837,
  kCmdModeWholeSite = 32838,
  kCmdEnterUrl = 32773,
  kCmdDelete = 32778,
  kCmdPaste = 32789,
  kCmdImportFile = 32781,
  kCmdMoveDown = 32827,
  kCmdMoveUp = 32826,
  kCmdSequentialUrls = 32816,
  kCmdClipboardWatch = 32835,
  kCmdDefaultProperties = 32774,
  kCmdProxy = 32815,
  kCmdDialUp = 32860,
  kCmdAlbum = 32861,
};

// The download list's row icons, in image-list order.
enum DownloadIcon {
  kDownloadWaiting,
  kDownloadRunning,
  kDownloadDone,
  kDownloadSizeRemoved,
  kDownloadPage,
  kDownloadError,
  kDownloadWaitingAgain,
  kDownloadStopped,
  kDownloadStateImageCount
};

constexpr int kLinkStateImageCount = 12;  // three states × four groups
constexpr int kApplicationIconSizes[] = {16, 32, 48, 256};

// Every picture is drawn in a 16 × 16 design space and scaled to the size
// asked for. Shapes get a dark outline and a saturated or white fill: the
// outline carries them on light backgrounds, the fill on dark ones.
using Painter = std::function<void(wxGraphicsContext&)>;

const wxColour kOutline(40, 40, 48);
const wxColour kPaper(250, 250, 246);
const wxColour kInk(70, 90, 130);
const wxColour kBlue(52, 120, 220);
const wxColour kGreen(46, 160, 67);
const wxColour kRed(214, 48, 49);
const wxColour kOrange(240, 140, 20);
const wxColour kYellow(246, 200, 60);
const wxColour kGrey(150, 150, 158);
const wxColour kTeal(24, 128, 140);
const wxColour kPurple(170, 100, 235);
const wxColour kBrown(160, 110, 60);

wxImage PaintImage(int size, const Painter& paint) {
  wxImage image(size, size);
  image.InitAlpha();
  std::fill_n(image.GetAlpha(), static_cast<std::size_t>(size) * size, 0);
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (gc) {
      gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
      gc->Scale(size / 16.0, size / 16.0);
      paint(*gc);
    }
  }  // the context writes the pixels back into the image when it goes
  return image;
}

wxBitmap Paint(int size, const Painter& paint) { return wxBitmap(PaintImage(size, paint)); }

void Outlined(wxGraphicsContext& gc, const wxColour& fill) {
  gc.SetPen(wxPen(kOutline, 1));
  gc.SetBrush(wxBrush(fill));
}

void Stroke(wxGraphicsContext& gc, const wxColour& colour, double width) {
  gc.SetPen(
      gc.CreatePen(wxGraphicsPenInfo(colour).Width(width).Cap(wxCAP_ROUND).Join(wxJOIN_ROUND)));
}

// A sheet of paper with a folded corner and three lines of text.
void DrawPage(wxGraphicsContext& gc, double x, double y, double w, double h, bool lines = true) {
  wxGraphicsPath page = gc.CreatePath();
  page.MoveToPoint(x, y);
  page.AddLineToPoint(x + w - 3.5, y);
  page.AddLineToPoint(x + w, y + 3.5);
  page.AddLineToPoint(x + w, y + h);
  page.AddLineToPoint(x, y + h);
  page.CloseSubpath();
  Outlined(gc, kPaper);
  gc.DrawPath(page);
  if (!lines) return;
  Stroke(gc, kInk, 1.0);
  for (double line = y + 4.5; line < y + h - 1.5; line += 2.5) {
    gc.StrokeLine(x + 2, line, x + w - 2, line);
  }
}

void DrawDisc(wxGraphicsContext& gc, double cx, double cy, double r, const wxColour& fill) {
  Outlined(gc, fill);
  gc.DrawEllipse(cx - r, cy - r, 2 * r, 2 * r);
}

void DrawCheck(wxGraphicsContext& gc, double cx, double cy, double r, const wxColour& colour,
               double width) {
  Stroke(gc, colour, width);
  wxGraphicsPath tick = gc.CreatePath();
  tick.MoveToPoint(cx - r * 0.6, cy);
  tick.AddLineToPoint(cx - r * 0.15, cy + r * 0.5);
  tick.AddLineToPoint(cx + r * 0.65, cy - r * 0.5);
  gc.StrokePath(tick);
}

void DrawCross(wxGraphicsContext& gc, double cx, double cy, double r, const wxColour& colour,
               double width) {
  Stroke(gc, colour, width);
  gc.StrokeLine(cx - r, cy - r, cx + r, cy + r);
  gc.StrokeLine(cx - r, cy + r, cx + r, cy - r);
}

// A block arrow pointing down (or up), its shaft `w` wide.
void DrawArrow(wxGraphicsContext& gc, double cx, double top, double bottom, double w,
               const wxColour& fill, bool up = false) {
  const double head = w * 1.05;
  const double neck = up ? top + head : bottom - head;
  wxGraphicsPath arrow = gc.CreatePath();
  if (up) {
    arrow.MoveToPoint(cx, top);
    arrow.AddLineToPoint(cx + head, neck);
    arrow.AddLineToPoint(cx + w / 2, neck);
    arrow.AddLineToPoint(cx + w / 2, bottom);
    arrow.AddLineToPoint(cx - w / 2, bottom);
    arrow.AddLineToPoint(cx - w / 2, neck);
    arrow.AddLineToPoint(cx - head, neck);
  } else {
    arrow.MoveToPoint(cx - w / 2, top);
    arrow.AddLineToPoint(cx + w / 2, top);
    arrow.AddLineToPoint(cx + w / 2, neck);
    arrow.AddLineToPoint(cx + head, neck);
    arrow.AddLineToPoint(cx, bottom);
    arrow.AddLineToPoint(cx - head, neck);
    arrow.AddLineToPoint(cx - w / 2, neck);
  }
  arrow.CloseSubpath();
  Outlined(gc, fill);
  gc.DrawPath(arrow);
}

// A circular arrow (turning clockwise), for "again" and "reset".
void DrawTurnArrow(wxGraphicsContext& gc, double cx, double cy, double r, const wxColour& colour,
                   double width) {
  constexpr double pi = std::numbers::pi;
  wxGraphicsPath arc = gc.CreatePath();
  arc.AddArc(cx, cy, r, -pi * 0.35, pi * 1.25, true);
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(kOutline).Width(width + 1.4).Cap(wxCAP_BUTT)));
  gc.StrokePath(arc);
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(colour).Width(width).Cap(wxCAP_BUTT)));
  gc.StrokePath(arc);
  // The head at the arc's start, pointing along the turn.
  const double a = -pi * 0.35;
  const double hx = cx + r * std::cos(a);
  const double hy = cy + r * std::sin(a);
  wxGraphicsPath head = gc.CreatePath();
  head.MoveToPoint(hx - width * 1.3, hy - width * 0.6);
  head.AddLineToPoint(hx + width * 1.3, hy - width * 0.9);
  head.AddLineToPoint(hx + width * 0.5, hy + width * 1.5);
  head.CloseSubpath();
  Outlined(gc, colour);
  gc.DrawPath(head);
}

void DrawGlobe(wxGraphicsContext& gc, double cx, double cy, double r) {
  DrawDisc(gc, cx, cy, r, wxColour(70, 170, 220));
  Stroke(gc, wxColour(20, 90, 60), 1.0);
  gc.StrokeLine(cx - r, cy, cx + r, cy);
  gc.StrokeLine(cx, cy - r, cx, cy + r);
  gc.SetBrush(*wxTRANSPARENT_BRUSH);
  gc.DrawEllipse(cx - r * 0.45, cy - r, r * 0.9, 2 * r);
}

void DrawMagnifier(wxGraphicsContext& gc, double cx, double cy, double r) {
  Stroke(gc, kOutline, 3.2);
  gc.StrokeLine(cx + r * 0.7, cy + r * 0.7, cx + r * 1.9, cy + r * 1.9);
  Stroke(gc, kBrown, 1.8);
  gc.StrokeLine(cx + r * 0.8, cy + r * 0.8, cx + r * 1.8, cy + r * 1.8);
  DrawDisc(gc, cx, cy, r, wxColour(200, 230, 255));
}

void DrawFolder(wxGraphicsContext& gc, bool open) {
  wxGraphicsPath back = gc.CreatePath();
  back.MoveToPoint(1.5, 3.5);
  back.AddLineToPoint(6, 3.5);
  back.AddLineToPoint(7.5, 5);
  back.AddLineToPoint(14.5, 5);
  back.AddLineToPoint(14.5, 13.5);
  back.AddLineToPoint(1.5, 13.5);
  back.CloseSubpath();
  Outlined(gc, wxColour(214, 160, 40));
  gc.DrawPath(back);
  wxGraphicsPath front = gc.CreatePath();
  if (open) {
    front.MoveToPoint(3.5, 7.5);
    front.AddLineToPoint(15.5, 7.5);
    front.AddLineToPoint(13.5, 13.5);
    front.AddLineToPoint(1.5, 13.5);
  } else {
    front.MoveToPoint(1.5, 6.5);
    front.AddLineToPoint(14.5, 6.5);
    front.AddLineToPoint(14.5, 13.5);
    front.AddLineToPoint(1.5, 13.5);
  }
  front.CloseSubpath();
  Outlined(gc, kYellow);
  gc.DrawPath(front);
}

void DrawClipboard(wxGraphicsContext& gc) {
  Outlined(gc, kBrown);
  gc.DrawRoundedRectangle(2.5, 2.5, 11, 13, 1.5);
  Outlined(gc, kPaper);
  gc.DrawRectangle(4.5, 4.5, 7, 9);
  Outlined(gc, kGrey);
  gc.DrawRoundedRectangle(5.5, 1.5, 5, 3, 1);
}

// Three lines of a list on the left, for the two reordering commands.
void DrawListLines(wxGraphicsContext& gc) {
  Outlined(gc, kPaper);
  for (double y : {2.5, 7.0, 11.5}) gc.DrawRectangle(1.5, y, 7, 2.5);
}

void DrawGear(wxGraphicsContext& gc, double cx, double cy, double r) {
  constexpr int kTeeth = 8;
  wxGraphicsPath gear = gc.CreatePath();
  for (int i = 0; i < kTeeth * 2; ++i) {
    const double a0 = std::numbers::pi * 2 * i / (kTeeth * 2);
    const double a1 = std::numbers::pi * 2 * (i + 1) / (kTeeth * 2);
    const double radius = i % 2 == 0 ? r : r * 0.72;
    if (i == 0) gear.MoveToPoint(cx + radius * std::cos(a0), cy + radius * std::sin(a0));
    gear.AddLineToPoint(cx + radius * std::cos(a0), cy + radius * std::sin(a0));
    gear.AddLineToPoint(cx + radius * std::cos(a1), cy + radius * std::sin(a1));
  }
  gear.CloseSubpath();
  gear.AddCircle(cx, cy, r * 0.3);
  gc.SetPen(wxPen(kOutline, 1));
  gc.SetBrush(wxBrush(kGrey));
  gc.DrawPath(gear, wxODDEVEN_RULE);
}

void DrawStopSquare(wxGraphicsContext& gc, double x, double y, double side) {
  Outlined(gc, kRed);
  gc.DrawRoundedRectangle(x, y, side, side, side / 6);
}

void DrawPlay(wxGraphicsContext& gc) {
  wxGraphicsPath play = gc.CreatePath();
  play.MoveToPoint(3.5, 2);
  play.AddLineToPoint(14, 8);
  play.AddLineToPoint(3.5, 14);
  play.CloseSubpath();
  Outlined(gc, kGreen);
  gc.DrawPath(play);
}

// The program's mark: a teal tile with a white arrow dropping onto a tray.
void DrawProgramMark(wxGraphicsContext& gc, const wxColour& arrow, double arrow_shift) {
  gc.SetPen(wxPen(wxColour(10, 70, 80), 1));
  gc.SetBrush(gc.CreateLinearGradientBrush(0, 0, 0, 16, wxColour(40, 170, 180), kTeal));
  gc.DrawRoundedRectangle(0.5, 0.5, 15, 15, 3);
  DrawArrow(gc, 8, 2 + arrow_shift, 10.5 + arrow_shift, 4, arrow);
  Stroke(gc, kYellow, 1.6);
  wxGraphicsPath tray = gc.CreatePath();
  tray.MoveToPoint(3, 10.5);
  tray.AddLineToPoint(3, 13);
  tray.AddLineToPoint(13, 13);
  tray.AddLineToPoint(13, 10.5);
  gc.StrokePath(tray);
}

// --- link list: the mode glyph, a state badge, the periodic-reset mark ---

void DrawLinkState(wxGraphicsContext& gc, int state, int group) {
  const bool crawl = (group & 1) != 0;
  const bool periodic_reset = (group & 2) != 0;
  if (crawl) {
    DrawPage(gc, 1.5, 0.5, 10, 13);
  } else {
    DrawGlobe(gc, 6.5, 7, 5.8);
  }
  if (periodic_reset) DrawTurnArrow(gc, 4, 4, 2.6, kPurple, 1.4);
  // Badge at the bottom right: a clock face waiting, an orange "running"
  // triangle searching, a green check done.
  switch (state) {
    case 0:
      DrawDisc(gc, 11.5, 11.5, 4, kPaper);
      Stroke(gc, kOutline, 1.1);
      gc.StrokeLine(11.5, 11.5, 11.5, 8.8);
      gc.StrokeLine(11.5, 11.5, 13.5, 11.5);
      break;
    case 1: {
      DrawDisc(gc, 11.5, 11.5, 4, kOrange);
      wxGraphicsPath running = gc.CreatePath();
      running.MoveToPoint(10, 9.4);
      running.AddLineToPoint(14, 11.5);
      running.AddLineToPoint(10, 13.6);
      running.CloseSubpath();
      gc.SetPen(*wxTRANSPARENT_PEN);
      gc.SetBrush(wxBrush(kPaper));
      gc.FillPath(running);
      break;
    }
    default:
      DrawDisc(gc, 11.5, 11.5, 4, kGreen);
      DrawCheck(gc, 11.5, 11.5, 3, kPaper, 1.6);
      break;
  }
}

// --- download list: one picture per row icon ---

void DrawDownloadState(wxGraphicsContext& gc, int icon) {
  switch (icon) {
    case kDownloadWaiting:  // an empty clock face
      DrawDisc(gc, 8, 8, 6.5, kPaper);
      Stroke(gc, kOutline, 1.4);
      gc.StrokeLine(8, 8, 8, 3.5);
      gc.StrokeLine(8, 8, 11, 9.5);
      break;
    case kDownloadRunning:  // an arrow going down
      DrawArrow(gc, 8, 1, 15, 4.5, kBlue);
      break;
    case kDownloadDone:
      DrawDisc(gc, 8, 8, 6.8, kGreen);
      DrawCheck(gc, 8, 8, 5, kPaper, 2.2);
      break;
    case kDownloadSizeRemoved:  // a greyed page with a minus: kept out for its size
      DrawPage(gc, 1.5, 0.5, 10, 13, false);
      Stroke(gc, kGrey, 1.0);
      gc.StrokeLine(3.5, 4.5, 9.5, 4.5);
      gc.StrokeLine(3.5, 7, 9.5, 7);
      DrawDisc(gc, 11.5, 11.5, 4, kOrange);
      Stroke(gc, kPaper, 1.8);
      gc.StrokeLine(9.5, 11.5, 13.5, 11.5);
      break;
    case kDownloadPage:  // a web page: paper with a blue title bar
      DrawPage(gc, 2.5, 0.5, 11, 15);
      Outlined(gc, kBlue);
      gc.DrawRectangle(2.5, 0.5, 7.5, 3);
      break;
    case kDownloadError:
      DrawDisc(gc, 8, 8, 6.8, kRed);
      DrawCross(gc, 8, 8, 3, kPaper, 2.2);
      break;
    case kDownloadWaitingAgain:  // the clock with a turning arrow around it
      DrawTurnArrow(gc, 8, 8, 5.5, kOrange, 2.2);
      Stroke(gc, kOutline, 1.3);
      gc.StrokeLine(8, 8, 8, 5);
      gc.StrokeLine(8, 8, 10, 9);
      break;
    default:  // stopped by the user
      DrawStopSquare(gc, 2.5, 2.5, 11);
      Stroke(gc, kPaper, 1.8);
      gc.StrokeLine(6.5, 5.5, 6.5, 10.5);
      gc.StrokeLine(9.5, 5.5, 9.5, 10.5);
      break;
  }
}

// --- toolbar ---

void DrawCommand(wxGraphicsContext& gc, int command_id) {
  switch (command_id) {
    case kCmdNew:
      DrawPage(gc, 2.5, 1.5, 10, 13, false);
      DrawDisc(gc, 12, 4, 2.6, kYellow);
      break;
    case kCmdOpen:
      DrawFolder(gc, true);
      break;
    case kCmdSave:
      Outlined(gc, kBlue);
      gc.DrawRoundedRectangle(1.5, 1.5, 13, 13, 1.5);
      Outlined(gc, kPaper);
      gc.DrawRectangle(4, 1.5, 8, 5);
      Outlined(gc, kGrey);
      gc.DrawRectangle(4.5, 9.5, 7, 5);
      break;
    case kCmdStart:
      DrawPlay(gc);
      break;
    case kCmdStopListing:  // the list with a stop mark
      DrawPage(gc, 1.5, 0.5, 10, 13);
      DrawStopSquare(gc, 8.5, 8.5, 7);
      break;
    case kCmdStopAll:
      DrawStopSquare(gc, 2, 2, 12);
      break;
    case kCmdModeCrawl:  // searching pages for files
      DrawPage(gc, 1.5, 0.5, 10, 13);
      DrawMagnifier(gc, 9, 9, 3.2);
      break;
    case kCmdModeWholeSite:  // the whole site
      DrawGlobe(gc, 8, 8, 6.8);
      break;
    case kCmdEnterUrl: {  // a text line with a pencil
      Outlined(gc, kPaper);
      gc.DrawRectangle(0.5, 9.5, 15, 5);
      Stroke(gc, kOutline, 3.6);
      gc.StrokeLine(5, 11, 13, 2.5);
      Stroke(gc, kOrange, 2.0);
      gc.StrokeLine(5.6, 10.4, 12.6, 3);
      break;
    }
    case kCmdDelete:
      Stroke(gc, kOutline, 4.2);
      gc.StrokeLine(3, 3, 13, 13);
      gc.StrokeLine(3, 13, 13, 3);
      DrawCross(gc, 8, 8, 5, kRed, 2.6);
      break;
    case kCmdPaste:
      DrawClipboard(gc);
      DrawPage(gc, 7.5, 6.5, 8, 9);
      break;
    case kCmdImportFile:  // a page taking an arrow in from the left
      DrawPage(gc, 5.5, 0.5, 10, 14);
      gc.PushState();
      gc.Translate(7.5, 8);
      gc.Rotate(-std::numbers::pi / 2);
      DrawArrow(gc, 0, -7, 1, 3.2, kGreen);
      gc.PopState();
      break;
    case kCmdMoveDown:
      DrawListLines(gc);
      DrawArrow(gc, 12, 1, 15, 3.4, kBlue);
      break;
    case kCmdMoveUp:
      DrawListLines(gc);
      DrawArrow(gc, 12, 1, 15, 3.4, kBlue, true);
      break;
    case kCmdSequentialUrls:  // bars rising one step at a time
      Outlined(gc, kBlue);
      gc.DrawRectangle(1.5, 10.5, 3.5, 5);
      gc.DrawRectangle(6.25, 6.5, 3.5, 9);
      gc.DrawRectangle(11, 2.5, 3.5, 13);
      break;
    case kCmdClipboardWatch:  // the clipboard with an eye on it
      DrawClipboard(gc);
      Outlined(gc, kPaper);
      gc.DrawEllipse(3, 6.5, 10, 6);
      DrawDisc(gc, 8, 9.5, 1.9, kBlue);
      break;
    case kCmdDefaultProperties:
      DrawGear(gc, 8, 8, 7);
      break;
    case kCmdProxy:  // through a relay: in from the left, out to the right
      Outlined(gc, kGrey);
      gc.DrawRoundedRectangle(5.5, 4.5, 5, 7, 1);
      Stroke(gc, kGreen, 2.0);
      gc.StrokeLine(0.5, 8, 5, 8);
      gc.StrokeLine(11, 8, 15.5, 8);
      DrawDisc(gc, 8, 8, 1.2, kGreen);
      break;
    case kCmdDialUp: {  // a telephone handset
      Stroke(gc, kOutline, 4.6);
      wxGraphicsPath handset = gc.CreatePath();
      handset.MoveToPoint(3, 5);
      handset.AddQuadCurveToPoint(8, 1.5, 13, 5);
      gc.StrokePath(handset);
      Stroke(gc, kTeal, 3.0);
      gc.StrokePath(handset);
      Outlined(gc, kTeal);
      gc.DrawRoundedRectangle(3.5, 8.5, 9, 6, 1.5);
      DrawDisc(gc, 8, 11.5, 1.5, kPaper);
      break;
    }
    case kCmdAlbum: {  // a framed picture: sky, sun, a hill
      Outlined(gc, wxColour(120, 190, 250));
      gc.DrawRectangle(0.5, 2.5, 15, 11);
      DrawDisc(gc, 11.5, 5.5, 1.6, kYellow);
      wxGraphicsPath hill = gc.CreatePath();
      hill.MoveToPoint(1, 13);
      hill.AddLineToPoint(5.5, 6.5);
      hill.AddLineToPoint(10, 13);
      hill.CloseSubpath();
      Outlined(gc, kGreen);
      gc.DrawPath(hill);
      break;
    }
    default:  // a plain frame, still visible
      Outlined(gc, kPaper);
      gc.DrawRectangle(2.5, 2.5, 11, 11);
      break;
  }
}

wxImageList* MakeList(int count, const std::function<void(wxGraphicsContext&, int)>& draw) {
  auto* list = new wxImageList(16, 16, true, count);
  for (int i = 0; i < count; ++i) {
    list->Add(Paint(16, [&](wxGraphicsContext& gc) { draw(gc, i); }));
  }
  return list;
}

wxIcon IconOf(const wxBitmap& bitmap) {
  wxIcon icon;
  icon.CopyFromBitmap(bitmap);
  return icon;
}

}  // namespace

wxImageList* CreateLinkStateImages() {
  return MakeList(kLinkStateImageCount,
                  [](wxGraphicsContext& gc, int i) { DrawLinkState(gc, i % 3, i / 3); });
}

wxImageList* CreateDownloadStateImages() {
  return MakeList(kDownloadStateImageCount,
                  [](wxGraphicsContext& gc, int i) { DrawDownloadState(gc, i); });
}

wxBitmap ToolbarImage(int command_id) {
  return Paint(16, [&](wxGraphicsContext& gc) { DrawCommand(gc, command_id); });
}

wxImage ApplicationIconImage(int size) {
  return PaintImage(size, [](wxGraphicsContext& gc) { DrawProgramMark(gc, kPaper, 0); });
}

wxIconBundle ApplicationIcons() {
  wxIconBundle bundle;
  for (int size : kApplicationIconSizes)
    bundle.AddIcon(IconOf(wxBitmap(ApplicationIconImage(size))));
  return bundle;
}

wxIcon TrayIconFrame(int frame) {
  // The arrow drops one step per frame and turns orange while it moves.
  const wxColour colour = frame == 0 ? kPaper : kOrange;
  const double shift = frame == 1 ? -1.0 : frame == 2 ? 1.5 : 0.0;
  return IconOf(Paint(16, [&](wxGraphicsContext& gc) { DrawProgramMark(gc, colour, shift); }));
}

}  // namespace marovine::ui
