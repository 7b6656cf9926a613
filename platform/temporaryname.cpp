#include "temporaryname.h"

#include <QRandomGenerator>

#include <climits>

namespace {
const QByteArray Marker = ".vellumo-";
constexpr int RandomLength = 6;

bool isLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}
}

QByteArray TemporaryName::pattern(const QByteArray &name)
{
    const qsizetype room = NAME_MAX - 1 - Marker.size() - RandomLength;
    return '.' + name.left(room) + Marker + QByteArray(RandomLength, 'X');
}

void TemporaryName::fill(QByteArray &pattern)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (qsizetype i = pattern.size() - RandomLength; i < pattern.size(); ++i)
        pattern[i] = letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
}

bool TemporaryName::matches(const QByteArray &name)
{
    const qsizetype marker = name.size() - RandomLength - Marker.size();
    if (marker < 2 || !name.startsWith('.') || name.mid(marker, Marker.size()) != Marker)
        return false;
    for (qsizetype i = name.size() - RandomLength; i < name.size(); ++i)
        if (!isLetterOrDigit(name[i]))
            return false;
    return true;
}
