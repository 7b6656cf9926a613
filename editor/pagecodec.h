#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <memory>

// The encodings a page is kept in: saved as it was opened, so an unchanged page gives back its bytes.
enum class PageEncoding { Gb18030, Utf8, Utf8Bom };
// The line breaks a page is saved with: LF for a page whose every line break was LF, CR LF otherwise.
// The editor itself always holds CR LF.
enum class LineEnds { CrLf, Lf };

// Converts pages between their file bytes and the editor's UTF-8 text, a piece at a time so that a
// large page never lies in memory in several whole copies.
namespace PageCodec {
using Sink = std::function<void(QByteArrayView)>;
// Whole pages are converted, and handed on, in pieces of this size.
constexpr qsizetype PieceSize = 1 << 20;

// Watches a page's bytes piece by piece and tells their encoding: a UTF-8 mark, or UTF-8 holding at
// least one non-ASCII character and at most one damaged sequence for every MostlyUtf8 characters,
// is UTF-8; everything else is GB18030 (which reads GB2312 and GBK pages as they are).
class Detector
{
public:
    void feed(QByteArrayView piece);
    PageEncoding encoding() const;
    LineEnds lineEnds() const;
    static constexpr int MostlyUtf8 = 8;
    // What the page needs as UTF-8 with CR LF line breaks, near enough to reserve room for it. Too little
    // makes the editor copy the whole page into a larger room at the end; too much is memory for nothing.
    qint64 utf8SizeEstimate() const;

private:
    qint64 m_size = 0;
    qint64 m_highBytes = 0;
    int m_pending = 0; // continuation bytes still due
    char32_t m_codePoint = 0;
    int m_length = 0;
    qint64 m_characters = 0; // whole multi-byte UTF-8 characters
    qint64 m_damaged = 0; // bytes and sequences that are no UTF-8
    bool m_mark = false;
    qint64 m_lfAlone = 0;
    qint64 m_otherBreaks = 0; // CR LF and lone CR
    qint64 m_loneCr = 0;
    bool m_lastWasCr = false;
};

// Turns a page's bytes, fed piece by piece, into UTF-8 text with every line break as CR LF.
class Decoder
{
public:
    Decoder(PageEncoding encoding, const Sink &sink);
    ~Decoder();
    void feed(QByteArrayView piece);
    // False when some bytes did not decode cleanly (they became replacement characters).
    bool finish();

private:
    struct State;
    std::unique_ptr<State> m;
};

PageEncoding detect(QByteArrayView bytes);
bool toUtf8(QByteArrayView bytes, PageEncoding encoding, const Sink &sink);
// The editor's UTF-8 text (CR LF line breaks) in the page's encoding, the mark included for UTF-8 with
// a mark, and with LF line breaks for an LF page.
QByteArray fromUtf8(QByteArrayView utf8, PageEncoding encoding, LineEnds lineEnds = LineEnds::CrLf);
}
