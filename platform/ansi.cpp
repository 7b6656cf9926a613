#include "ansi.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The two-byte characters, decoded at build time by the same converter: most text of the index
// files is ASCII and two-byte characters, and opening the converter costs more than reading every
// index file the start-up reads.
constexpr char16_t TwoByte[] = {
#include "ansitwobyte.inc"
};
constexpr int Trails = 0xFE - 0x40 + 1;
static_assert(sizeof(TwoByte) / sizeof(TwoByte[0]) == size_t(0xFE - 0x81 + 1) * Trails);

// 0 when the pair is no two-byte character.
char16_t twoByte(unsigned char lead, unsigned char trail)
{
    if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE)
        return 0;
    return TwoByte[size_t(lead - 0x81) * Trails + size_t(trail - 0x40)];
}

// The converter keeps back the bytes of a character cut off by the end; a line feed, which continues
// no character, makes it give them up as a replacement character instead of letting them vanish.
QString converted(QStringDecoder &converter, QByteArrayView bytes)
{
    QString text = converter.decode(bytes);
    QString rest = converter.decode(QByteArrayView("\n", 1));
    rest.chop(1);
    converter.resetState();
    return text + rest;
}

QStringDecoder &converter()
{
    static thread_local QStringDecoder decoder("GB18030");
    return decoder;
}
}

namespace Ansi {

QString decode(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    qsizetype n = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out[n++] = b;
            continue;
        }
        const char16_t c = i + 1 < bytes.size() ? twoByte(b, static_cast<unsigned char>(bytes[i + 1])) : 0;
        if (c == 0) {
            // Four-byte characters and damaged bytes: the converter decides.
            return converted(converter(), bytes);
        }
        out[n++] = c;
        ++i;
    }
    result.truncate(n);
    return result;
}

QByteArray encode(QStringView text)
{
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return text.toLatin1();
    static thread_local QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString upper(QStringView text)
{
    QString result = text.toString();
    for (QChar &c : result)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    return result;
}

qsizetype charLength(QByteArrayView bytes, qsizetype pos)
{
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(pos);
    if (lead < 0x81 || lead == 0xFF || pos + 1 >= bytes.size())
        return 1;
    const unsigned char second = at(pos + 1);
    if (second >= 0x30 && second <= 0x39) {
        if (pos + 3 < bytes.size() && at(pos + 2) >= 0x81 && at(pos + 2) <= 0xFE && at(pos + 3) >= 0x30
            && at(pos + 3) <= 0x39)
            return 4;
        return 1;
    }
    if (second >= 0x40 && second <= 0xFE && second != 0x7F)
        return 2;
    return 1;
}

qsizetype encodedLength(char32_t codePoint)
{
    if (codePoint < 0x80)
        return 1;
    if (codePoint > 0xFFFF)
        return 4;
    const QChar c(static_cast<char16_t>(codePoint));
    return encode(QStringView(&c, 1)).size();
}

}
