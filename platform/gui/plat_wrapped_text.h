#pragma once
// Plain text that is shown whole in any width: a line breaks at the text's own line ends,
// between words, and inside a word wider than the line (a long path), so that the text
// grows in height instead of being cut short at the edge.
#include <QString>
#include <QWidget>

class QTextLayout;

namespace plat {

class wrapped_text : public QWidget {
public:
    explicit wrapped_text(const QString& text, QWidget* parent = nullptr);

    // The width of the widest line when lines break only at the text's own line ends.
    int natural_width() const;
    // The width of the widest word, which breaks only when the line is narrower.
    int widest_word() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Lays the text out in lines of `width` pixels, breaking words only with `anywhere`;
    // gives the height of the lines and the width of the widest one.
    QSize lay_out(QTextLayout& layout, int width, bool anywhere) const;

    QString shown;
};

} // namespace plat
