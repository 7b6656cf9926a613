#pragma once

#include "recoverycopy.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class FileSystem;
class ProcessLock;

// The folder of recovery copies in the user's data folder: one copy per running program, named by the
// program and locked for as long as it runs, so that two programs never share one and a copy whose
// program is gone can be told from one still being written.
class RecoveryFolder
{
public:
    RecoveryFolder(FileSystem &files, const QString &folder);
    ~RecoveryFolder();

    // Makes the folder (private to the user) and takes this program's name in it; false when it
    // cannot, and nothing is then kept.
    bool claim();
    bool claimed() const { return bool(m_lock); }
    // Writes this program's copy whole, or leaves the last one as it was.
    bool write(const RecoveryCopy &copy);
    // This program's page needs no copy any more.
    void remove();
    QString copyPath() const;

    // A copy whose program is no longer running, held by this one from the moment it was found so
    // that another program starting beside it does not offer it too.
    struct Left
    {
        QString path;
        RecoveryCopy header;
        std::shared_ptr<ProcessLock> lock;
    };
    // Newest first. Copies that cannot be read are left where they are.
    QList<Left> leftBehind();
    std::optional<RecoveryCopy> read(const Left &left) const;
    void discard(const Left &left);

    // The unsaved copy another running program keeps of this page, if any.
    std::optional<RecoveryCopy> liveCopyOf(const QString &pagePath) const;

    static QString defaultFolder();

private:
    QString lockPathFor(const QString &copyPath) const;
    QStringList copies() const;

    FileSystem &m_files;
    QString m_folder;
    QString m_name;
    std::unique_ptr<ProcessLock> m_lock;
};
