#include "pagecodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <array>
#include <cstring>
#include <functional>
#include <memory>

namespace {
// Hands on a stream of UTF-8 pieces in pieces of about PieceSize, counting the line breaks, and for a
// page made from a template making every CR, LF and CR LF a CR LF. A CR at the end of one piece may be
// followed by the LF that starts the next.
class LineEndWriter
{
public:
    LineEndWriter(PageCodec::Sink sink, bool toCrLf)
        : m_sink(std::move(sink))
        , m_toCrLf(toCrLf)
    {
        m_out.reserve(PageCodec::PieceSize + PageCodec::PieceSize / 8);
    }

    void write(QByteArrayView piece)
    {
        const char *p = piece.data();
        const char *end = p + piece.size();
        if (m_pendingCr) {
            m_pendingCr = false;
            if (p < end && *p == '\n') {
                ++m_counts.crLf;
                if (!m_toCrLf)
                    m_out.append('\n');
                ++p;
            } else {
                ++m_counts.cr;
            }
        }
        while (p < end) {
            // Runs without a line break are copied whole.
            const char *run = p;
            while (p < end && *p != '\r' && *p != '\n')
                ++p;
            m_out.append(run, p - run);
            if (p == end)
                break;
            if (*p == '\n') {
                ++m_counts.lf;
                m_out.append(m_toCrLf ? "\r\n" : "\n");
                ++p;
                continue;
            }
            // A CR: its LF, if any, may start the next piece.
            m_out.append(m_toCrLf ? "\r\n" : "\r");
            ++p;
            if (p == end) {
                m_pendingCr = true;
            } else if (*p == '\n') {
                ++m_counts.crLf;
                if (!m_toCrLf)
                    m_out.append('\n');
                ++p;
            } else {
                ++m_counts.cr;
            }
        }
        if (m_out.size() >= PageCodec::PieceSize)
            handOn();
    }
    // At the end of the page: a CR still waiting for its LF ends its line alone.
    void flush()
    {
        if (m_pendingCr) {
            ++m_counts.cr;
            m_pendingCr = false;
        }
        if (!m_out.isEmpty())
            m_sink(m_out);
        m_out.resize(0); // keeps its room for the next piece
    }
    // Hands on what is held, keeping a CR at the end pending.
    void handOn()
    {
        if (!m_out.isEmpty())
            m_sink(m_out);
        m_out.resize(0);
    }
    const PageCodec::LineEndCounts &counts() const { return m_counts; }

private:
    PageCodec::Sink m_sink;
    bool m_toCrLf;
    QByteArray m_out;
    bool m_pendingCr = false;
    PageCodec::LineEndCounts m_counts;
};

// Every GB18030 character of two bytes (a lead byte 81 to FE, then 40 to 7E or 80 to FE) as its UTF-8
// bytes. Those characters stand on their own, whatever comes before or after, so the table is read
// once from the converter itself and then reads them exactly as the converter does, only quicker.
class Gb18030Pairs
{
public:
    // Nothing when the converter does not read each pair as one character of its own.
    static const Gb18030Pairs *instance()
    {
        static const std::unique_ptr<Gb18030Pairs> pairs = make();
        return pairs.get();
    }

    static bool isLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

    // The pair's UTF-8 bytes written at out, or nothing written for no pair (or one read otherwise).
    int write(unsigned char lead, unsigned char trail, char *out) const
    {
        if (trail < FirstTrail || trail > LastTrail)
            return 0;
        const Utf8 &u = m_utf8[slot(lead, trail)];
        std::memcpy(out, u.bytes, 3);
        return u.length;
    }

private:
    static constexpr int FirstLead = 0x81, Leads = 0xFE - 0x81 + 1;
    static constexpr int FirstTrail = 0x40, LastTrail = 0xFE, Trails = LastTrail - FirstTrail + 1;
    static bool isTrail(int t) { return t != 0x7F; }
    static std::size_t slot(int lead, int trail)
    {
        return std::size_t((lead - FirstLead) * Trails + (trail - FirstTrail));
    }
    struct Utf8
    {
        char bytes[3] = {};
        quint8 length = 0; // 0: not a pair read here
    };

    static std::unique_ptr<Gb18030Pairs> make()
    {
        QByteArray all;
        for (int lead = FirstLead; lead < FirstLead + Leads; ++lead)
            for (int trail = FirstTrail; trail <= LastTrail; ++trail)
                if (isTrail(trail))
                    all.append(char(lead)).append(char(trail));
        QStringDecoder decoder("GB18030");
        const QString text = decoder.decode(all);
        if (!decoder.isValid() || text.size() != all.size() / 2)
            return nullptr;
        auto pairs = std::make_unique<Gb18030Pairs>();
        qsizetype i = 0;
        for (int lead = FirstLead; lead < FirstLead + Leads; ++lead) {
            for (int trail = FirstTrail; trail <= LastTrail; ++trail) {
                if (!isTrail(trail))
                    continue;
                const QChar c = text.at(i++);
                // A replacement character (a pair the converter does not know) and anything unusual is
                // left to the converter, which also tells of the damage.
                if (c.isSurrogate() || c == QChar::ReplacementCharacter || c.unicode() < 0x80)
                    continue;
                const QByteArray utf8 = QString(c).toUtf8();
                Utf8 &u = pairs->m_utf8[slot(lead, trail)];
                std::memcpy(u.bytes, utf8.constData(), std::size_t(utf8.size()));
                u.length = quint8(utf8.size());
            }
        }
        return pairs;
    }

    std::array<Utf8, std::size_t(Leads *Trails)> m_utf8 {};
};
}

namespace PageCodec {

LineEnds LineEndCounts::mostCommon() const
{
    if (lf > crLf && lf >= cr)
        return LineEnds::Lf;
    if (cr > crLf && cr > lf)
        return LineEnds::Cr;
    return LineEnds::CrLf;
}

bool LineEndCounts::mixed() const
{
    return (crLf > 0) + (lf > 0) + (cr > 0) > 1;
}

void Detector::feedGb18030(unsigned char c)
{
    // A GB18030 character: one byte below 80; a lead 81 to FE and a trail 40 to 7E or 80 to FE; or a
    // lead, a digit, a lead and a digit.
    switch (m_gbAt) {
    case 0:
        if (c >= 0x81 && c <= 0xFE)
            m_gbAt = 1;
        else if (c >= 0x80)
            m_gbDamaged = true;
        return;
    case 1:
        if (c >= 0x30 && c <= 0x39) {
            m_gbAt = 2;
            return;
        }
        if (!((c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE)))
            m_gbDamaged = true;
        m_gbAt = 0;
        return;
    case 2:
        if (c >= 0x81 && c <= 0xFE) {
            m_gbAt = 3;
            return;
        }
        m_gbDamaged = true;
        m_gbAt = 0;
        return;
    default:
        if (!(c >= 0x30 && c <= 0x39))
            m_gbDamaged = true;
        m_gbAt = 0;
    }
}

void Detector::feed(QByteArrayView piece)
{
    const auto *p = reinterpret_cast<const unsigned char *>(piece.data());
    const qsizetype n = piece.size();
    if (m_start.size() < 3)
        m_start += piece.first(qMin(piece.size(), 3 - m_start.size())).toByteArray();
    m_size += n;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        if (c >= 0x80 || m_gbAt)
            feedGb18030(c);
        if (c >= 0x80)
            ++m_highBytes;
        if (m_pending) {
            if ((c & 0xC0) == 0x80) {
                m_codePoint = (m_codePoint << 6) | (c & 0x3F);
                if (--m_pending == 0) {
                    const bool overlongOrSurrogate
                        = (m_length == 3 && (m_codePoint < 0x800 || (m_codePoint >= 0xD800 && m_codePoint <= 0xDFFF)))
                        || (m_length == 4 && (m_codePoint < 0x10000 || m_codePoint > 0x10FFFF));
                    ++(overlongOrSurrogate ? m_damaged : m_characters);
                }
                continue;
            }
            // A character cut short: the byte that cut it starts afresh, as a UTF-8 reader takes it.
            ++m_damaged;
            m_pending = 0;
        }
        if (c < 0x80)
            continue;
        if (c >= 0xC2 && c <= 0xDF) {
            m_pending = 1;
            m_codePoint = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            m_pending = 2;
            m_codePoint = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            m_pending = 3;
            m_codePoint = c & 0x07;
        } else {
            ++m_damaged;
            continue;
        }
        m_length = m_pending + 1;
    }
}

PageEncoding Detector::encoding() const
{
    if (m_start.startsWith("\xEF\xBB\xBF"))
        return PageEncoding::Utf8Bom;
    if (m_start.startsWith("\xFF\xFE"))
        return PageEncoding::Utf16Le;
    if (m_start.startsWith("\xFE\xFF"))
        return PageEncoding::Utf16Be;
    // A character cut off by the end of the page counts as damaged.
    const qint64 damaged = m_damaged + (m_pending ? 1 : 0);
    const bool gbDamaged = m_gbDamaged || m_gbAt != 0;
    // Clean UTF-8 is UTF-8. A page of UTF-8 with a few stray bytes (a damaged file) is still UTF-8,
    // shown with replacement characters for them. GB18030 text reads as UTF-8 characters only by
    // chance: the shipped library's GB18030 files hold 0.3 such characters per damaged sequence,
    // 0.7 at most, far below the share asked here. A short page has too few characters for a share:
    // there UTF-8 that is no GB18030 is UTF-8 while its characters outnumber the replacement
    // characters its damage becomes (up to four for one damaged sequence).
    const bool utf8
        = m_characters > 0 && (damaged * MostlyUtf8 <= m_characters || (gbDamaged && damaged * 4 <= m_characters));
    return utf8 ? PageEncoding::Utf8 : PageEncoding::Gb18030;
}

qint64 Detector::utf8SizeEstimate() const
{
    const PageEncoding found = encoding();
    const qint64 mark = found.markBytes().size(); // taken off
    // A UTF-16 page of Chinese grows by half, one of ASCII shrinks by half.
    if (found.isUtf16())
        return (m_size - mark) * 3 / 2 + 16;
    // A two-byte GB18030 character takes three bytes as UTF-8 (a four-byte one takes four at most); a
    // stray byte in UTF-8 becomes a replacement character of three.
    const qint64 growth = found.isGb18030() ? m_highBytes / 2 : 2 * (m_damaged + (m_pending ? 1 : 0));
    // Line breaks made CR LF for a page from a template: its size is what a template has.
    return m_size - mark + growth + 16;
}

struct Decoder::State
{
    static QStringDecoder decoderFor(const PageEncoding &e)
    {
        // A U+FEFF at the start of the text is the page's own character, kept (a mark is taken off
        // before the decoder sees it).
        const auto flags = QStringConverter::Flag::ConvertInitialBom;
        if (e.isUtf8())
            return QStringDecoder(QStringConverter::Utf8, flags);
        return QStringDecoder(e.name().toLatin1().constData(), flags);
    }

    State(const PageEncoding &e, const Sink &sink, Breaks breaks)
        : encoding(e)
        , mark(e.markBytes())
        , writer(sink, breaks == Breaks::CrLf)
        , decoder(decoderFor(e))
        , pairs(e.isGb18030() ? Gb18030Pairs::instance() : nullptr)
    {
    }

    // Reads ASCII and two-byte characters with the table while the page holds nothing else; from the
    // first other byte on, the rest of the page goes through the converter, which then starts at the
    // beginning of a character as it would have reading the page from the start.
    void feedPairs(QByteArrayView piece)
    {
        const auto *p = reinterpret_cast<const unsigned char *>(piece.data());
        const auto *const end = p + piece.size();
        quick.resize(piece.size() + piece.size() / 2 + 4);
        char *out = quick.data();
        if (pendingLead && p < end) {
            const int n = pairs->write(pendingLead, *p, out);
            if (n == 0) {
                toConverter(piece);
                return;
            }
            out += n;
            ++p;
            pendingLead = 0;
        }
        while (p < end) {
            const unsigned char c = *p;
            if (c < 0x80) {
                *out++ = char(c);
                ++p;
                continue;
            }
            if (Gb18030Pairs::isLead(c) && p + 1 == end) {
                pendingLead = c; // its second byte starts the next piece
                ++p;
                break;
            }
            const int n = Gb18030Pairs::isLead(c) ? pairs->write(c, p[1], out) : 0;
            if (n == 0)
                break;
            out += n;
            p += 2;
        }
        writer.write(QByteArrayView(quick.constData(), out - quick.constData()));
        if (p < end)
            toConverter(QByteArrayView(reinterpret_cast<const char *>(p), end - p));
    }
    // The rest of the page goes to the converter, starting with a lead byte held back, if any.
    void toConverter(QByteArrayView rest)
    {
        pairs = nullptr;
        if (pendingLead) {
            const char lead = char(pendingLead);
            pendingLead = 0;
            put(decoder.decode(QByteArrayView(&lead, 1)));
        }
        put(decoder.decode(rest));
    }
    // Decoded text on to the writer. A surrogate pair may be cut by a piece boundary: its first half
    // waits for the second. A half without its other half (UTF-16 may hold one) is damage, shown as a
    // replacement character, never written back as something else.
    void put(QString text)
    {
        if (!heldHalf.isNull()) {
            text.prepend(heldHalf);
            heldHalf = QChar();
        }
        if (!text.isEmpty() && text.back().isHighSurrogate()) {
            heldHalf = text.back();
            text.chop(1);
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                ++i;
            } else if (text[i].isSurrogate()) {
                text[i] = QChar(QChar::ReplacementCharacter);
                halvesAlone = true;
            }
        }
        writer.write(text.toUtf8());
    }
    // At the end of the page, a first half still waiting stands alone.
    void putHeldHalf()
    {
        if (heldHalf.isNull())
            return;
        heldHalf = QChar();
        halvesAlone = true;
        writer.write(QString(QChar(QChar::ReplacementCharacter)).toUtf8());
    }

    PageEncoding encoding;
    QByteArray mark;
    qsizetype markSeen = 0; // bytes of the mark taken off so far
    LineEndWriter writer;
    QStringDecoder decoder;
    const Gb18030Pairs *pairs;
    unsigned char pendingLead = 0;
    QByteArray quick;
    qint64 fed = 0; // bytes after the mark
    QChar heldHalf; // a surrogate pair's first half, its second to come
    bool halvesAlone = false;
    bool markCheckDone = false;
    bool markFound = false;
    QByteArray heldForMark; // the first bytes, until they are known to be the mark or not
};

Decoder::Decoder(const PageEncoding &encoding, const Sink &sink, Breaks breaks)
    : m(std::make_unique<State>(encoding, sink, breaks))
{
}

Decoder::~Decoder() = default;

void Decoder::feed(QByteArrayView piece)
{
    // The mark is taken off the start of the file, however the pieces cut it.
    QByteArray joined;
    if (!m->markCheckDone) {
        if (m->mark.isEmpty()) {
            m->markCheckDone = true;
        } else {
            m->heldForMark += piece.toByteArray();
            if (m->heldForMark.size() < m->mark.size())
                return;
            m->markCheckDone = true;
            m->markFound = m->heldForMark.startsWith(m->mark);
            joined = m->markFound ? m->heldForMark.mid(m->mark.size()) : m->heldForMark;
            m->heldForMark.clear();
            piece = joined;
        }
    }
    m->fed += piece.size();
    if (m->pairs)
        m->feedPairs(piece);
    else
        m->put(m->decoder.decode(piece));
}

bool Decoder::finish()
{
    // A file shorter than its mark: what there is is text.
    if (!m->markCheckDone) {
        m->markCheckDone = true;
        const QByteArray held = m->heldForMark;
        m->heldForMark.clear();
        if (!held.isEmpty())
            feed(held);
    }
    // A lead byte that ended the page is the converter's to tell of.
    if (m->pendingLead)
        m->toConverter({});
    // A page cut off inside a character: the decoder keeps those bytes back for a next piece that never
    // comes. A line feed, which continues no character, makes it give them up as a replacement
    // character.
    QString rest;
    if (m->encoding.isUtf16()) {
        // Half a character left at the end.
        if (m->fed % 2 != 0)
            rest = QChar(QChar::ReplacementCharacter);
    } else {
        const bool damagedBefore = m->decoder.hasError();
        rest = m->decoder.decode(QByteArrayView("\n", 1));
        rest.chop(1);
        if (rest.isEmpty() && !damagedBefore && m->decoder.hasError())
            rest = QChar(QChar::ReplacementCharacter);
    }
    if (!rest.isEmpty())
        m->put(rest);
    m->putHeldHalf();
    m->writer.flush();
    return !m->decoder.hasError() && !m->halvesAlone && !rest.contains(QChar(QChar::ReplacementCharacter));
}

LineEndCounts Decoder::lineEnds() const
{
    return m->writer.counts();
}

bool Decoder::markFound() const
{
    return m->markFound;
}

PageEncoding detect(QByteArrayView bytes)
{
    Detector detector;
    detector.feed(bytes);
    return detector.encoding();
}

bool toUtf8(QByteArrayView bytes, const PageEncoding &encoding, const Sink &sink)
{
    Decoder decoder(encoding, sink);
    for (qsizetype at = 0; at < bytes.size(); at += PageCodec::PieceSize)
        decoder.feed(bytes.sliced(at, qMin(PageCodec::PieceSize, bytes.size() - at)));
    return decoder.finish();
}

namespace {
// The text in pieces of about PieceSize, each cut at a character's start.
template <typename Each> void inPieces(QByteArrayView utf8, Each each)
{
    qsizetype at = 0;
    while (at < utf8.size()) {
        qsizetype end = qMin(at + PageCodec::PieceSize, utf8.size());
        while (end < utf8.size()
            && ((static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80 || (utf8[end] == '\n' && utf8[end - 1] == '\r')))
            ++end;
        each(utf8.sliced(at, end - at));
        at = end;
    }
}

QStringEncoder encoderFor(const PageEncoding &encoding)
{
    return QStringEncoder(encoding.name().toLatin1().constData());
}
}

Encoded fromUtf8(QByteArrayView utf8, const PageEncoding &encoding)
{
    Encoded out;
    if (encoding.isUtf8()) {
        out.bytes.reserve(utf8.size() + 3);
        out.bytes = encoding.markBytes();
        out.bytes += utf8;
        return out;
    }
    out.bytes.reserve(encoding.isUtf16() ? utf8.size() * 2 : utf8.size());
    out.bytes = encoding.markBytes();
    QStringEncoder encoder = encoderFor(encoding);
    // A U+FEFF that starts the text is the page's own character, written as one.
    QStringDecoder text(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    inPieces(utf8, [&](QByteArrayView piece) { out.bytes += encoder.encode(QString(text.decode(piece))); });
    out.whole = !encoder.hasError();
    return out;
}

namespace {
// Counts the lines of `text` into `line` up to the first character `unheld` says so, and gathers such
// characters, each once, until there are `most`.
template <typename Test> void collect(const QString &text, QStringList &found, qint64 &line, int most, Test unheld)
{
    for (qsizetype i = 0; i < text.size() && found.size() < most; ++i) {
        const QChar c = text.at(i);
        if (found.isEmpty() && (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text.at(i + 1) != u'\n'))))
            ++line;
        if (c.unicode() < 0x80)
            continue;
        const qsizetype length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        i += length - 1;
        if (!found.contains(character) && unheld(character))
            found << character;
    }
}

Unheld unheldBy(QByteArrayView utf8, int most, const std::function<bool(QByteArrayView)> &pieceUnheld,
    const std::function<bool(const QString &)> &characterUnheld)
{
    QStringList found;
    qint64 line = 1;
    inPieces(utf8, [&](QByteArrayView piece) {
        if (found.size() >= most)
            return;
        if (pieceUnheld(piece)) {
            collect(QString::fromUtf8(piece), found, line, most, characterUnheld);
        } else if (found.isEmpty()) {
            line += piece.count('\n') + piece.count('\r') - piece.count(QByteArrayView("\r\n"));
        }
    });
    return { found, found.isEmpty() ? 0 : line };
}
}

Unheld unheldIn(QByteArrayView utf8, const PageEncoding &encoding, int most)
{
    if (encoding.isUtf8() || encoding.isUtf16() || encoding.isGb18030())
        return {};
    return unheldBy(
        utf8, most,
        [&](QByteArrayView piece) {
            QStringEncoder encoder = encoderFor(encoding);
            const QByteArray bytes = encoder.encode(QString::fromUtf8(piece));
            return encoder.hasError();
        },
        [&](const QString &character) {
            QStringEncoder encoder = encoderFor(encoding);
            const QByteArray bytes = encoder.encode(character);
            return encoder.hasError();
        });
}

// Whether GB18030 bytes hold a character a GBK reader does not read back: a four-byte sequence, or
// the euro sign's pair.
bool beyondGbkBytes(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        if (p + 1 < end && p[1] >= 0x30 && p[1] <= 0x39)
            return true;
        if (p + 1 < end && p[0] == 0xA2 && p[1] == 0xE3)
            return true;
        p += 2;
    }
    return false;
}

Unheld beyondGbk(QByteArrayView utf8, int most)
{
    const auto gb18030 = [](QByteArrayView text) {
        QStringEncoder encoder("GB18030");
        const QByteArray bytes = encoder.encode(QString::fromUtf8(text));
        return beyondGbkBytes(bytes);
    };
    return unheldBy(utf8, most, gb18030, [&](const QString &character) { return gb18030(character.toUtf8()); });
}

bool holdsReplacementCharacter(QByteArrayView utf8)
{
    return utf8.indexOf(QByteArrayView("\xEF\xBF\xBD")) >= 0;
}

}
