#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The system's ANSI text: GB18030, which reads GB2312 and GBK text as it is.
namespace Ansi {
QString decode(QByteArrayView bytes);
QByteArray encode(QStringView text);
// Upper-cases the ASCII letters only, as the system's ANSI upper-casing does; Chinese stays as it is.
QString upper(QStringView text);
// Length of the character starting at bytes[pos] in GB18030 (1, 2 or 4; 1 for a stray byte).
qsizetype charLength(QByteArrayView bytes, qsizetype pos);
// Number of GB18030 bytes that the character (or surrogate pair) needs.
qsizetype encodedLength(char32_t codePoint);
}
