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
    if (ext == u"emf"_s || ext == u"wmf"_s)
        return u"Metafile is not valid"_s;
    return u"Bitmap image is not valid"_s;
}
}

namespace PictureLoader {

QPixmap builtIn(QLatin1String resource)
{
    return QPixmap::fromImage(JpegDecoder::decode(QResource(resource).uncompressedData()).image);
}

QPixmap load(const QString &path)
{
    const QString extension = extensionOf(path);
    const QString ext = extension.toLower();
    static const QStringList known { u"bmp"_s, u"jpg"_s, u"jpeg"_s, u"gif"_s, u"ico"_s, u"emf"_s, u"wmf"_s };
    if (!known.contains(ext))
        throw VellumoError::unknownPictureExtension(extension);

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
    QImage image;
    if (ext != u"emf"_s && ext != u"wmf"_s)
        image = reader.read();
    if (image.isNull())
        throw VellumoError(invalidText(extension));
    return QPixmap::fromImage(image);
}

}
