#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>

class QWidget;

// Text colours that stay readable over a skin's pictures: black or white, whichever contrasts more
// with the part of the picture behind the text (contrast as the web's accessibility guidelines
// measure it, 4.5:1 being enough for normal text).
namespace ReadableText {
constexpr double Enough = 4.5;

double contrast(const QColor &a, const QColor &b);

struct Choice
{
    QColor colour;
    // The contrast against all but the 5% of the backdrop's pixels least favourable to it.
    double contrast = 0;
};
Choice over(const QImage &backdrop);

enum class Fit { Centred, Stretched };
// What a panel of the given size shows of the picture, with the panel's colour around it.
QImage backdrop(const QPixmap &picture, QSize panel, Fit fit, const QColor &panelColour);
// Gives a caption or flat button the readable colour over the part of the backdrop at its place in
// its parent.
void fit(QWidget *text, const QImage &backdrop);
}
