#pragma once

#include "pageencoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Converts pages between their file bytes and the editor's UTF-8 text, a piece at a time so that a
// large page never lies in memory in several whole copies.
namespace PageCodec {
using Sink = std::function<void(QByteArrayView)>;
// Whole pages are converted, and handed on, in pieces of this size.
constexpr qsizetype PieceSize = 1 << 20;

// How many lines end in each line break.
struct LineEndCounts
{
    qint64 crLf = 0;
    qint64 lf = 0;
    qint64 cr = 0;

    // The break most lines end with; CR LF for a page of one line, and when CR LF is among the most.
    LineEnds mostCommon() const;
    // More than one kind of line break.
    bool mixed() const;
};

// Watches a page's bytes piece by piece and tells their encoding: a mark (UTF-8, UTF-16 LE or BE);
// UTF-8 holding at least one non-ASCII character and at most one damaged sequence for every MostlyUtf8
// characters; UTF-8 with a few damaged sequences (one for four characters) that is no GB18030 either;
// everything else is GB18030 (which reads GB2312 and GBK pages as they are).
class Detector
{
public:
    void feed(QByteArrayView piece);
    PageEncoding encoding() const;
    static constexpr int MostlyUtf8 = 8;
    // What the page needs as UTF-8, near enough to reserve room for it. Too little makes the editor
    // copy the whole page into a larger room at the end; too much is memory for nothing.
    qint64 utf8SizeEstimate() const;

private:
    void feedGb18030(unsigned char c);

    qint64 m_size = 0;
    qint64 m_highBytes = 0;
    int m_pending = 0; // continuation bytes still due
    char32_t m_codePoint = 0;
    int m_length = 0;
    qint64 m_characters = 0; // whole multi-byte UTF-8 characters
    qint64 m_damaged = 0; // bytes and sequences that are no UTF-8
    QByteArray m_start; // the first bytes, for a mark
    int m_gbAt = 0; // bytes of the GB18030 character being read
    unsigned char m_gbSecond = 0;
    bool m_gbDamaged = false;
};

// Turns a page's bytes, fed piece by piece, into UTF-8 text. The line breaks stay as they are, or
// all become CR LF for a page made from a template.
class Decoder
{
public:
    enum class Breaks { AsRead, CrLf };
    Decoder(const PageEncoding &encoding, const Sink &sink, Breaks breaks = Breaks::AsRead);
    ~Decoder();
    void feed(QByteArrayView piece);
    // False when some bytes did not decode cleanly (they became replacement characters).
    bool finish();
    // The line breaks of the text given out (after finish).
    LineEndCounts lineEnds() const;
    // Whether the file started with the encoding's mark (after finish).
    bool markFound() const;

private:
    struct State;
    std::unique_ptr<State> m;
};

PageEncoding detect(QByteArrayView bytes);
bool toUtf8(QByteArrayView bytes, const PageEncoding &encoding, const Sink &sink);

struct Encoded
{
    QByteArray bytes;
    bool whole = true; // false: some characters could not be written and were replaced
};
// The editor's UTF-8 text as the page's file bytes, the mark included.
Encoded fromUtf8(QByteArrayView utf8, const PageEncoding &encoding);

// The characters of a text that an encoding cannot hold, each once, in the order they first come, at
// most `most` of them, with the line of the first.
struct Unheld
{
    QStringList characters; // each one character, a surrogate pair included
    qint64 firstLine = 0; // from 1
    bool any() const { return !characters.isEmpty(); }
};
Unheld unheldIn(QByteArrayView utf8, const PageEncoding &encoding, int most = 8);
// The characters of a text written as GB18030 that a browser reading the page as GB2312 or GBK shows
// as something else: those GB18030 writes in four bytes, and the euro sign.
Unheld beyondGbk(QByteArrayView utf8, int most = 8);
// Whether GB18030 bytes hold any such character.
bool beyondGbkBytes(QByteArrayView gb18030);
// Whether the text holds a replacement character (U+FFFD).
bool holdsReplacementCharacter(QByteArrayView utf8);
}
