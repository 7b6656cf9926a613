#include "templateshelf.h"

#include "platform/filesystem.h"
#include "platform/vellumoerror.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

TemplateShelf::TemplateShelf(FileSystem &files, const QString &applicationFolder)
    : m_files(files)
    , m_folder(applicationFolder + u"模板/"_s)
{
}

QString TemplateShelf::replaceQuestion()
{
    return u"模板文件夹中有相同文件名的文件存在，是否覆盖？"_s;
}

QString TemplateShelf::copyPath(const QString &chosen) const
{
    return m_folder + chosen.mid(chosen.lastIndexOf(u'/') + 1);
}

bool TemplateShelf::isOwnCopy(const QString &chosen) const
{
    const QString target = QFileInfo(m_files.resolveName(copyPath(chosen))).canonicalFilePath();
    return !target.isEmpty() && target == QFileInfo(chosen).canonicalFilePath();
}

bool TemplateShelf::hasOtherCopy(const QString &chosen) const
{
    return m_files.fileExists(m_files.resolveName(copyPath(chosen))) && !isOwnCopy(chosen);
}

void TemplateShelf::copyIn(const QString &chosen, bool replace)
{
    if (isOwnCopy(chosen))
        return;
    const QString target = m_files.resolveName(copyPath(chosen));
    if (!replace) {
        // An existing copy or a missing templates folder skips the copy quietly.
        if (!m_files.copyWithoutOverwrite(chosen, target) && m_files.copyRefused(target))
            throw VellumoError::cannotCreate(target);
        return;
    }
    // The old copy is replaced whole in one step, so a failed copy never leaves it half gone.
    const std::optional<QByteArray> bytes = m_files.readAll(chosen);
    if (!bytes)
        throw VellumoError::cannotOpen(chosen);
    if (!m_files.writeAtomically(target, *bytes) && m_files.folderExists(m_folder))
        throw VellumoError::cannotCreate(target);
}
