#include "pictureloader.h"

#include "jpegdecoder.h"

#include "platform/vellumoerror.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QResource>

using namespace Qt::StringLiterals;

namespace {
QString extensionOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > slash ? path.mid(dot + 1) : QString();
}

QString invalidText(const QString &extension)
{
    const QString ext = extension.toLower();
    if (ext == u"gif"_s)
        return u"GIF image is not valid"_s;
    if (ext == u"ico"_s)
        return u"Icon image is not valid"_s;
    return u"Bitmap image is not valid"_s;
}
}

namespace PictureLoader {

QPixmap builtIn(QLatin1String resource)
{
    return QPixmap::fromImage(JpegDecoder::decode(QResource(resource).uncompressedData()).image);
}

void requireKnownExtension(const QString &path)
{
    static const QStringList known { u"bmp"_s, u"jpg"_s, u"jpeg"_s, u"gif"_s, u"ico"_s };
    const QString extension = extensionOf(path);
    if (!known.contains(extension.toLower()))
        throw VellumoError::unknownPictureExtension(extension);
}

QPixmap load(const QString &path)
{
    requireKnownExtension(path);
    const QString extension = extensionOf(path);
    const QString ext = extension.toLower();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw VellumoError::cannotOpen(path);
    const QByteArray bytes = file.readAll();
    if (ext == u"jpg"_s || ext == u"jpeg"_s) {
        JpegDecoder::Result jpeg = JpegDecoder::decode(bytes);
        if (jpeg.image.isNull())
            throw VellumoError(u"JPEG error #%1"_s.arg(jpeg.errorCode));
        return QPixmap::fromImage(std::move(jpeg.image));
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, ext.toLatin1());
    reader.setDecideFormatFromContent(false);
    const QImage image = reader.read();
    if (image.isNull())
        throw VellumoError(invalidText(extension));
    return QPixmap::fromImage(image);
}

}
