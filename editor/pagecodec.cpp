#include "pagecodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr qsizetype Chunk = 1 << 20;
const char Utf8Mark[] = "\xEF\xBB\xBF";

// Turns every CR, LF and CR LF of a stream of UTF-8 pieces into CR LF; a CR at the end of one piece
// may be followed by the LF that starts the next.
class CrLfWriter
{
public:
    explicit CrLfWriter(PageCodec::Sink sink)
        : m_sink(std::move(sink))
    {
        m_out.reserve(Chunk + Chunk / 8);
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
        if (m_out.size() >= Chunk)
            flush();
    }
    void flush()
    {
        if (!m_out.isEmpty())
            m_sink(m_out);
        m_out.clear();
    }

private:
    PageCodec::Sink m_sink;
    QByteArray m_out;
    bool m_pendingCr = false;
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
        // Most of a page is ASCII between line breaks, which changes nothing counted here.
        if (!m_pending && !m_lastWasCr) {
            while (i < n && p[i] < 0x80 && p[i] != '\r' && p[i] != '\n')
                ++i;
            if (i == n)
                break;
        }
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
    {
    }
    PageEncoding encoding;
    CrLfWriter writer;
    QStringDecoder decoder;
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
    const QString text = m->decoder.decode(piece);
    m->writer.write(text.toUtf8());
}

bool Decoder::finish()
{
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
    for (qsizetype at = 0; at < bytes.size(); at += Chunk)
        decoder.feed(bytes.sliced(at, qMin(Chunk, bytes.size() - at)));
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
    for (qsizetype at = 0; at < utf8.size(); at += Chunk) {
        const QString text = fromUtf8Decoder.decode(utf8.sliced(at, qMin(Chunk, utf8.size() - at)));
        out += encoder.encode(text);
    }
    return out;
}

}
