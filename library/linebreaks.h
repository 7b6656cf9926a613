#pragma once

#include <QString>
#include <QStringList>

// Line breaks as the system's text leaves the program: CR LF.
namespace LineBreaks {
// Every CR, LF or CR LF becomes CR LF.
QString toCrLf(const QString &text);
// Every CR, LF or CR LF becomes lineBreak.
QString to(const QString &text, const QString &lineBreak);
// The lines of a text split at CR LF, LF or CR; a last line break gives no empty last line.
QStringList lines(const QString &text);
}
