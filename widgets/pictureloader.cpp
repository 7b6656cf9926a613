#include "pictureloader.h"

#include "platform/vellumoerror.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

using namespace Qt::StringLiterals;

namespace {
struct JpegErrorManager
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr info)
{
    auto *errors = reinterpret_cast<JpegErrorManager *>(info->err);
    std::longjmp(errors->jump, 1);
}

void ignoreJpegMessage(j_common_ptr, int) {}

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

QString jpegErrorText(const QByteArray &bytes)
{
    jpeg_decompress_struct info;
    JpegErrorManager errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegErrorExit;
    errors.manager.emit_message = ignoreJpegMessage;
    int code = 0;
    if (setjmp(errors.jump)) {
        code = errors.manager.msg_code;
        jpeg_destroy_decompress(&info);
        return u"JPEG error #%1"_s.arg(code);
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> row(size_t(info.output_width) * size_t(info.output_components));
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    // The decoder took it, yet the picture could not be shown: report it as not a JPEG file.
    return u"JPEG error #%1"_s.arg(int(JERR_NO_SOI));
}

QPixmap load(const QString &path)
{
    const QString extension = extensionOf(path);
    const QString ext = extension.toLower();
    static const QStringList known{u"bmp"_s, u"jpg"_s, u"jpeg"_s, u"gif"_s, u"ico"_s, u"emf"_s, u"wmf"_s};
    if (!known.contains(ext))
        throw VellumoError::unknownPictureExtension(extension);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw VellumoError::cannotOpen(path);
    const QByteArray bytes = file.readAll();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = ext == u"jpeg"_s ? QByteArray("jpg") : ext.toLatin1();
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (ext != u"emf"_s && ext != u"wmf"_s)
        image = reader.read();
    if (image.isNull()) {
        if (ext == u"jpg"_s || ext == u"jpeg"_s)
            throw VellumoError(jpegErrorText(bytes));
        throw VellumoError(invalidText(extension));
    }
    return QPixmap::fromImage(image);
}

}
