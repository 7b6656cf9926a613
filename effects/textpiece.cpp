#include "textpiece.h"

#include "library/linebreaks.h"
#include "platform/ansi.h"
#include "platform/filesystem.h"

using namespace Qt::StringLiterals;

namespace TextPiece {

std::optional<QString> load(FileSystem &files, const QString &path)
{
    const QString resolved = files.resolveName(path);
    if (!files.fileExists(resolved))
        return std::nullopt;
    const std::optional<QByteArray> bytes = files.readAll(resolved);
    if (!bytes)
        return std::nullopt;
    QString text;
    for (const QString &line : LineBreaks::lines(Ansi::decode(*bytes)))
        text += line + u"\r\n"_s;
    return text;
}

}
