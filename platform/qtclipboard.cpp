#include "qtclipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void QtClipboard::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString QtClipboard::text() const
{
    return QGuiApplication::clipboard()->text();
}
