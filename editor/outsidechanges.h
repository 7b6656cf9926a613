#pragma once

#include "diskversion.h"

#include <QByteArray>
#include <QString>

class Dialogs;
class DocumentView;
class FileSystem;

// What other programs do to the page's file while it is open: said when the user comes back to the
// editor, and asked about before a save would overwrite it. Measured against the file as the page last
// read or wrote it, or as the user last chose to keep their text over it.
class OutsideChanges
{
public:
    OutsideChanges(DocumentView &view, Dialogs &dialogs, const FileSystem &files);

    static QString changedQuestion(const QString &path);
    static QString reloadLosesEditsQuestion();
    static QString goneMessage(const QString &path);
    static QString overwriteQuestion(const QString &path);

    // The page's file was read: its stamp before the reading, the digest of the bytes read, and the file
    // clock's time before the reading.
    void read(const QString &path, const FileStamp &stamp, const QByteArray &digest, std::int64_t takenNs);
    // The page was written to path: these bytes, from the file clock's time before the write.
    void written(const QString &path, const QByteArray &bytes, std::int64_t takenNs);

    // The text shown for the file at path now stands over the file as it is on disk (a recovered copy of
    // the page, say): later changes to the file are measured from here.
    void textKeptOver(const QString &path);

    // When the user comes back to the editor: a change to the page's file is said once. True when the
    // user wants the file loaded again in place of the text; on No the text stays, marked as unsaved.
    bool reloadWanted(const QString &path);
    // Before the page is written to path: true when path is not the page's file, or the file is as it
    // was, or the user still wants it overwritten.
    bool mayOverwrite(const QString &path);

private:
    void keepOwnText(const QString &path);
    DocumentView &m_view;
    Dialogs &m_dialogs;
    const FileSystem &m_files;
    // The page's file; empty while the page has none.
    QString m_path;
    DiskVersion m_version;
};
