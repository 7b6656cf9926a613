#include "readabletext.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
double channel(int value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(QRgb rgb)
{
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
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
    std::sort(levels.begin(), levels.end());
    const size_t margin = levels.size() / 20;
    // Black text fares worst over the darkest pixels, white text over the lightest.
    const double onBlack = ratio(levels[margin], 0);
    const double onWhite = ratio(1, levels[levels.size() - 1 - margin]);
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
