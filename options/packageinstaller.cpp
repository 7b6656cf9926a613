#include "packageinstaller.h"

#include "library/effectindex.h"
#include "library/inifile.h"
#include "library/ininumber.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
// Only this many file names beyond the last one the package holds are walked: the first of them is
// already missing, which ends the installation.
constexpr int MaxNamesBeyondKeys = 1;

bool absolute(const QString &name)
{
    return name.startsWith(u'/') || name.startsWith(u'\\') || (name.size() >= 2 && name[1] == u':');
}

bool climbs(const QString &name)
{
    const QStringList parts = QString(name).replace(u'\\', u'/').split(u'/');
    return parts.contains(u".."_s);
}

// Whether the folder a target would be written into lies inside the category folder once links are
// followed. A folder that does not exist yet takes no copy, so it cannot lead outside.
bool staysInside(const QString &categoryFolder, const QString &target)
{
    const QString parent = QFileInfo(target).absolutePath();
    if (!QFileInfo(parent).isDir())
        return true;
    const QString inside = QFileInfo(categoryFolder).canonicalFilePath();
    const QString real = QFileInfo(parent).canonicalFilePath();
    return !inside.isEmpty() && (real == inside || real.startsWith(inside + u'/'));
}
}

PackageInstaller::PackageInstaller(FileSystem &files, const QString &applicationFolder)
    : m_files(files), m_applicationFolder(applicationFolder)
{
}

QString PackageInstaller::confirmation()
{
    return u"真的要嵌入程序吗，一旦嵌入，要删除就必须到link2.ini手工进行设置"_s;
}

QString PackageInstaller::incompleteMessage()
{
    return u"你下载的升级文件并不完整，是不是真的到作者主页下载的？"_s;
}

QString PackageInstaller::closingMessage(const Outcome &outcome)
{
    return u"程序已经设置完毕，但也要重新启动才能重新启用，该特效名为"_s + outcome.lastName + u"安装在文件夹"_s
           + outcome.lastCategory;
}

QString PackageInstaller::refusedMessage(const QString &packagePath, const QString &reason)
{
    return u"升级文件"_s + packagePath + u"不安全，没有安装："_s + reason;
}

PackageInstaller::Package PackageInstaller::read(const QString &path) const
{
    IniFile file(m_files, path);
    Package package;
    package.path = path;
    package.name = file.readString(u"files"_s, u"name"_s);
    package.kind = file.readString(u"files"_s, u"flistno"_s);
    package.folder = QFileInfo(path).path();
    if (!package.folder.endsWith(u'/'))
        package.folder += u'/';
    package.category = file.readString(u"files"_s, u"flist"_s);
    const int count = IniNumber::toInt(file.readString(u"files"_s, u"ft"_s));
    const qint64 walked = qMin<qint64>(count, qint64(file.reachedNumberedKey(u"files"_s, u"ftname"_s)) + MaxNamesBeyondKeys);
    for (qint64 i = 1; i <= walked; ++i)
        package.files.append(file.readString(u"files"_s, u"ftname"_s + QString::number(i)).replace(u'\\', u'/'));
    return package;
}

QString PackageInstaller::refusal(const Package &package) const
{
    const auto folderName = [](const QString &what, const QString &value) -> QString {
        if (value.isEmpty() || value == u"."_s || value == u".."_s)
            return what + u"“"_s + value + u"”不是一个文件夹名"_s;
        if (value.contains(u'/') || value.contains(u'\\') || value.contains(QChar(0)) || absolute(value))
            return what + u"“"_s + value + u"”含有路径"_s;
        return {};
    };
    if (QString reason = folderName(u"类别名"_s, package.category); !reason.isEmpty())
        return reason;
    if (!package.name.isEmpty())
        if (QString reason = folderName(u"特效名"_s, package.name); !reason.isEmpty())
            return reason;
    const QString categoryFolder = m_applicationFolder + package.category;
    for (const QString &name : package.files) {
        if (name.isEmpty())
            continue;
        if (absolute(name) || climbs(name) || name.contains(QChar(0)))
            return u"文件名“"_s + name + u"”指向特效类别文件夹之外"_s;
        if (!staysInside(categoryFolder, categoryFolder + u'/' + name))
            return u"文件名“"_s + name + u"”经过链接指向特效类别文件夹之外"_s;
    }
    return {};
}

PackageInstaller::Outcome PackageInstaller::installAll(const QStringList &packages)
{
    Outcome outcome;
    for (const QString &path : packages) {
        const Package package = read(path);
        if (const QString reason = refusal(package); !reason.isEmpty()) {
            outcome.end = End::Refused;
            outcome.refusal = refusedMessage(path, reason);
            return outcome;
        }
        const QString categoryFolder = m_files.resolveName(m_applicationFolder + package.category) + u'/';
        for (const QString &name : package.files) {
            const QString source = package.folder + name;
            if (name.isEmpty() || !m_files.fileExists(source)) {
                outcome.end = End::Incomplete;
                return outcome;
            }
            // An existing target or a missing folder skips the copy quietly; any other failure would
            // enter an effect whose files are not there.
            const QString target = categoryFolder + name;
            if (!m_files.copyWithoutOverwrite(source, target) && m_files.copyRefused(target))
                throw VellumoError::cannotCreate(target);
        }
        EffectIndex(m_files, m_applicationFolder).append(package.category, package.name, package.kind);
        outcome.end = End::Installed;
        outcome.lastName = package.name;
        outcome.lastCategory = package.category;
        ++outcome.entered;
    }
    return outcome;
}
