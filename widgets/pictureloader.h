#pragma once

#include <QPixmap>
#include <QString>

// Loads a picture by its file extension, for the formats the program knows (bitmap, JPEG, GIF,
// icon, metafiles); a file it cannot show raises the loader's error text.
namespace PictureLoader {
QPixmap load(const QString &path);
// One of the JPEG pictures compiled into the program, by its resource path.
QPixmap builtIn(QLatin1String resource);
}
