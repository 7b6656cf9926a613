#include "pagecodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <cstring>
#include <memory>

namespace {
const char Utf8Mark[] = "\xEF\xBB\xBF";

// Turns every CR, LF and CR LF of a stream of UTF-8 pieces into CR LF; a CR at the end of one piece
// may be followed by the LF that starts the next.
class CrLfWriter
{
public:
    explicit CrLfWriter(PageCodec::Sink sink)
        : m_sink(std::move(sink))
    {
        m_out.reserve(PageCodec::PieceSize + PageCodec::PieceSize / 8);
    }

    void write(QByteArrayView piece)
    {
        const char *p = piece.data();
        const char *end = p + piece.size();
        if (m_pendingCr && p < end && *p == '\n')
            ++p;
        m_pendingCr = false;
        while (p < end) {
            // Runs without a line break are copied whole.
            const char *run = p;
            while (p < end && *p != '\r' && *p != '\n')
                ++p;
            m_out.append(run, p - run);
            if (p == end)
                break;
            m_out.append("\r\n", 2);
            if (*p == '\r') {
                ++p;
                if (p == end)
                    m_pendingCr = true;
                else if (*p == '\n')
                    ++p;
            } else {
                ++p;
            }
        }
        if (m_out.size() >= PageCodec::PieceSize)
            flush();
    }
    void flush()
    {
        if (!m_out.isEmpty())
            m_sink(m_out);
        m_out.resize(0); // keeps its room for the next piece
    }

private:
    PageCodec::Sink m_sink;
    QByteArray m_out;
    bool m_pendingCr = false;
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

void Detector::feed(QByteArrayView piece)
{
    const auto *p = reinterpret_cast<const unsigned char *>(piece.data());
    const qsizetype n = piece.size();
    if (m_size == 0 && n >= 3 && piece.startsWith(QByteArrayView(Utf8Mark, 3)))
        m_mark = true;
    m_size += n;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        if (c >= 0x80)
            ++m_highBytes;
        if (c == '\n')
            ++(m_lastWasCr ? m_otherBreaks : m_lfAlone);
        else if (m_lastWasCr) {
            ++m_otherBreaks;
            ++m_loneCr;
        }
        m_lastWasCr = c == '\r';
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
    if (m_mark)
        return PageEncoding::Utf8Bom;
    // A character cut off by the end of the page counts as damaged.
    const qint64 damaged = m_damaged + (m_pending ? 1 : 0);
    // Clean UTF-8 is UTF-8. A page of UTF-8 with a few stray bytes (a damaged file) is still UTF-8,
    // shown with replacement characters for them. GB18030 text reads as UTF-8 characters only by
    // chance: the shipped library's GB18030 files hold 0.3 such characters per damaged sequence,
    // 0.7 at most, far below the share asked here.
    const bool utf8 = m_characters > 0 && damaged * MostlyUtf8 <= m_characters;
    return utf8 ? PageEncoding::Utf8 : PageEncoding::Gb18030;
}

struct Decoder::State
{
    State(PageEncoding e, const Sink &sink)
        : encoding(e)
        , writer(sink)
        ,
        // A U+FEFF at the start of the text is the page's own character, kept (a UTF-8 mark is
        // taken off before the decoder sees it).
        decoder(e == PageEncoding::Gb18030
                ? QStringDecoder("GB18030", QStringConverter::Flag::ConvertInitialBom)
                : QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom))
        , pairs(e == PageEncoding::Gb18030 ? Gb18030Pairs::instance() : nullptr)
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
            writer.write(QString(decoder.decode(QByteArrayView(&lead, 1))).toUtf8());
        }
        writer.write(QString(decoder.decode(rest)).toUtf8());
    }

    PageEncoding encoding;
    CrLfWriter writer;
    QStringDecoder decoder;
    const Gb18030Pairs *pairs;
    unsigned char pendingLead = 0;
    QByteArray quick;
    qint64 fed = 0;
};

Decoder::Decoder(PageEncoding encoding, const Sink &sink)
    : m(std::make_unique<State>(encoding, sink))
{
}

Decoder::~Decoder() = default;

void Decoder::feed(QByteArrayView piece)
{
    if (m->encoding == PageEncoding::Utf8Bom && m->fed == 0 && piece.startsWith(QByteArrayView(Utf8Mark, 3)))
        piece = piece.sliced(3);
    m->fed += piece.size();
    if (m->pairs)
        m->feedPairs(piece);
    else
        m->writer.write(QString(m->decoder.decode(piece)).toUtf8());
}

bool Decoder::finish()
{
    // A lead byte that ended the page is the converter's to tell of.
    if (m->pendingLead)
        m->toConverter({});
    // A page cut off inside a character: the decoder keeps those bytes back for a next piece that never
    // comes. A line feed, which continues no character, makes it give them up as a replacement character.
    const bool damagedBefore = m->decoder.hasError();
    QString rest = m->decoder.decode(QByteArrayView("\n", 1));
    rest.chop(1);
    if (rest.isEmpty() && !damagedBefore && m->decoder.hasError())
        rest = QChar(QChar::ReplacementCharacter);
    if (!rest.isEmpty())
        m->writer.write(rest.toUtf8());
    m->writer.flush();
    return !m->decoder.hasError() && !rest.contains(QChar(QChar::ReplacementCharacter));
}

qint64 Detector::utf8SizeEstimate() const
{
    // LF or CR alone becomes CR LF. A two-byte GB18030 character takes three bytes as UTF-8 (a four-byte
    // one takes four at most); a stray byte in UTF-8 becomes a replacement character of three.
    const qint64 lineBreaks = m_lfAlone + m_loneCr + (m_lastWasCr ? 1 : 0);
    const qint64 growth = encoding() == PageEncoding::Gb18030 ? m_highBytes / 2 : 2 * (m_damaged + (m_pending ? 1 : 0));
    const qint64 mark = m_mark ? 3 : 0; // taken off
    return m_size - mark + lineBreaks + growth + 16;
}

LineEnds Detector::lineEnds() const
{
    const bool onlyLf = m_lfAlone > 0 && m_otherBreaks == 0 && !m_lastWasCr;
    return onlyLf ? LineEnds::Lf : LineEnds::CrLf;
}

PageEncoding detect(QByteArrayView bytes)
{
    Detector detector;
    detector.feed(bytes);
    return detector.encoding();
}

bool toUtf8(QByteArrayView bytes, PageEncoding encoding, const Sink &sink)
{
    Decoder decoder(encoding, sink);
    for (qsizetype at = 0; at < bytes.size(); at += PageCodec::PieceSize)
        decoder.feed(bytes.sliced(at, qMin(PageCodec::PieceSize, bytes.size() - at)));
    return decoder.finish();
}

QByteArray fromUtf8(QByteArrayView utf8, PageEncoding encoding, LineEnds lineEnds)
{
    if (lineEnds == LineEnds::Lf) {
        QByteArray lf = utf8.toByteArray();
        lf.replace("\r\n", "\n");
        return fromUtf8(lf, encoding, LineEnds::CrLf);
    }
    if (encoding == PageEncoding::Utf8)
        return utf8.toByteArray();
    if (encoding == PageEncoding::Utf8Bom)
        return QByteArray(Utf8Mark, 3) + utf8.toByteArray();
    QByteArray out;
    out.reserve(utf8.size());
    QStringDecoder fromUtf8Decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QStringEncoder encoder("GB18030");
    for (qsizetype at = 0; at < utf8.size(); at += PageCodec::PieceSize) {
        const QString text = fromUtf8Decoder.decode(utf8.sliced(at, qMin(PageCodec::PieceSize, utf8.size() - at)));
        out += encoder.encode(text);
    }
    return out;
}

}
