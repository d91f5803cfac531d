#pragma once

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/iconbndl.h>
#include <wx/image.h>
#include <wx/imaglist.h>

namespace marovine::ui {

// The program draws its own pictures, so nothing can go missing from an
// installation and every image is legible on light and dark themes.

// Twelve 16×16 images for the link list, in the order of the rows' image
// numbers (state image + 3 × group). The caller owns the list.
wxImageList* CreateLinkStateImages();

// Eight 16×16 images for the download list, in the order of the download
// icons (0 waiting, 1 running, 2 done, 3 removed for size, 4 page, 5 error,
// 6 waiting again, 7 stopped). The caller owns the list.
wxImageList* CreateDownloadStateImages();

// The 16×16 toolbar image of a menu command id (57600 new, 57601 open, 57603
// save, 32777 start, ...: every command of the main toolbar). An id without
// an image of its own gets a plain, still visible frame.
wxBitmap ToolbarImage(int command_id);

// The program's icon at 16, 32, 48 and 256 pixels, for frames and dialogs.
wxIconBundle ApplicationIcons();
// The same picture at any size, with alpha, for the icon files the desktop
// menu shows (written at build time and when the file type is registered).
wxImage ApplicationIconImage(int size);

// The tray icon: frame 0 is the idle icon, 1 and 2 the animation frames
// shown in turn while a crawl runs.
wxIcon TrayIconFrame(int frame);

}  // namespace marovine::ui
