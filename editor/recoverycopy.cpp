#include "recoverycopy.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace {
const QByteArray Magic = "VELLUMO RECOVERY 1\n";

QByteArray encodingName(PageEncoding encoding)
{
    switch (encoding) {
    case PageEncoding::Utf8:
        return "utf-8";
    case PageEncoding::Utf8Bom:
        return "utf-8-bom";
    case PageEncoding::Gb18030:
        break;
    }
    return "gb18030";
}

std::optional<PageEncoding> encodingNamed(const QByteArray &name)
{
    for (PageEncoding encoding : { PageEncoding::Gb18030, PageEncoding::Utf8, PageEncoding::Utf8Bom })
        if (encodingName(encoding) == name)
            return encoding;
    return std::nullopt;
}

// The header and where the text starts; nothing when the bytes are no copy.
std::optional<std::pair<RecoveryCopy, qsizetype>> parseHeader(const QByteArray &bytes)
{
    if (!bytes.startsWith(Magic))
        return std::nullopt;
    const qsizetype end = bytes.indexOf("\n\n", Magic.size() - 1);
    if (end < 0 || end > RecoveryCopy::LongestHeader)
        return std::nullopt;
    RecoveryCopy copy;
    bool sawEncoding = false, sawLineEnds = false, sawWritten = false;
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
            const std::optional<PageEncoding> encoding = encodingNamed(value);
            if (!encoding)
                return std::nullopt;
            copy.encoding = *encoding;
            sawEncoding = true;
        } else if (key == "line-ends") {
            if (value != "crlf" && value != "lf")
                return std::nullopt;
            copy.lineEnds = value == "lf" ? LineEnds::Lf : LineEnds::CrLf;
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
    return std::make_pair(copy, end + 2);
}
}

QByteArray RecoveryCopy::toBytes() const
{
    QByteArray bytes = Magic;
    // The path is kept in one line whatever characters it holds.
    bytes += "page=" + pagePath.toUtf8().toPercentEncoding("/") + '\n';
    bytes += "encoding=" + encodingName(encoding) + '\n';
    bytes += QByteArray("line-ends=") + (lineEnds == LineEnds::Lf ? "lf" : "crlf") + '\n';
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
    header->first.utf8 = bytes.mid(header->second);
    return header->first;
}

std::optional<RecoveryCopy> RecoveryCopy::headerFrom(const QByteArray &start)
{
    auto header = parseHeader(start);
    if (!header)
        return std::nullopt;
    return header->first;
}
