#pragma once

#include <QPixmap>
#include <QString>

// Loads a picture by its file extension, for the formats the program can show (bitmap, JPEG, GIF,
// icon); a file it cannot show raises the loader's error text. Metafiles (.emf, .wmf) have no
// painter here, so their extension is unknown like any other.
namespace PictureLoader {
QPixmap load(const QString &path);
// Raises "Unknown picture file extension" unless load() claims the path's extension.
void requireKnownExtension(const QString &path);
// One of the JPEG pictures compiled into the program, by its resource path.
QPixmap builtIn(QLatin1String resource);
}
