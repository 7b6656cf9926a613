#pragma once

#include <QString>

#include <optional>

class Clipboard;
class FileSystem;

// A simple-copy effect: its text file, "<category>/<effect>.txt" in the application folder with the
// name matched without regard to case, read as ANSI with CR LF line ends, goes to the clipboard as
// it is; there is nothing to set up.
class SimpleCopyEffect
{
public:
    SimpleCopyEffect(
        FileSystem &files, const QString &applicationFolder, const QString &category, const QString &effect);

    // The effect's text, or nothing when it has no file that can be read.
    std::optional<QString> text() const;
    // Puts the text on the clipboard; false, with the clipboard as it was, when there is none.
    bool copyTo(Clipboard &clipboard) const;

private:
    FileSystem &m_files;
    QString m_path;
};
