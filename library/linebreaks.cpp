#include "linebreaks.h"

using namespace Qt::StringLiterals;

namespace LineBreaks {

QString toCrLf(const QString &text)
{
    return to(text, u"\r\n"_s);
}

QString to(const QString &text, const QString &lineBreak)
{
    QString result;
    result.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            result += lineBreak;
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            result += lineBreak;
        } else {
            result += c;
        }
    }
    return result;
}

QStringList lines(const QString &text)
{
    QStringList result;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        result.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        result.append(text.mid(start));
    return result;
}

}
