#pragma once

#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QListWidget;
class QToolButton;
class QWidget;

// The controls every window of the program is built from, each carrying its name as its objectName
// where it has one, placed where its window puts it.
namespace WindowParts {
// A bare container.
QWidget *panel(QWidget *parent, const QString &name);
// A caption; an empty place leaves it where its layout puts it.
QLabel *caption(QWidget *parent, const QString &text, const QRect &place = {},
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
// A caption over a skin's picture: black until the picture says otherwise, sized to its text.
QLabel *pictureCaption(QWidget *parent, const QString &name, const QString &text);
// A captioned frame around other controls.
QGroupBox *group(QWidget *parent, const QString &caption, const QRect &place);
// A flat button that raises under the mouse.
QToolButton *speedButton(QWidget *parent, const QString &name, const QString &caption, const QRect &place);
QListWidget *list(QWidget *parent, const QString &name, const QRect &place);
}
