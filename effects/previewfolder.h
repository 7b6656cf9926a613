#pragma once

#include "platform/explained.h"
#include "previewassembly.h"

#include <QString>

#include <memory>
#include <optional>

class FileSystem;
class QTemporaryDir;

// The private folder a preview's scratch page lives in, with the files the effect's code refers to.
// Previewing never writes anywhere else: not the user's destination folder, not the library. The
// folder and all in it go when the preview does.
class PreviewFolder
{
public:
    explicit PreviewFolder(FileSystem &files);
    ~PreviewFolder();

    // Empty when no temporary folder could be made.
    QString path() const;

    // The code pasted into the new-page text (before its </body>; a bare page when there is none),
    // in the system's ANSI text, with the files copied beside it. The page's path, or none and why.
    Explained<QString> writePage(const PreviewContent &content, const QString &newPageText);
    // A page that says what stopped the preview.
    Explained<QString> writeProblem(const QString &text);

    // Removes the folder and everything in it; a later page makes a new one.
    void remove();

    static QString pageName();
    // Removes the folders of every preview of this program, as it ends before its windows can.
    static void removeEveryFolder();
    // Removes what previews of ended programs left in the temporary folder: folders named as this
    // program names them, of this user, untouched for a day. Returns how many.
    static int clearStale(const QString &temporaryFolder);

private:
    // The folder, made when it is not there.
    Explained<QString> make();
    Explained<QString> write(const QString &page);

    FileSystem &m_files;
    std::unique_ptr<QTemporaryDir> m_dir;
};
