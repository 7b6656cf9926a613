#include "bytesearch.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {
// Folded text is searched a block at a time, each block twice the one before up to this size.
constexpr qsizetype FirstBlock = 256;
constexpr qsizetype LargestBlock = 64 << 10;

qsizetype memmemAt(const char *text, qsizetype length, QByteArrayView needle)
{
    const void *found = memmem(text, size_t(length), needle.data(), size_t(needle.size()));
    return found ? static_cast<const char *>(found) - text : -1;
}

void foldAscii(const char *from, qsizetype length, char *to)
{
    for (qsizetype i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(from[i]);
        to[i] = char(static_cast<unsigned char>(c - 'A') < 26 ? c | 0x20 : c);
    }
}
}

namespace ByteSearch {

qsizetype find(QByteArrayView text, QByteArrayView needle, bool matchCase)
{
    const qsizetype n = needle.size();
    const qsizetype length = text.size();
    if (n == 0 || n > length)
        return -1;
    if (matchCase)
        return memmemAt(text.data(), length, needle);
    // The C library's search, on a lower-case copy of the text made a block at a time; consecutive
    // blocks overlap by one byte less than the needle, so a match across their border is found too.
    QByteArray lowered = needle.toByteArray();
    foldAscii(lowered.constData(), n, lowered.data());
    // The copy grows with the blocks: a Replace All searches again after every match, close by.
    std::unique_ptr<char[]> folded;
    qsizetype room = 0;
    qsizetype block = FirstBlock;
    for (qsizetype at = 0; at + n <= length;) {
        const qsizetype span = std::min(length - at, block + n - 1);
        if (span > room) {
            folded.reset(new char[size_t(span)]);
            room = span;
        }
        foldAscii(text.data() + at, span, folded.get());
        const qsizetype found = memmemAt(folded.get(), span, lowered);
        if (found >= 0)
            return at + found;
        at += span - n + 1;
        block = std::min(block * 2, LargestBlock);
    }
    return -1;
}
}
