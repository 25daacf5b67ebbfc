#pragma once
// Dialog templates as data: the controls of a dialog or page with their ids, classes,
// texts, styles and rectangles in dialog units, and the dialog's size and font.
// The program's templates are reached by their number through dialog_resource<N>().
#include <string>
#include <vector>

namespace plat {

// The id of a control that the program never addresses.
inline constexpr int IDC_STATIC = -1;

struct dialog_item {
    int id;
    const char* cls;   // "STATIC", "BUTTON", "EDIT", "msctls_progress32"
    const char* text;  // for an icon static: "#" and the icon's number
    unsigned style;    // the control's style bits (WS_*, BS_*, ES_*, SS_*)
    int x, y, cx, cy;  // dialog units
};

struct dialog_template {
    int id;
    int cx, cy;           // dialog units
    const char* font;     // face name
    int point_size;
    std::vector<dialog_item> items;
};

// The template numbered `Id`; each template is defined by the code that owns the dialog.
template <int Id>
const dialog_template& dialog_resource();

} // namespace plat
