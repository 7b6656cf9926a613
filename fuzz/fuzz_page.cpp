// The page codec on arbitrary bytes: the encoding and the text do not depend on how the bytes are cut
// into pieces, the text has CR LF line breaks only, a page that decodes cleanly is saved back as its
// own bytes (line breaks made CR LF), and any text saved in an encoding opens as the same text.
#include "fuzzcheck.h"

#include "editor/pagecodec.h"

#include <QList>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

QByteArray name(PageEncoding encoding)
{
    switch (encoding) {
    case PageEncoding::Gb18030:
        return "GB18030";
    case PageEncoding::Utf8:
        return "UTF-8";
    case PageEncoding::Utf8Bom:
        return "UTF-8 with mark";
    }
    return "?";
}

QByteArray crLf(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            out += "\r\n";
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            out += bytes[i];
        }
    }
    return out;
}

struct Decoded
{
    QByteArray utf8;
    bool clean = false;
};

Decoded whole(const QByteArray &bytes, PageEncoding encoding)
{
    Decoded d;
    d.clean = PageCodec::toUtf8(bytes, encoding, [&](QByteArrayView piece) { d.utf8 += piece; });
    return d;
}

// The converter's own reading of a whole GB18030 page, a piece cut short at the end included: what
// the quicker reading of its two-byte characters must agree with.
Decoded converted(const QByteArray &bytes)
{
    QStringDecoder decoder("GB18030", QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    const bool damagedBefore = decoder.hasError();
    QString rest = decoder.decode(QByteArrayView("\n", 1));
    rest.chop(1);
    if (rest.isEmpty() && !damagedBefore && decoder.hasError())
        rest = QChar(QChar::ReplacementCharacter);
    text += rest;
    return { crLf(text.toUtf8()), !decoder.hasError() && !rest.contains(QChar(QChar::ReplacementCharacter)) };
}

// The pieces a reader hands over: sizes from the input, the last piece whatever is left. The first
// piece holds the whole UTF-8 mark when the page has one, as the file reader's pieces always do: the
// mark is looked for in the first piece only.
QVector<QByteArrayView> pieces(const QByteArray &bytes, const QByteArray &sizes)
{
    QVector<QByteArrayView> out;
    qsizetype at = 0;
    for (qsizetype i = 0; at < bytes.size(); ++i) {
        qsizetype n = i < sizes.size() ? 1 + static_cast<unsigned char>(sizes[i]) % 64 : bytes.size() - at;
        if (i == 0)
            n = qMax<qsizetype>(n, 3);
        out.append(QByteArrayView(bytes).sliced(at, qMin(n, bytes.size() - at)));
        at += out.last().size();
    }
    return out;
}

void checkText(const QByteArray &utf8, const char *what)
{
    QStringDecoder strict(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString text = strict.decode(utf8);
    FUZZ_CHECK(!strict.hasError(), QByteArray(what) + ": the text is valid UTF-8: " + FuzzCheck::shown(utf8));
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const bool cr = utf8[i] == '\r';
        const bool lf = utf8[i] == '\n';
        const bool pair = cr && i + 1 < utf8.size() && utf8[i + 1] == '\n';
        FUZZ_CHECK(!(cr && !pair) && !(lf && (i == 0 || utf8[i - 1] != '\r')),
            QByteArray(what) + ": a line break that is not CR LF at " + QByteArray::number(i) + " in "
                + FuzzCheck::shown(utf8));
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QByteArray sizes = input.bytes(15);
    const uint8_t flags = input.byte();
    const QByteArray bytes = input.rest();

    const PageEncoding encoding = PageCodec::detect(bytes);
    const Decoded decoded = whole(bytes, encoding);
    checkText(decoded.utf8, "decoded");
    if (encoding == PageEncoding::Utf8 && !decoded.clean) {
        // Told to be UTF-8 although damaged: the damage is a small part of its characters.
        const QString shown = QString::fromUtf8(decoded.utf8);
        const auto replaced = shown.count(QChar(QChar::ReplacementCharacter));
        const auto others = std::count_if(shown.begin(), shown.end(),
            [](QChar c) { return c.unicode() >= 0x80 && c != QChar(QChar::ReplacementCharacter); });
        FUZZ_CHECK(others >= replaced, "a page told to be UTF-8 is mostly UTF-8: " + FuzzCheck::shown(bytes));
    }

    const Decoded asConverted = converted(bytes);
    const Decoded asGb18030 = encoding == PageEncoding::Gb18030 ? decoded : whole(bytes, PageEncoding::Gb18030);
    FUZZ_EQUAL(asGb18030.utf8, asConverted.utf8, "the page read as GB18030, as the converter reads it");
    FUZZ_CHECK(
        asGb18030.clean == asConverted.clean, "cleanness of the page read as GB18030: " + FuzzCheck::shown(bytes));

    // A reader's pieces, read twice as the editor reads a page: once to tell the encoding, once to decode.
    const QVector<QByteArrayView> parts = pieces(bytes, sizes);
    PageCodec::Detector detector;
    for (QByteArrayView part : parts)
        detector.feed(part);
    FUZZ_EQUAL(name(detector.encoding()), name(encoding), "the encoding of the page fed in pieces");
    Decoded streamed;
    {
        PageCodec::Decoder decoder(encoding, [&](QByteArrayView piece) { streamed.utf8 += piece; });
        for (QByteArrayView part : parts)
            decoder.feed(part);
        streamed.clean = decoder.finish();
    }
    FUZZ_CHECK(streamed.clean == decoded.clean, "cleanness of the page fed in pieces");
    // Damaged bytes cut by a piece boundary may come out as one replacement character more or less
    // (the converter's own way); a clean page is the same text however it is cut.
    if (decoded.clean)
        FUZZ_EQUAL(streamed.utf8, decoded.utf8, "the text of the page fed in pieces");
    else
        checkText(streamed.utf8, "decoded in pieces");

    if (decoded.clean) {
        FUZZ_EQUAL(PageCodec::fromUtf8(decoded.utf8, encoding), crLf(bytes),
            "a clean page saved in its own encoding (" + name(encoding) + ") gives back its bytes");
        // An LF page saved with its own line breaks gives back its very bytes.
        if (detector.lineEnds() == LineEnds::Lf)
            FUZZ_EQUAL(PageCodec::fromUtf8(decoded.utf8, encoding, LineEnds::Lf), bytes,
                "a clean LF page saved with LF gives back its bytes");
    }

    // Any text, saved in any of the encodings, opens again as the same text.
    const QByteArray text = (flags & 1) ? decoded.utf8 : crLf(QString::fromUtf8(bytes).toUtf8());
    const PageEncoding target
        = std::array { PageEncoding::Gb18030, PageEncoding::Utf8, PageEncoding::Utf8Bom }[flags / 2 % 3];
    {
        const QByteArray saved = PageCodec::fromUtf8(text, target);
        const Decoded reopened = whole(saved, target);
        FUZZ_CHECK(reopened.clean, "text saved as " + name(target) + " reopens cleanly: " + FuzzCheck::shown(text));
        FUZZ_EQUAL(reopened.utf8, text, "text saved as " + name(target) + " and opened again");
    }
    // What the editor saves as UTF-8 it tells to be UTF-8 when it opens the page again.
    FUZZ_EQUAL(name(PageCodec::detect(PageCodec::fromUtf8(text, PageEncoding::Utf8Bom))), name(PageEncoding::Utf8Bom),
        "a page saved with the UTF-8 mark");
    const bool ascii
        = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii && !text.startsWith("\xEF\xBB\xBF"))
        FUZZ_EQUAL(name(PageCodec::detect(PageCodec::fromUtf8(text, PageEncoding::Utf8))), name(PageEncoding::Utf8),
            "a page saved as UTF-8 with a non-ASCII character");
    return 0;
}
