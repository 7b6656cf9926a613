#include "recoverycopy.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace {
// Copies of the first kind held the text with CR LF line breaks whatever the page had, the line ends
// telling how to save it; copies of the second hold the text as the page has it.
const QByteArray FirstMagic = "VELLUMO RECOVERY 1\n";
const QByteArray Magic = "VELLUMO RECOVERY 2\n";

std::optional<PageEncoding> firstKindEncoding(const QByteArray &name)
{
    if (name == "gb18030")
        return PageEncoding::Gb18030;
    if (name == "utf-8")
        return PageEncoding::Utf8;
    if (name == "utf-8-bom")
        return PageEncoding::Utf8Bom;
    return std::nullopt;
}

QByteArray lineEndsName(LineEnds ends)
{
    switch (ends) {
    case LineEnds::Lf:
        return "lf";
    case LineEnds::Cr:
        return "cr";
    case LineEnds::CrLf:
        break;
    }
    return "crlf";
}

std::optional<LineEnds> lineEndsNamed(const QByteArray &name, bool firstKind)
{
    for (LineEnds ends : { LineEnds::CrLf, LineEnds::Lf, LineEnds::Cr })
        if (lineEndsName(ends) == name && !(firstKind && ends == LineEnds::Cr))
            return ends;
    return std::nullopt;
}

struct Header
{
    RecoveryCopy copy;
    qsizetype textAt = 0;
    bool firstKind = false;
};

// The header and where the text starts; nothing when the bytes are no copy.
std::optional<Header> parseHeader(const QByteArray &bytes)
{
    const bool firstKind = bytes.startsWith(FirstMagic);
    if (!firstKind && !bytes.startsWith(Magic))
        return std::nullopt;
    const qsizetype end = bytes.indexOf("\n\n", Magic.size() - 1);
    if (end < 0 || end > RecoveryCopy::LongestHeader)
        return std::nullopt;
    RecoveryCopy copy;
    bool sawEncoding = false, sawLineEnds = false, sawWritten = false, mark = false;
    const QList<QByteArray> lines = bytes.mid(Magic.size(), end + 1 - Magic.size()).split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (key == "page") {
            copy.pagePath = QString::fromUtf8(QByteArray::fromPercentEncoding(value));
        } else if (key == "encoding") {
            if (firstKind) {
                const std::optional<PageEncoding> encoding = firstKindEncoding(value);
                if (!encoding)
                    return std::nullopt;
                copy.encoding = *encoding;
            } else {
                copy.encoding = PageEncoding(QString::fromLatin1(value), false);
                if (value.isEmpty() || !copy.encoding.known())
                    return std::nullopt;
            }
            sawEncoding = true;
        } else if (key == "mark" && !firstKind) {
            mark = value == "1";
        } else if (key == "line-ends") {
            const std::optional<LineEnds> ends = lineEndsNamed(value, firstKind);
            if (!ends)
                return std::nullopt;
            copy.lineEnds = *ends;
            sawLineEnds = true;
        } else if (key == "written") {
            bool number = false;
            const qint64 ms = value.toLongLong(&number);
            if (!number)
                return std::nullopt;
            copy.written = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
            sawWritten = true;
        }
    }
    if (!sawEncoding || !sawLineEnds || !sawWritten)
        return std::nullopt;
    if (!firstKind)
        copy.encoding = PageEncoding(copy.encoding.name(), mark);
    return Header { copy, end + 2, firstKind };
}
}

QByteArray RecoveryCopy::toBytes() const
{
    QByteArray bytes = Magic;
    // The path is kept in one line whatever characters it holds.
    bytes += "page=" + pagePath.toUtf8().toPercentEncoding("/") + '\n';
    bytes += "encoding=" + encoding.name().toLatin1() + '\n';
    bytes += QByteArray("mark=") + (encoding.mark() ? "1" : "0") + '\n';
    bytes += "line-ends=" + lineEndsName(lineEnds) + '\n';
    bytes += "written=" + QByteArray::number(written.toMSecsSinceEpoch()) + "\n\n";
    bytes.reserve(bytes.size() + utf8.size());
    bytes += utf8;
    return bytes;
}

std::optional<RecoveryCopy> RecoveryCopy::fromBytes(const QByteArray &bytes)
{
    auto header = parseHeader(bytes);
    if (!header)
        return std::nullopt;
    header->copy.utf8 = bytes.mid(header->textAt);
    // A page of LF lines was held with CR LF by the copies of the first kind.
    if (header->firstKind && header->copy.lineEnds == LineEnds::Lf)
        header->copy.utf8.replace("\r\n", "\n");
    return header->copy;
}

std::optional<RecoveryCopy> RecoveryCopy::headerFrom(const QByteArray &start)
{
    auto header = parseHeader(start);
    if (!header)
        return std::nullopt;
    return header->copy;
}
