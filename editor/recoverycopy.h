#pragma once

#include "pageencoding.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// What a recovery copy holds: the unsaved text of a page with what is needed to show it again as the
// user left it (its name, the encoding it is to be saved in, the line break its new lines get) and when
// it was written. Stored as a few header lines, an empty line, then the text as the editor holds it
// (UTF-8, each line with its own line break).
struct RecoveryCopy
{
    QString pagePath; // empty for a page that has no file yet
    PageEncoding encoding;
    LineEnds lineEnds = LineEnds::CrLf;
    QDateTime written;
    QByteArray utf8;

    QByteArray toBytes() const;
    // Nothing for bytes that are no recovery copy, or one this program cannot read.
    static std::optional<RecoveryCopy> fromBytes(const QByteArray &bytes);
    // The header alone, read from a copy's first bytes; the text stays empty.
    static std::optional<RecoveryCopy> headerFrom(const QByteArray &start);
    // The longest header a copy has, so that reading this much always finds its end.
    static constexpr int LongestHeader = 64 * 1024;
};
