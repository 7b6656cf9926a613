#pragma once

#include <QByteArrayView>
#include <QImage>

// Decodes a JPEG held in memory straight with libjpeg, so that the built-in pictures never make the
// start-up load the picture plug-ins. Skin pictures in JPEG come here too: a damaged one gives the
// decoder's message code for the error text.
namespace JpegDecoder {

struct Result
{
    QImage image; // null when the decoder gave up
    int errorCode = 0; // the decoder's message code then (J_MESSAGE_CODE)
};

Result decode(QByteArrayView bytes);

}
