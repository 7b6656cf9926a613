#pragma once

#include <QProxyStyle>

class QStyleOptionSpinBox;

// The program's flat look without style sheets (they make every widget slow to create): edits, spin
// boxes and combo boxes with a thin border that lights up under the mouse, and menus with a tinted icon
// column and an aqua selection.
class FlatStyle : public QProxyStyle
{
    Q_OBJECT
public:
    FlatStyle();

    void drawPrimitive(
        PrimitiveElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const override;
    void drawControl(
        ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
        const QWidget *widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override;
    QSize sizeFromContents(
        ContentsType type, const QStyleOption *option, const QSize &size, const QWidget *widget) const override;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override;
    void polish(QWidget *widget) override;
    using QProxyStyle::polish;

    static constexpr int MenuIconColumn = 24;

private:
    void drawFlatSpinBox(const QStyleOptionSpinBox *spin, QPainter *painter, const QWidget *widget) const;
};
