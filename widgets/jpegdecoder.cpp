#include "jpegdecoder.h"

#include <QImageReader>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {
struct ErrorManager
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void errorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

void ignoreMessage(j_common_ptr, int) { }

// Adobe's CMYK JPEGs store the inks inverted, which is what nearly every CMYK file is.
void cmykRowToRgb32(const JSAMPLE *cmyk, QRgb *out, JDIMENSION width)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4) {
        const int k = cmyk[3];
        out[x] = qRgb(cmyk[0] * k / 255, cmyk[1] * k / 255, cmyk[2] * k / 255);
    }
}

// Everything that a longjmp may cross is kept out of the function that calls setjmp.
struct Decoding
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    QImage image;
    std::vector<JSAMPLE> inks;
};

void run(Decoding &d, QByteArrayView bytes)
{
    jpeg_mem_src(
        &d.info, reinterpret_cast<const unsigned char *>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.info, TRUE);
    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&d.info);
    // A damaged or hostile file may claim any size: nothing larger than the picture readers accept.
    const quint64 bytesNeeded = quint64(d.info.output_width) * d.info.output_height * 4;
    if (bytesNeeded > quint64(QImageReader::allocationLimit()) << 20)
        ERREXIT(&d.info, JERR_OUT_OF_MEMORY);
    d.image = QImage(int(d.info.output_width), int(d.info.output_height), QImage::Format_RGB32);
    if (d.image.isNull())
        ERREXIT(&d.info, JERR_OUT_OF_MEMORY);
    if (cmyk)
        d.inks.resize(size_t(d.info.output_width) * 4);
    while (d.info.output_scanline < d.info.output_height) {
        auto *line = d.image.scanLine(int(d.info.output_scanline));
        JSAMPROW rows[1] = { cmyk ? d.inks.data() : line };
        jpeg_read_scanlines(&d.info, rows, 1);
        if (cmyk)
            cmykRowToRgb32(d.inks.data(), reinterpret_cast<QRgb *>(line), d.info.output_width);
    }
    jpeg_finish_decompress(&d.info);
}
}

namespace JpegDecoder {

Result decode(QByteArrayView bytes)
{
    Decoding d;
    d.info.err = jpeg_std_error(&d.errors.manager);
    d.errors.manager.error_exit = errorExit;
    d.errors.manager.emit_message = ignoreMessage;
    jpeg_create_decompress(&d.info);
    Result result;
    if (setjmp(d.errors.jump)) {
        result.errorCode = d.errors.manager.msg_code;
        jpeg_destroy_decompress(&d.info);
        return result;
    }
    run(d, bytes);
    jpeg_destroy_decompress(&d.info);
    result.image = std::move(d.image);
    return result;
}

}
