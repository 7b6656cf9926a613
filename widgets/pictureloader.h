#pragma once

#include <QPixmap>
#include <QString>

// Loads a picture by its file extension, for the formats the program knows (bitmap, JPEG, GIF,
// icon, metafiles); a file it cannot show raises the loader's error text.
namespace PictureLoader {
QPixmap load(const QString &path);
// The error text of a JPEG that cannot be decoded: "JPEG error #<decoder message code>".
QString jpegErrorText(const QByteArray &bytes);
}
