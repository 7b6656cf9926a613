#include "artwork/artwork.h"
#include "widgets/jpegdecoder.h"
#include "widgets/pictureloader.h"
#include "widgets/readabletext.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QTest>

#include <cstdlib>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

using namespace Qt::StringLiterals;

namespace {
QByteArray savedJpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

QImage filled(QImage::Format format, const QColor &colour)
{
    QImage image(24, 16, format);
    image.fill(colour);
    return image;
}

// Qt writes no CMYK JPEG: one of one ink mix, stored inverted the way Adobe's programs store it.
QByteArray cmykJpeg(uchar c, uchar m, uchar y, uchar k)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row;
    for (int x = 0; x < 8; ++x)
        row.insert(row.end(), { JSAMPLE(255 - c), JSAMPLE(255 - m), JSAMPLE(255 - y), JSAMPLE(255 - k) });
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

bool near(QRgb pixel, QColor expected)
{
    return qAbs(qRed(pixel) - expected.red()) <= 6 && qAbs(qGreen(pixel) - expected.green()) <= 6
        && qAbs(qBlue(pixel) - expected.blue()) <= 6 && qAlpha(pixel) == 255;
}
}

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void readableTextColour_data()
    {
        QTest::addColumn<QColor>("light");
        QTest::addColumn<QColor>("dark");
        QTest::addColumn<int>("darkPercent");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<double>("contrast");
        QTest::newRow("white") << QColor(Qt::white) << QColor(Qt::black) << 0 << QColor(Qt::black) << 21.0;
        QTest::newRow("black") << QColor(Qt::white) << QColor(Qt::black) << 100 << QColor(Qt::white) << 21.0;
        QTest::newRow("mid grey") << QColor(118, 118, 118) << QColor() << 0 << QColor(Qt::black) << 4.62;
        // A few dark specks do not count; a tenth of the picture does.
        QTest::newRow("specks") << QColor(Qt::white) << QColor(Qt::black) << 4 << QColor(Qt::black) << 21.0;
        QTest::newRow("a tenth dark") << QColor(Qt::white) << QColor(Qt::black) << 10 << QColor(Qt::black) << 1.0;
    }
    void readableTextColour()
    {
        QFETCH(QColor, light);
        QFETCH(QColor, dark);
        QFETCH(int, darkPercent);
        QFETCH(QColor, colour);
        QFETCH(double, contrast);
        QImage backdrop(100, 10, QImage::Format_RGB32);
        backdrop.fill(light);
        for (int x = 0; x < darkPercent; ++x)
            for (int y = 0; y < 10; ++y)
                backdrop.setPixelColor(x, y, dark);
        const ReadableText::Choice choice = ReadableText::over(backdrop);
        QCOMPARE(choice.colour, colour);
        QVERIFY2(qAbs(choice.contrast - contrast) < 0.01, qPrintable(QString::number(choice.contrast)));
        QVERIFY(qAbs(ReadableText::contrast(Qt::white, Qt::black) - 21.0) < 1e-9);
    }

    void decodedJpegs_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("colour") << savedJpeg(filled(QImage::Format_RGB32, QColor(200, 40, 90))) << QSize(24, 16)
                                << QColor(200, 40, 90);
        QTest::newRow("grey") << savedJpeg(filled(QImage::Format_Grayscale8, QColor(128, 128, 128))) << QSize(24, 16)
                              << QColor(128, 128, 128);
        QTest::newRow("cmyk red") << cmykJpeg(0, 255, 255, 0) << QSize(8, 8) << QColor(255, 0, 0);
        QTest::newRow("cmyk half black") << cmykJpeg(0, 0, 0, 128) << QSize(8, 8) << QColor(127, 127, 127);
    }

    void decodedJpegs()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(QColor, colour);
        const JpegDecoder::Result result = JpegDecoder::decode(bytes);
        QCOMPARE(result.errorCode, 0);
        QCOMPARE(result.image.size(), size);
        QCOMPARE(result.image.format(), QImage::Format_RGB32);
        for (const QPoint at : { QPoint(0, 0), QPoint(size.width() - 1, size.height() - 1) })
            QVERIFY2(near(result.image.pixel(at), colour), qPrintable(QColor(result.image.pixel(at)).name()));
    }

    void refusedJpegsGiveTheDecodersCode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("code");
        const QByteArray good = savedJpeg(filled(QImage::Format_RGB32, Qt::red));
        QTest::newRow("not a JPEG") << QByteArray("GIF89a....") << int(JERR_NO_SOI);
        QTest::newRow("empty") << QByteArray() << int(JERR_INPUT_EMPTY);
        QTest::newRow("cut inside the header") << good.left(40) << -1;
        // The frame header claims 10000 by 10000 pixels (400 MB): refused before memory is taken for it.
        QByteArray huge = good;
        const qsizetype frame = huge.indexOf("\xFF\xC0");
        QVERIFY(frame > 0);
        for (const qsizetype at : { frame + 5, frame + 7 }) {
            huge[at] = char(0x27);
            huge[at + 1] = char(0x10);
        }
        QTest::newRow("claims a huge size") << huge << int(JERR_OUT_OF_MEMORY);
    }

    void refusedJpegsGiveTheDecodersCode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        const JpegDecoder::Result result = JpegDecoder::decode(bytes);
        QVERIFY(result.image.isNull());
        if (code >= 0)
            QCOMPARE(result.errorCode, code);
        else
            QVERIFY(result.errorCode > 0);
    }

    void builtInPicturesAtTheirSizes()
    {
        QCOMPARE(PictureLoader::builtIn(vellumo::artwork::kSplashImage).size(), QSize(346, 262));
        QCOMPARE(PictureLoader::builtIn(vellumo::artwork::kMainImage).size(), QSize(329, 257));
        QCOMPARE(PictureLoader::builtIn(vellumo::artwork::kStatusImage).size(), QSize(352, 75));
        // The same pixels as the picture plug-in reads.
        const QImage ours = PictureLoader::builtIn(vellumo::artwork::kSplashImage).toImage();
        const QImage theirs(vellumo::artwork::kSplashImage);
        int off = 0;
        for (int y = 0; y < ours.height(); y += 7)
            for (int x = 0; x < ours.width(); x += 7)
                off = qMax(off, qAbs(qGray(ours.pixel(x, y)) - qGray(theirs.pixel(x, y))));
        QVERIFY2(off <= 2, qPrintable(QString::number(off)));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
