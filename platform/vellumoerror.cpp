#include "vellumoerror.h"

using namespace Qt::StringLiterals;

VellumoError::VellumoError(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{
}

VellumoError VellumoError::notAnInteger(const QString &text)
{
    return VellumoError(u"'%1' is not a valid integer value"_s.arg(text));
}

VellumoError VellumoError::unableToWrite(const QString &path)
{
    return VellumoError(u"Unable to write to %1"_s.arg(path));
}

VellumoError VellumoError::cannotOpen(const QString &path)
{
    return VellumoError(u"Cannot open file %1"_s.arg(path));
}

VellumoError VellumoError::cannotCreate(const QString &path)
{
    return VellumoError(u"Cannot create file %1"_s.arg(path));
}

VellumoError VellumoError::unknownPictureExtension(const QString &extension)
{
    return VellumoError(u"Unknown picture file extension (.%1)"_s.arg(extension));
}

VellumoError VellumoError::listIndexOutOfBounds(int index)
{
    return VellumoError(u"List index out of bounds (%1)"_s.arg(index));
}

QString VellumoError::withFullStop(const QString &text)
{
    if (!text.isEmpty() && text.back() > u'.')
        return text + u'.';
    return text;
}

VellumoError VellumoError::integerOverflow()
{
    return VellumoError(u"Integer overflow"_s);
}
