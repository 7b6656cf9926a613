#include "windowparts.h"

#include "named.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

QWidget *WindowParts::panel(QWidget *parent, const QString &name)
{
    return named<QWidget>(name, parent);
}

QLabel *WindowParts::caption(QWidget *parent, const QString &text, const QRect &place, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    if (place.isValid())
        label->setGeometry(place);
    label->setAlignment(alignment);
    return label;
}

QLabel *WindowParts::pictureCaption(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = named<QLabel>(name, text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

QGroupBox *WindowParts::group(QWidget *parent, const QString &caption, const QRect &place)
{
    auto *box = new QGroupBox(caption, parent);
    box->setGeometry(place);
    return box;
}

QToolButton *WindowParts::speedButton(QWidget *parent, const QString &name, const QString &caption, const QRect &place)
{
    auto *button = named<QToolButton>(name, parent);
    button->setText(caption);
    button->setGeometry(place);
    return button;
}

QListWidget *WindowParts::list(QWidget *parent, const QString &name, const QRect &place)
{
    auto *widget = named<QListWidget>(name, parent);
    widget->setGeometry(place);
    return widget;
}
