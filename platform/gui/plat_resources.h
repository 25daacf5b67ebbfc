#pragma once
// The program's images (icons and bitmaps, by resource number) and fonts.
#include "plat_window.h"

#include <cstddef>
#include <string>

class QPixmap;
class QIcon;
class QFont;

namespace plat {

using hbitmap = QPixmap*;
using hicon = QIcon*;
using hfont = QFont*;

// Makes an image (PNG, BMP or any format the toolkit reads) available under its number.
void register_image(int id, const unsigned char* data, std::size_t size);

// A new bitmap or icon of the registered image; null when none is registered or it can't be
// read. The caller deletes it with delete_object.
hbitmap load_bitmap(int id);
hicon load_icon(int id, int cx, int cy);
bool delete_object(hbitmap bitmap);
bool delete_object(hicon icon);

// The system's large icon size.
int large_icon_size();

// A font as the system describes it: height negative for the character height in pixels.
struct log_font {
    int height = 0;
    int weight = 400;
    int charset = 1;
    int pitch_and_family = 0;
    std::string face;
};

hfont create_font(const log_font& description);
bool delete_object(hfont font);

// The window's device resolution, pixels per logical inch down.
int logical_pixels_y(hwnd window);

// The icons of WM_SETICON.
inline constexpr int ICON_SMALL = 0;
inline constexpr int ICON_BIG = 1;

} // namespace plat
