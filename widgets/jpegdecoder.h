#pragma once

#include <QByteArrayView>
#include <QImage>

// Decodes a JPEG held in memory straight with libjpeg. The built-in pictures go through here so that
// the program's start-up never loads the picture plug-ins; skin pictures do, for the decoder's
// message code on a damaged file.
namespace JpegDecoder {

struct Result
{
    QImage image; // null when the decoder gave up
    int errorCode = 0; // the decoder's message code then (J_MESSAGE_CODE)
};

Result decode(QByteArrayView bytes);

}
