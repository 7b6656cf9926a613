#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// How a page's text is stored in its file: the encoding, by the name the converter knows it by, and
// whether the file starts with a byte order mark. A page is saved as it was opened, so an unchanged
// page gives back its bytes.
class PageEncoding
{
public:
    // GB18030: the system's ANSI code page, which reads GB2312 and GBK pages as they are.
    PageEncoding() = default;
    PageEncoding(const QString &name, bool mark);

    static const PageEncoding Gb18030;
    static const PageEncoding Utf8;
    static const PageEncoding Utf8Bom;
    static const PageEncoding Utf16Le; // with its mark, as Notepad's "Unicode" is
    static const PageEncoding Utf16Be;

    const QString &name() const { return m_name; }
    bool mark() const { return m_mark; }
    bool isUtf8() const;
    bool isUtf16() const;
    bool isGb18030() const;
    // The mark's bytes at the start of the file; empty without one.
    QByteArray markBytes() const;
    // As the status line and the menus show it: "UTF-8", "UTF-8 BOM", "GB18030", "UTF-16 LE BOM".
    QString shown() const;
    // What a page's charset declaration says for it: "utf-8", "gb18030", "utf-16", or the name.
    QString label() const;
    // Whether the converter knows the encoding.
    bool known() const;

    // The encoding a charset declaration's label stands for, when it is one the program writes
    // (UTF-8; GB2312, GBK and GB18030, all written as GB18030; UTF-16); nothing otherwise.
    static std::optional<PageEncoding> writtenFor(const QString &label);
    // The encodings a page can be reopened in: what the converter offers, most used first.
    static QStringList reopenChoices();
    // The encodings Save As offers.
    static QList<PageEncoding> saveChoices();

    friend bool operator==(const PageEncoding &a, const PageEncoding &b)
    {
        return a.m_mark == b.m_mark && a.m_name.compare(b.m_name, Qt::CaseInsensitive) == 0;
    }
    friend bool operator!=(const PageEncoding &a, const PageEncoding &b) { return !(a == b); }

private:
    QString m_name = QStringLiteral("GB18030");
    bool m_mark = false;
};

inline const PageEncoding PageEncoding::Gb18030 { QStringLiteral("GB18030"), false };
inline const PageEncoding PageEncoding::Utf8 { QStringLiteral("UTF-8"), false };
inline const PageEncoding PageEncoding::Utf8Bom { QStringLiteral("UTF-8"), true };
inline const PageEncoding PageEncoding::Utf16Le { QStringLiteral("UTF-16LE"), true };
inline const PageEncoding PageEncoding::Utf16Be { QStringLiteral("UTF-16BE"), true };

// The line break a page's new lines get (Enter, paste): the one most of its lines end with. Lines
// keep the break they were read with until the user changes them.
enum class LineEnds { CrLf, Lf, Cr };

namespace LineEndText {
// "CR LF", "LF", "CR".
QString shown(LineEnds ends);
QByteArray bytes(LineEnds ends);
}
