#include "artwork.h"

namespace vellumo::artwork {

QString iconPath(int index)
{
    if (index < 0 || index >= kIconCount)
        return QString();
    return QStringLiteral(":/artwork/icons/%1.png").arg(index, 2, 10, QLatin1Char('0'));
}

} // namespace vellumo::artwork
