#include "readabletext.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {
// sRGB channel values made linear, once for all 256 of them.
const std::array<double, 256> &linear()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values {};
        for (int value = 0; value < 256; ++value) {
            const double c = value / 255.0;
            values[size_t(value)] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return values;
    }();
    return table;
}

double luminance(QRgb rgb)
{
    const auto &l = linear();
    return 0.2126 * l[size_t(qRed(rgb))] + 0.7152 * l[size_t(qGreen(rgb))] + 0.0722 * l[size_t(qBlue(rgb))];
}

double ratio(double lighter, double darker)
{
    return (lighter + 0.05) / (darker + 0.05);
}
}

namespace ReadableText {

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a.rgb());
    const double lb = luminance(b.rgb());
    return la > lb ? ratio(la, lb) : ratio(lb, la);
}

Choice over(const QImage &backdrop)
{
    const QImage image = backdrop.convertToFormat(QImage::Format_RGB32);
    std::vector<double> levels;
    levels.reserve(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            levels.push_back(luminance(line[x]));
    }
    if (levels.empty())
        return { Qt::black, ratio(1, 0) };
    const size_t margin = levels.size() / 20;
    // Black text fares worst over the darkest pixels, white text over the lightest.
    std::nth_element(levels.begin(), levels.begin() + margin, levels.end());
    const double darkest = levels[margin];
    std::nth_element(levels.begin(), levels.end() - 1 - margin, levels.end());
    const double lightest = levels[levels.size() - 1 - margin];
    const double onBlack = ratio(darkest, 0);
    const double onWhite = ratio(1, lightest);
    if (onBlack >= onWhite)
        return { Qt::black, onBlack };
    return { Qt::white, onWhite };
}

QImage backdrop(const QPixmap &picture, QSize panel, Fit fit, const QColor &panelColour)
{
    QImage shown(panel, QImage::Format_RGB32);
    shown.fill(panelColour);
    QPainter painter(&shown);
    if (fit == Fit::Stretched)
        painter.drawPixmap(QRect(QPoint(0, 0), panel), picture);
    else
        painter.drawPixmap((panel.width() - picture.width()) / 2, (panel.height() - picture.height()) / 2, picture);
    return shown;
}

}

void ReadableText::fit(QWidget *text, const QImage &backdrop)
{
    const QColor readable = over(backdrop.copy(text->geometry())).colour;
    if (text->palette().color(QPalette::WindowText) == readable)
        return;
    QPalette palette = text->palette();
    palette.setColor(QPalette::WindowText, readable);
    palette.setColor(QPalette::ButtonText, readable);
    // A flat button under the mouse is drawn raised in its button colour, behind the same text.
    palette.setColor(QPalette::Button,
        readable == Qt::white ? QColor(0x30, 0x38, 0x48) : text->window()->palette().color(QPalette::Button));
    text->setPalette(palette);
}
