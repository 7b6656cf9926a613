#include "librarynames.h"

#include "effecttokens.h"
#include "inidocument.h"
#include "platform/ansi.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace LibraryNames {

bool staysInFolder(const QString &name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.startsWith(u'\\') || name.contains(QChar(0)))
        return false;
    if (name.size() >= 2 && name[1] == u':')
        return false;
    const QStringList parts = QString(name).replace(u'\\', u'/').split(u'/');
    return !parts.contains(u".."_s);
}

QString hiddenPart(const QString &relative)
{
    for (qsizetype start = 0; start < relative.size();) {
        qsizetype end = relative.indexOf(u'/', start);
        if (end < 0)
            end = relative.size();
        if (relative[start] == u'.')
            return relative.left(end);
        start = end + 1;
    }
    return {};
}

bool namesOneEntry(const QString &name)
{
    return staysInFolder(name) && !name.contains(u'/') && !name.contains(u'\\') && name != u"."_s;
}

QString indexProblem(const QString &name)
{
    if (name.isEmpty())
        return u"是空的"_s;
    for (const QChar c : name) {
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            return u"含有换行或空字符"_s;
        if (c == u'=' || c == u'[' || c == u']')
            return u"含有“"_s + c + u"”"_s;
    }
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    if (blank(name.front()) || blank(name.back()))
        return u"首尾有空白"_s;
    if (name.front() == u';')
        return u"以“;”开头"_s;
    if (name.size() >= 2 && (name.front() == u'"' || name.front() == u'\'') && name.back() == name.front())
        return u"被引号括起"_s;
    if (Ansi::encode(name).size() > IniDocument::MaxValueBytes)
        return u"超过"_s + QString::number(IniDocument::MaxValueBytes) + u"字节"_s;
    return {};
}

const QStringList &fileKeyStems()
{
    static const QStringList stems = { u"imgfilename"_s, u"txtfilename"_s, EffectTokens::PieceStem };
    return stems;
}

bool namesOwnFile(const QString &value)
{
    return value.isEmpty() || value == u"0"_s || staysInFolder(value);
}
}
