#include "dialogfolders.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
QString clean(const QString &folder)
{
    return folder.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}
}

void DialogFolders::setLibraryFolder(const QString &folder)
{
    m_library = clean(folder);
}

bool DialogFolders::inLibrary(const QString &folder) const
{
    if (m_library.isEmpty())
        return false;
    // File names are matched without regard to letter case, as everywhere in the library.
    return folder.compare(m_library, Qt::CaseInsensitive) == 0
        || folder.startsWith(m_library + u'/', Qt::CaseInsensitive);
}

void DialogFolders::fileChosen(const QString &path)
{
    folderChosen(QFileInfo(path).absolutePath());
}

void DialogFolders::folderChosen(const QString &folder)
{
    const QString cleaned = clean(folder);
    if (!cleaned.isEmpty() && !inLibrary(cleaned))
        m_last = cleaned;
}

QString DialogFolders::startFolder(const QString &requested) const
{
    if (!requested.isEmpty())
        return requested;
    return m_last.isEmpty() ? m_home : m_last;
}
