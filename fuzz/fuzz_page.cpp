// The page codec on arbitrary bytes: the encoding, the text and its line breaks do not depend on how
// the bytes are cut into pieces, a page that decodes cleanly is saved back as its own bytes, and any
// text saved in an encoding opens as the same text.
#include "fuzzcheck.h"

#include "editor/pagecodec.h"

#include <QList>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

QByteArray name(const PageEncoding &encoding)
{
    return encoding.shown().toUtf8();
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

Decoded whole(const QByteArray &bytes, const PageEncoding &encoding)
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
    return { text.toUtf8(), !decoder.hasError() && !rest.contains(QChar(QChar::ReplacementCharacter)) };
}

// The pieces a reader hands over: sizes from the input, the last piece whatever is left.
QVector<QByteArrayView> pieces(const QByteArray &bytes, const QByteArray &sizes)
{
    QVector<QByteArrayView> out;
    qsizetype at = 0;
    for (qsizetype i = 0; at < bytes.size(); ++i) {
        const qsizetype n = i < sizes.size() ? 1 + static_cast<unsigned char>(sizes[i]) % 64 : bytes.size() - at;
        out.append(QByteArrayView(bytes).sliced(at, qMin(n, bytes.size() - at)));
        at += out.last().size();
    }
    return out;
}

void checkText(const QByteArray &utf8, const char *what)
{
    QStringDecoder strict(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    (void)QString(strict.decode(utf8));
    FUZZ_CHECK(!strict.hasError(), QByteArray(what) + ": the text is valid UTF-8: " + FuzzCheck::shown(utf8));
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
    PageCodec::LineEndCounts counts;
    {
        PageCodec::Decoder decoder(encoding, [&](QByteArrayView piece) { streamed.utf8 += piece; });
        for (QByteArrayView part : parts)
            decoder.feed(part);
        streamed.clean = decoder.finish();
        counts = decoder.lineEnds();
    }
    FUZZ_CHECK(streamed.clean == decoded.clean, "cleanness of the page fed in pieces");
    // Damaged bytes cut by a piece boundary may come out as one replacement character more or less
    // (the converter's own way); a clean page is the same text however it is cut.
    if (decoded.clean)
        FUZZ_EQUAL(streamed.utf8, decoded.utf8, "the text of the page fed in pieces");
    else
        checkText(streamed.utf8, "decoded in pieces");
    // The line breaks counted are the text's.
    const qint64 crLfs = streamed.utf8.count("\r\n");
    FUZZ_CHECK(counts.crLf == crLfs && counts.lf == streamed.utf8.count('\n') - crLfs
            && counts.cr == streamed.utf8.count('\r') - crLfs,
        "the line breaks counted: " + FuzzCheck::shown(streamed.utf8));
    // Read as a new page, every line break is CR LF.
    {
        QByteArray asNew;
        PageCodec::Decoder decoder(
            encoding, [&](QByteArrayView piece) { asNew += piece; }, PageCodec::Decoder::Breaks::CrLf);
        for (QByteArrayView part : parts)
            decoder.feed(part);
        decoder.finish();
        FUZZ_EQUAL(asNew, crLf(streamed.utf8), "a new page's line breaks");
    }

    if (decoded.clean) {
        const PageCodec::Encoded saved = PageCodec::fromUtf8(decoded.utf8, encoding);
        FUZZ_CHECK(saved.whole, "a clean page is written whole in its own encoding");
        FUZZ_EQUAL(
            saved.bytes, bytes, "a clean page saved in its own encoding (" + name(encoding) + ") gives back its bytes");
    }

    // Any text, saved in any of the encodings, opens again as the same text.
    const QByteArray text = (flags & 1) ? decoded.utf8 : QString::fromUtf8(bytes).toUtf8();
    const PageEncoding target = std::array { PageEncoding::Gb18030, PageEncoding::Utf8, PageEncoding::Utf8Bom,
        PageEncoding::Utf16Le, PageEncoding::Utf16Be }[flags / 2 % 5];
    {
        const PageCodec::Encoded saved = PageCodec::fromUtf8(text, target);
        FUZZ_CHECK(saved.whole, "text written whole as " + name(target) + ": " + FuzzCheck::shown(text));
        const Decoded reopened = whole(saved.bytes, target);
        FUZZ_CHECK(reopened.clean, "text saved as " + name(target) + " reopens cleanly: " + FuzzCheck::shown(text));
        FUZZ_EQUAL(reopened.utf8, text, "text saved as " + name(target) + " and opened again");
        // A page saved with a mark is told by it.
        if (target.mark())
            FUZZ_EQUAL(name(PageCodec::detect(saved.bytes)), name(target), "a page saved with its mark");
    }
    const bool ascii
        = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii && !text.startsWith("\xEF\xBB\xBF") && !text.startsWith("\xFF\xFE") && !text.startsWith("\xFE\xFF"))
        FUZZ_EQUAL(name(PageCodec::detect(PageCodec::fromUtf8(text, PageEncoding::Utf8).bytes)),
            name(PageEncoding::Utf8), "a page saved as UTF-8 with a non-ASCII character");
    return 0;
}
