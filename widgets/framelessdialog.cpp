#include "framelessdialog.h"

#include <QGuiApplication>
#include <QScreen>

FramelessDialog::FramelessDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
}

void FramelessDialog::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        firstShown();
    }
}
