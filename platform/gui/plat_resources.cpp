#include "plat_resources.h"

#include "plat_dialog_builder.h"

#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <map>
#include <mutex>
#include <vector>

namespace plat {

namespace {

std::mutex images_lock;
std::map<int, std::vector<unsigned char>>& images()
{
    static std::map<int, std::vector<unsigned char>> table;
    return table;
}

QImage image_of(int id)
{
    std::lock_guard<std::mutex> guard(images_lock);
    const auto found = images().find(id);
    if (found == images().end())
        return QImage();
    return QImage::fromData(found->second.data(), static_cast<int>(found->second.size()));
}

} // namespace

void register_image(int id, const unsigned char* data, std::size_t size)
{
    std::lock_guard<std::mutex> guard(images_lock);
    images()[id].assign(data, data + size);
}

hbitmap load_bitmap(int id)
{
    if (QGuiApplication::instance() == nullptr)
        return nullptr;
    const QImage image = image_of(id);
    if (image.isNull())
        return nullptr;
    return new QPixmap(QPixmap::fromImage(image));
}

hicon load_icon(int id, int cx, int cy)
{
    if (QGuiApplication::instance() == nullptr)
        return nullptr;
    const QImage image = image_of(id);
    if (image.isNull())
        return nullptr;
    return new QIcon(QPixmap::fromImage(image.scaled(cx, cy, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

bool delete_object(hbitmap bitmap)
{
    delete bitmap;
    return bitmap != nullptr;
}

bool delete_object(hicon icon)
{
    delete icon;
    return icon != nullptr;
}

bool delete_object(hfont font)
{
    delete font;
    return font != nullptr;
}

int large_icon_size() { return 32; }

hfont create_font(const log_font& description)
{
    auto* font = new QFont(font_family(description.face.c_str()));
    if (description.height < 0)
        font->setPixelSize(-description.height);
    else if (description.height > 0)
        font->setPixelSize(description.height);
    font->setWeight(description.weight >= 700 ? QFont::Bold : QFont::Normal);
    font->setStyleHint(QFont::SansSerif);
    return font;
}

int logical_pixels_y(hwnd window)
{
    if (window != nullptr)
        return window->logicalDpiY();
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? static_cast<int>(screen->logicalDotsPerInchY()) : 96;
}

} // namespace plat
