#pragma once

#include <QString>

#include <optional>

class FileSystem;

// A text piece as the piece reader yields it: the file's lines, each followed by CR LF, the last one
// too; nothing for an empty file, and no text at all when the file is missing.
namespace TextPiece {
std::optional<QString> load(FileSystem &files, const QString &path);
}
