#include "plat_wrapped_text.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

// The narrowest the text is made before it breaks inside every word: a few characters.
constexpr int fewest_characters = 8;
// Wider than any screen: lines break only at the text's own line ends.
constexpr int unbounded = 1 << 24;

} // namespace

wrapped_text::wrapped_text(const QString& text, QWidget* parent) : QWidget(parent), shown(text)
{
    // The text's line ends, whichever the system wrote, break the line and show nothing.
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setAccessibleName(text);
}

QSize wrapped_text::lay_out(QTextLayout& layout, int width, bool anywhere) const
{
    layout.setText(shown);
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(anywhere ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WordWrap);
    layout.setTextOption(option);
    qreal height = 0, widest = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 1));
        line.setPosition(QPointF(0, height));
        height += line.height();
        widest = std::max(widest, line.naturalTextWidth());
    }
    layout.endLayout();
    // An empty text still takes a line, as a label's does.
    const int line_height = QFontMetrics(font()).height();
    return {static_cast<int>(std::ceil(widest)), std::max(static_cast<int>(std::ceil(height)), line_height)};
}

int wrapped_text::natural_width() const
{
    QTextLayout layout;
    return lay_out(layout, unbounded, false).width();
}

int wrapped_text::widest_word() const
{
    // Lines as narrow as can be hold one word each.
    QTextLayout layout;
    return lay_out(layout, 1, false).width();
}

int wrapped_text::heightForWidth(int width) const
{
    QTextLayout layout;
    return lay_out(layout, width, true).height();
}

QSize wrapped_text::sizeHint() const
{
    const int width = natural_width();
    return {width, heightForWidth(width)};
}

QSize wrapped_text::minimumSizeHint() const
{
    const int width = std::min(natural_width(), fewest_characters * QFontMetrics(font()).averageCharWidth());
    return {width, QFontMetrics(font()).height()};
}

void wrapped_text::paintEvent(QPaintEvent*)
{
    QTextLayout layout;
    lay_out(layout, width(), true);
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    layout.draw(&painter, QPointF(0, 0));
}

void wrapped_text::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace plat
