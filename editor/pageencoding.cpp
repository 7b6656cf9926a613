#include "pageencoding.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

PageEncoding::PageEncoding(const QString &name, bool mark)
    : m_name(name)
    , m_mark(mark)
{
}

bool PageEncoding::isUtf8() const
{
    return m_name.compare(u"UTF-8"_s, Qt::CaseInsensitive) == 0;
}

bool PageEncoding::isUtf16() const
{
    return m_name.compare(u"UTF-16LE"_s, Qt::CaseInsensitive) == 0
        || m_name.compare(u"UTF-16BE"_s, Qt::CaseInsensitive) == 0;
}

bool PageEncoding::isGb18030() const
{
    return m_name.compare(u"GB18030"_s, Qt::CaseInsensitive) == 0;
}

QByteArray PageEncoding::markBytes() const
{
    if (!m_mark)
        return {};
    if (isUtf8())
        return QByteArray("\xEF\xBB\xBF");
    if (m_name.compare(u"UTF-16LE"_s, Qt::CaseInsensitive) == 0)
        return QByteArray("\xFF\xFE");
    if (m_name.compare(u"UTF-16BE"_s, Qt::CaseInsensitive) == 0)
        return QByteArray("\xFE\xFF");
    return {};
}

QString PageEncoding::shown() const
{
    QString name = m_name;
    if (isUtf16())
        name = m_name.left(6) + u' ' + m_name.mid(6).toUpper();
    return m_mark ? name + u" BOM"_s : name;
}

QString PageEncoding::label() const
{
    if (isUtf8())
        return u"utf-8"_s;
    if (isGb18030())
        return u"gb18030"_s;
    if (isUtf16())
        return u"utf-16"_s;
    return m_name.toLower();
}

bool PageEncoding::known() const
{
    return QStringDecoder(m_name.toLatin1().constData()).isValid();
}

std::optional<PageEncoding> PageEncoding::writtenFor(const QString &label)
{
    const QString l = label.trimmed().toLower();
    if (l == u"utf-8"_s || l == u"utf8"_s || l == u"unicode-1-1-utf-8"_s)
        return Utf8;
    static const QStringList gb { u"gb2312"_s, u"gbk"_s, u"gb18030"_s, u"x-gbk"_s, u"cp936"_s, u"windows-936"_s,
        u"chinese"_s, u"csgb2312"_s, u"iso-ir-58"_s, u"gb_2312"_s, u"gb_2312-80"_s, u"csiso58gb231280"_s };
    if (gb.contains(l))
        return Gb18030;
    if (l == u"utf-16"_s || l == u"utf-16le"_s || l == u"unicode"_s)
        return Utf16Le;
    if (l == u"utf-16be"_s)
        return Utf16Be;
    return std::nullopt;
}

QStringList PageEncoding::reopenChoices()
{
    // The encodings pages on the web are written in, the ones users meet most first; each only when
    // the converter of this system knows it.
    static const QStringList wanted { u"UTF-8"_s, u"GB18030"_s, u"Big5"_s, u"Big5-HKSCS"_s, u"Shift_JIS"_s, u"EUC-JP"_s,
        u"ISO-2022-JP"_s, u"EUC-KR"_s, u"windows-1252"_s, u"ISO-8859-1"_s, u"ISO-8859-15"_s, u"windows-1250"_s,
        u"windows-1251"_s, u"KOI8-R"_s, u"windows-1253"_s, u"windows-1254"_s, u"windows-1255"_s, u"windows-1256"_s,
        u"windows-1257"_s, u"windows-1258"_s, u"windows-874"_s, u"UTF-16LE"_s, u"UTF-16BE"_s };
    QStringList offered;
    for (const QString &name : wanted)
        if (PageEncoding(name, false).known())
            offered << name;
    return offered;
}

QList<PageEncoding> PageEncoding::saveChoices()
{
    return { Utf8, Utf8Bom, Gb18030, Utf16Le };
}

namespace LineEndText {
QString shown(LineEnds ends)
{
    switch (ends) {
    case LineEnds::Lf:
        return u"LF"_s;
    case LineEnds::Cr:
        return u"CR"_s;
    case LineEnds::CrLf:
        break;
    }
    return u"CR LF"_s;
}

QByteArray bytes(LineEnds ends)
{
    switch (ends) {
    case LineEnds::Lf:
        return "\n";
    case LineEnds::Cr:
        return "\r";
    case LineEnds::CrLf:
        break;
    }
    return "\r\n";
}
}
