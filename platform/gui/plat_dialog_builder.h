#pragma once
// Turns a dialog template into widgets: the controls are made by the controls module,
// placed by converting dialog units with the metrics of the template's font, and wired so
// that their notifications reach the window that holds them as WM_COMMAND.
#include "plat_dialog_template.h"

#include <QFont>
#include <QSize>

class QWidget;

namespace plat {

// The font that a template's face name stands for here: "MS Shell Dlg" is the platform's
// default dialog font; a face that is not installed falls back to the default sans font.
QFont dialog_font(const char* face, int point_size);
QString font_family(const char* face);

// Dialog units to pixels for a font (the system's rule: a quarter of the average
// character width across, an eighth of the character height down).
class dialog_units {
public:
    explicit dialog_units(const QFont& font);
    int x(int units) const;
    int y(int units) const;
    QSize size(int cx, int cy) const { return QSize(x(cx), y(cy)); }

private:
    int base_x;
    int base_y;
};

// Fills `host` with the template's controls and gives it the template's font and size.
// The widget is one of ours (a dialog, a page): it must be registered as a window.
void build_dialog(QWidget* host, const dialog_template& resource);

} // namespace plat
