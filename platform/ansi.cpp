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
    return converted(converter(), bytes);
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
