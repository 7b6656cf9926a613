#include "pagecodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr qsizetype Chunk = 1 << 20;
const char Utf8Mark[] = "\xEF\xBB\xBF";

bool validUtf8(QByteArrayView bytes, bool *nonAscii)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    *nonAscii = false;
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        *nonAscii = true;
        int extra;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

// Turns every CR, LF and CR LF of a stream of UTF-8 pieces into CR LF; a CR at the end of one piece
// may be followed by the LF that starts the next.
class CrLfWriter
{
public:
    explicit CrLfWriter(const PageCodec::Sink &sink) : m_sink(sink) { m_out.reserve(Chunk + Chunk / 8); }

    void write(QByteArrayView piece)
    {
        const char *p = piece.data();
        const qsizetype n = piece.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char c = p[i];
            if (m_pendingCr) {
                m_pendingCr = false;
                if (c == '\n')
                    continue;
            }
            if (c == '\r') {
                m_out.append("\r\n", 2);
                m_pendingCr = true;
            } else if (c == '\n') {
                m_out.append("\r\n", 2);
            } else {
                m_out.append(c);
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
    const PageCodec::Sink &m_sink;
    QByteArray m_out;
    bool m_pendingCr = false;
};
}

namespace PageCodec {

PageEncoding detect(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView(Utf8Mark, 3)))
        return PageEncoding::Utf8Bom;
    bool nonAscii = false;
    if (validUtf8(bytes, &nonAscii) && nonAscii)
        return PageEncoding::Utf8;
    return PageEncoding::Gb18030;
}

bool toUtf8(QByteArrayView bytes, PageEncoding encoding, const Sink &sink)
{
    CrLfWriter writer(sink);
    if (encoding != PageEncoding::Gb18030) {
        if (encoding == PageEncoding::Utf8Bom && bytes.startsWith(QByteArrayView(Utf8Mark, 3)))
            bytes = bytes.sliced(3);
        bool nonAscii = false;
        const bool clean = validUtf8(bytes, &nonAscii);
        if (clean) {
            for (qsizetype at = 0; at < bytes.size(); at += Chunk)
                writer.write(bytes.sliced(at, qMin(Chunk, bytes.size() - at)));
        } else {
            // Damaged sequences become replacement characters, as any UTF-8 reader shows them.
            QStringDecoder decoder(QStringConverter::Utf8);
            for (qsizetype at = 0; at < bytes.size(); at += Chunk)
                writer.write(QString(decoder.decode(bytes.sliced(at, qMin(Chunk, bytes.size() - at)))).toUtf8());
        }
        writer.flush();
        return clean;
    }
    QStringDecoder decoder("GB18030");
    for (qsizetype at = 0; at < bytes.size(); at += Chunk) {
        const QString text = decoder.decode(bytes.sliced(at, qMin(Chunk, bytes.size() - at)));
        writer.write(text.toUtf8());
    }
    const QString rest = decoder.decode(QByteArrayView());
    if (!rest.isEmpty())
        writer.write(rest.toUtf8());
    writer.flush();
    return !decoder.hasError();
}

QByteArray fromUtf8(QByteArrayView utf8, PageEncoding encoding)
{
    if (encoding == PageEncoding::Utf8)
        return utf8.toByteArray();
    if (encoding == PageEncoding::Utf8Bom)
        return QByteArray(Utf8Mark, 3) + utf8.toByteArray();
    QByteArray out;
    out.reserve(utf8.size());
    QStringDecoder fromUtf8Decoder(QStringConverter::Utf8);
    QStringEncoder encoder("GB18030");
    for (qsizetype at = 0; at < utf8.size(); at += Chunk) {
        const QString text = fromUtf8Decoder.decode(utf8.sliced(at, qMin(Chunk, utf8.size() - at)));
        out += encoder.encode(text);
    }
    return out;
}

}
