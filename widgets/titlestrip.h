#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

// The title strip of a window without a system frame: a shade from left to right with the window's
// caption in white, and a close button at its right end. Pressing on the strip and dragging moves
// the window.
class TitleStrip : public QWidget
{
    Q_OBJECT
public:
    // The objectNames of the strip's parts; an empty name leaves that part unnamed.
    struct Names
    {
        QString strip;
        QString shade;
        QString caption;
        QString closeButton;
    };
    TitleStrip(QWidget *window, const QRect &place, const QString &caption, const Names &names, const QColor &left,
        const QColor &right);

    // A caption in another font keeps its place at the left, centred in the strip's height.
    void setCaptionFont(const QFont &font);
    QToolButton *closeButton() const { return m_closeButton; }

private:
    QLabel *m_shade;
    QLabel *m_caption;
    QToolButton *m_closeButton;
};
