#include "ininumber.h"

#include "platform/vellumoerror.h"

namespace IniNumber {

int toInt(const QString &text)
{
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text[0] == u'-';
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+'))
        ++i;
    if (i == text.size())
        throw VellumoError::notAnInteger(text);
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            throw VellumoError::notAnInteger(text);
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(1) << 31)
            throw VellumoError::notAnInteger(text);
    }
    if (negative)
        value = -value;
    if (value > 2147483647 || value < -2147483647 - 1)
        throw VellumoError::notAnInteger(text);
    return int(value);
}

}
