#include "artwork.h"

#include <QHash>
#include <QResource>

namespace vellumo::artwork {

QString iconPath(int index)
{
    if (index < 0 || index >= kIconCount)
        return QString();
    return QStringLiteral(":/artwork/icons/%1.png").arg(index, 2, 10, QLatin1Char('0'));
}

namespace {
QImage imageListEntry(const QString &resource, int index)
{
    static QHash<QString, QByteArray> lists;
    auto it = lists.find(resource);
    if (it == lists.end())
        it = lists.insert(resource, QResource(resource).uncompressedData());
    const QByteArray &data = *it;
    const auto number = [&data](int at) {
        quint32 v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | quint8(data[at + i]);
        return v;
    };
    if (data.size() < 16 || !data.startsWith("VIL1"))
        return QImage();
    const quint32 count = number(4), width = number(8), height = number(12);
    const qsizetype bytes = qsizetype(width) * height * 4;
    if (index < 0 || quint32(index) >= count || data.size() < 16 + bytes * count)
        return QImage();
    const auto *pixels = reinterpret_cast<const uchar *>(data.constData() + 16 + bytes * index);
    return QImage(pixels, int(width), int(height), int(width) * 4, QImage::Format_ARGB32_Premultiplied).copy();
}
}

QImage icon(int index)
{
    return imageListEntry(QStringLiteral(":/artwork/imagelist.vil"), index);
}

QImage appIcon()
{
    return imageListEntry(QStringLiteral(":/artwork/appicon.vil"), 0);
}

QImage glyph(Glyph which)
{
    return imageListEntry(QStringLiteral(":/artwork/glyphs.vil"), which);
}

} // namespace vellumo::artwork
