#include "recoveryfolder.h"

#include "platform/filesystem.h"
#include "platform/processlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
const QString CopySuffix = u".recovery"_s;
const QString LockSuffix = u".lock"_s;

std::optional<RecoveryCopy> headerOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return RecoveryCopy::headerFrom(file.read(RecoveryCopy::LongestHeader + 2));
}
}

RecoveryFolder::RecoveryFolder(FileSystem &files, const QString &folder)
    : m_files(files)
    , m_folder(folder.endsWith(u'/') ? folder : folder + u'/')
{
}

RecoveryFolder::~RecoveryFolder() = default;

QString RecoveryFolder::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/recovery/"_s;
}

bool RecoveryFolder::claim()
{
    if (m_lock)
        return true;
    // The pages' texts are the user's own: nobody else reads them here.
    if (!QDir().mkpath(m_folder)
        || !QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return false;
    for (int attempt = 0; attempt < 8 && !m_lock; ++attempt) {
        m_name = QString::number(QCoreApplication::applicationPid()) + u'-'
            + QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, u'0');
        if (!m_files.fileExists(copyPath()))
            m_lock = ProcessLock::take(lockPathFor(copyPath()));
    }
    return bool(m_lock);
}

QString RecoveryFolder::copyPath() const
{
    return m_folder + m_name + CopySuffix;
}

QString RecoveryFolder::lockPathFor(const QString &copyPath) const
{
    return copyPath.left(copyPath.size() - CopySuffix.size()) + LockSuffix;
}

bool RecoveryFolder::write(const RecoveryCopy &copy)
{
    return m_lock && m_files.writeAtomically(copyPath(), copy.toBytes());
}

void RecoveryFolder::remove()
{
    if (m_lock && m_files.fileExists(copyPath()))
        m_files.remove(copyPath());
}

QStringList RecoveryFolder::copies() const
{
    QStringList paths;
    const QStringList names = QDir(m_folder).entryList({ u"*"_s + CopySuffix }, QDir::Files | QDir::Hidden);
    for (const QString &name : names)
        paths << m_folder + name;
    return paths;
}

QList<RecoveryFolder::Left> RecoveryFolder::leftBehind()
{
    QList<Left> found;
    for (const QString &path : copies()) {
        if (m_lock && path == copyPath())
            continue;
        std::shared_ptr<ProcessLock> lock = ProcessLock::take(lockPathFor(path));
        if (!lock)
            continue; // its program still runs, or another one is offering it now
        const std::optional<RecoveryCopy> header = headerOf(path);
        if (!header)
            continue;
        found.append({ path, *header, lock });
    }
    std::sort(
        found.begin(), found.end(), [](const Left &a, const Left &b) { return a.header.written > b.header.written; });
    return found;
}

std::optional<RecoveryCopy> RecoveryFolder::read(const Left &left) const
{
    const std::optional<QByteArray> bytes = m_files.readAll(left.path);
    if (!bytes)
        return std::nullopt;
    return RecoveryCopy::fromBytes(*bytes);
}

void RecoveryFolder::discard(const Left &left)
{
    m_files.remove(left.path);
}

std::optional<RecoveryCopy> RecoveryFolder::liveCopyOf(const QString &pagePath) const
{
    for (const QString &path : copies()) {
        if (m_lock && path == copyPath())
            continue;
        if (!ProcessLock::isHeld(lockPathFor(path)))
            continue;
        const std::optional<RecoveryCopy> header = headerOf(path);
        if (header && !header->pagePath.isEmpty() && header->pagePath == pagePath)
            return header;
    }
    return std::nullopt;
}
