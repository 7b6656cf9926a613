#include "packageinstaller.h"

#include "library/categoryindex.h"
#include "library/countedsection.h"
#include "library/effectindex.h"
#include "library/inidocument.h"
#include "library/inifile.h"
#include "library/ininumber.h"
#include "library/librarynames.h"
#include "platform/ansi.h"
#include "platform/filesystem.h"
#include "platform/folderlock.h"
#include "platform/vellumoerror.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace {
// Only this many file names beyond the last one the package holds are walked: the first of them is
// already missing, which ends the installation.
constexpr int MaxNamesBeyondKeys = 1;

// The path with every link followed; empty when it does not exist.
QString realPath(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

bool inside(const QString &real, const QString &folder)
{
    if (real.isEmpty() || folder.isEmpty())
        return false;
    return real == folder || real.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

QString quoted(const QString &text)
{
    return u"“"_s + text + u"”"_s;
}

// A name as a message quotes it: a long one by its start only.
QString shown(const QString &name)
{
    constexpr qsizetype Shown = 32;
    if (name.size() <= Shown)
        return name;
    return name.left(name[Shown - 1].isHighSurrogate() ? Shown - 1 : Shown) + u"…"_s;
}

// Why a category or effect name cannot name one folder entry and one index entry; empty when it can.
QString nameProblem(const QString &what, const QString &value)
{
    if (value == u"."_s || value == u".."_s)
        return what + quoted(value) + u"不是一个名称"_s;
    if (value.contains(u'/') || value.contains(u'\\') || (value.size() >= 2 && value[1] == u':'))
        return what + quoted(shown(value)) + u"含有路径"_s;
    if (const QString problem = LibraryNames::indexProblem(value); !problem.isEmpty())
        return what + quoted(shown(value)) + problem;
    return {};
}

// The first file-naming key of a definition file whose value leads out of its folder, as the reason
// to refuse it; empty when there is none. Keys are walked as far as a setup window could reach them.
QString namedFileOutside(const QByteArray &bytes)
{
    const IniDocument definition(bytes);
    for (const QString &stem : LibraryNames::fileKeyStems()) {
        const int last = definition.reachedNumberedKey(u"file"_s, stem);
        for (int k = 1; k <= last; ++k) {
            const QString key = stem + QString::number(k);
            const QString value = definition.read(u"file"_s, key);
            if (!LibraryNames::namesOwnFile(value))
                return u"定义文件中的"_s + key + u"="_s + value + u"指向特效类别文件夹之外"_s;
        }
    }
    return {};
}

bool isKnownKind(const QString &kind)
{
    return kind == u"1"_s || kind == u"2"_s || kind == u"3"_s || kind == u"4"_s;
}

// The path below folder, which real lies inside.
QString relativeTo(const QString &real, const QString &folder)
{
    return real.mid(folder.endsWith(u'/') ? folder.size() : folder.size() + 1);
}

// Whether the folder has an entry of this name, a link leading nowhere included; a folder that cannot
// be read raises the error, so that nothing is copied next to what could not be seen.
bool isTaken(const FileSystem &files, const QString &folder, const QString &name)
{
    const auto entries = files.list(folder);
    if (!entries)
        throw VellumoError::cannotOpen(folder);
    return std::any_of(
        entries->begin(), entries->end(), [&name](const FolderEntry &entry) { return entry.name == name; });
}

// Why the definition file the effect will have in its category folder must not be installed, judged as
// a setup window will find it, in any letter case: a file of the effect's name already in the
// category folder (shipped by another package, say); the package's own ones are judged by their bytes.
QString definitionFileOutside(FileSystem &files, const HeldFolder &category, const QString &effect)
{
    for (const QString &entry : category.entriesNamed(effect))
        if (const auto bytes = files.readAll(category.path() + entry))
            if (const QString reason = namedFileOutside(*bytes); !reason.isEmpty())
                return reason;
    return {};
}
}

PackageInstaller::PackageInstaller(FileSystem &files, const QString &applicationFolder)
    : m_files(files)
    , m_applicationFolder(applicationFolder)
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

QString PackageInstaller::notInstalledMessage(const QString &packagePath, const QString &reason)
{
    return u"升级文件"_s + packagePath + u"没有安装："_s + reason;
}

QString PackageInstaller::alreadyInstalledMessage(const QString &packagePath)
{
    return u"升级文件"_s + packagePath + u"已经安装过了，没有改动任何文件"_s;
}

QString PackageInstaller::installedBefore(const Outcome &outcome)
{
    if (outcome.installed.isEmpty())
        return u"在它之前没有安装任何升级文件"_s;
    return u"在它之前已经安装："_s + outcome.installed.join(u"、"_s);
}

QString PackageInstaller::finalMessage(const Outcome &outcome)
{
    QString text;
    switch (outcome.end) {
    case End::Nothing:
        return {};
    case End::Installed:
        text = closingMessage(outcome);
        break;
    case End::AlreadyInstalled:
        return outcome.alreadyInstalled.size() == 1
            ? alreadyInstalledMessage(outcome.alreadyInstalled.first())
            : u"这些升级文件都已经安装过了，没有改动任何文件："_s + outcome.alreadyInstalled.join(u"、"_s);
    case End::Incomplete:
        text = incompleteMessage();
        if (!outcome.installed.isEmpty())
            text += u'\n' + installedBefore(outcome);
        break;
    case End::Refused:
        text = outcome.refusal + u'\n' + installedBefore(outcome);
        break;
    }
    if (!outcome.alreadyInstalled.isEmpty())
        text += u'\n' + u"已经安装过、没有改动："_s + outcome.alreadyInstalled.join(u"、"_s);
    return text;
}

PackageInstaller::Package PackageInstaller::read(const QString &path) const
{
    // A folder, a pipe or a device is no package; reading a pipe would never end.
    if (!m_files.fileExists(path) || !m_files.readAll(path))
        throw VellumoError::cannotOpen(path);
    IniFile file(m_files, path);
    Package package;
    package.path = path;
    package.folder = QFileInfo(path).path();
    if (!package.folder.endsWith(u'/'))
        package.folder += u'/';
    package.hasFilesSection = file.hasSection(u"files"_s);
    if (!package.hasFilesSection)
        return package;
    // Names are read whole: one too long for an index file is refused, never entered cut.
    package.name = file.readUncutString(u"files"_s, u"name"_s);
    package.kind = file.readString(u"files"_s, u"flistno"_s);
    package.category = file.readUncutString(u"files"_s, u"flist"_s);
    const int count = IniNumber::toInt(file.readString(u"files"_s, u"ft"_s));
    const qint64 walked
        = qMin<qint64>(count, qint64(file.reachedNumberedKey(u"files"_s, u"ftname"_s)) + MaxNamesBeyondKeys);
    for (qint64 i = 1; i <= walked; ++i)
        package.files.append(file.readUncutString(u"files"_s, u"ftname"_s + QString::number(i)).replace(u'\\', u'/'));
    return package;
}

PackageInstaller::Plan PackageInstaller::plan(const Package &package) const
{
    Plan plan;
    const auto refuse = [&](const QString &reason) {
        plan.verdict = Plan::Verdict::Refused;
        plan.refusal = refusedMessage(package.path, reason);
        return plan;
    };
    const auto decline = [&](const QString &reason) {
        plan.verdict = Plan::Verdict::Refused;
        plan.refusal = notInstalledMessage(package.path, reason);
        return plan;
    };
    if (!package.hasFilesSection)
        return decline(u"它不是升级文件（没有[files]一节）"_s);
    if (const QString problem = nameProblem(u"类别名"_s, package.category); !problem.isEmpty())
        return refuse(problem);
    if (const QString problem = nameProblem(u"特效名"_s, package.name); !problem.isEmpty())
        return refuse(problem);
    if (!isKnownKind(package.kind))
        return decline(u"特效种类"_s + quoted(package.kind) + u"不是程序认识的种类（1、2、3或4）"_s);

    // Every name is judged before any file is looked at.
    for (const QString &name : package.files)
        if (!name.isEmpty() && !LibraryNames::staysInFolder(name))
            return refuse(u"文件名"_s + quoted(shown(name)) + u"指向特效类别文件夹之外"_s);
    for (const QString &name : package.files)
        if (Ansi::encode(name).size() > IniDocument::MaxValueBytes)
            return decline(u"文件名"_s + quoted(shown(name)) + u"超过"_s + QString::number(IniDocument::MaxValueBytes)
                + u"字节"_s);

    const QStringList categories = CategoryIndex(m_files, m_applicationFolder).categories();
    for (const QString &category : categories)
        if (category.compare(package.category, Qt::CaseInsensitive) == 0) {
            plan.category = category;
            break;
        }
    if (plan.category.isEmpty())
        return decline(u"类别"_s + quoted(package.category) + u"不在"_s + CategoryIndex::fileName() + u"中"_s);
    const QString categoryFolder = m_files.resolveName(m_applicationFolder + plan.category);
    if (!m_files.folderExists(categoryFolder))
        return decline(u"类别文件夹"_s + categoryFolder + u"不存在"_s);
    if (package.files.isEmpty())
        return decline(u"它不含任何文件"_s);

    // Where each file will really be written: every folder on the way found in any letter case, and
    // after links still inside the category folder.
    const QString categoryReal = realPath(categoryFolder);
    // Held from here on, so that a folder swapped for a link later cannot lead a copy out of the library.
    const HeldFolder category = HeldFolder::open(categoryReal);
    QStringList folders;
    QStringList below; // each folder below the category folder as it really is; "" for the folder itself
    QHash<QString, HeldFolder> held; // by below
    QStringList leaves;
    for (const QString &name : package.files) {
        const QStringList parts = name.split(u'/');
        QString folder = categoryFolder + u'/';
        bool reached = true;
        for (int p = 0; reached && p + 1 < parts.size(); ++p) {
            const QString next = m_files.resolveName(folder + parts[p]);
            reached = m_files.folderExists(next);
            if (reached)
                folder = next + u'/';
        }
        // Checked as far as the folders go, so a link is refused before a missing folder is reported.
        const QString folderReal = realPath(folder);
        if (!inside(folderReal, categoryReal))
            return refuse(u"文件名"_s + quoted(name) + u"经过链接指向特效类别文件夹之外"_s);
        folders << (reached ? folder : QString());
        below << relativeTo(folderReal, categoryReal);
        if (reached && !held.contains(below.last()))
            held.insert(below.last(), category.below(below.last()));
        leaves << parts.last();
    }

    // A file named twice, in any letter case or through any folder, could be copied only once.
    QHash<QString, int> named;
    for (int i = 0; i < package.files.size(); ++i) {
        if (folders[i].isNull() || leaves[i].isEmpty())
            continue;
        const QString target = realPath(folders[i]) + u'/' + leaves[i].toCaseFolded();
        if (const auto first = named.constFind(target); first != named.constEnd())
            return decline(u"ftname"_s + QString::number(*first + 1) + quoted(shown(package.files[*first]))
                + u"和ftname"_s + QString::number(i + 1) + quoted(shown(package.files[i]))
                + u"指同一个文件，一个文件只能列出一次"_s);
        named.insert(target, i);
    }

    for (const QString &name : package.files)
        if (name.isEmpty() || !m_files.fileExists(package.folder + name)) {
            plan.verdict = Plan::Verdict::Incomplete;
            return plan;
        }
    const QString packageReal = realPath(package.folder);
    const HeldFolder packageFolder = HeldFolder::open(packageReal);
    QList<HeldFile> sources;
    for (const QString &name : package.files) {
        const QString source = realPath(package.folder + name);
        const QString leadsOut = u"文件"_s + quoted(name) + u"经过链接指向升级文件所在文件夹之外"_s;
        if (!inside(source, packageReal))
            return refuse(leadsOut);
        // Opened once, without links on its way, and copied from: a name swapped for a link after this
        // check leads nowhere.
        const FileStamp checked = m_files.stamp(source);
        const HeldFile file = HeldFile::open(packageFolder, relativeTo(source, packageReal));
        if (!file.isOpen() && file.error() != ELOOP && file.error() != ENOTDIR && file.error() != EINVAL)
            throw VellumoError::cannotOpen(package.folder + name);
        if (!file.isOpen() || file.device() != checked.device || file.inode() != checked.inode)
            return refuse(leadsOut);
        sources << file;
    }
    for (int i = 0; i < package.files.size(); ++i)
        if (folders[i].isNull())
            return decline(u"文件"_s + quoted(package.files[i]) + u"所在的子文件夹在特效类别文件夹中不存在"_s);

    // The definition file a setup window will read must name files of its own folder only: each of
    // the package's files that lands in the category folder under the effect's name, by the bytes that
    // are then copied, and one already there.
    const bool hasDefinition = package.kind != u"1"_s;
    QStringList conflicts;
    for (int i = 0; i < package.files.size(); ++i) {
        std::optional<QByteArray> definition;
        if (hasDefinition && below[i].isEmpty() && leaves[i].compare(package.name, Qt::CaseInsensitive) == 0) {
            definition = sources[i].readAll();
            if (!definition)
                throw VellumoError::cannotOpen(package.folder + package.files[i]);
            if (const QString reason = namedFileOutside(*definition); !reason.isEmpty())
                return refuse(reason);
        }
        const QString existing = m_files.resolveName(folders[i] + leaves[i]);
        if (isTaken(m_files, folders[i], existing.mid(existing.lastIndexOf(u'/') + 1))) {
            if (!m_files.fileExists(existing) || m_files.readAll(existing) != sources[i].readAll())
                conflicts << package.files[i];
            continue;
        }
        plan.copies.append({ sources[i], held.value(below[i]), leaves[i], folders[i] + leaves[i], definition });
    }
    if (hasDefinition)
        if (const QString reason = definitionFileOutside(m_files, category, package.name); !reason.isEmpty())
            return refuse(reason);

    // The category's counter must take one more entry.
    IniFile index(m_files, EffectIndex(m_files, m_applicationFolder).path());
    const int total = CountedSection(index, plan.category, u"L"_s).total();
    if (total < 0)
        return decline(u"LINK2.INI中类别"_s + quoted(plan.category) + u"的TOTAL是负数"_s);

    const EffectIndex effects(m_files, m_applicationFolder);
    for (const QString &effect : effects.effects(plan.category).value_or(QStringList())) {
        if (effect.compare(package.name, Qt::CaseInsensitive) != 0)
            continue;
        const QString kind = effects.kind(plan.category, effect);
        if (kind == package.kind && plan.copies.isEmpty() && conflicts.isEmpty()) {
            plan.verdict = Plan::Verdict::AlreadyInstalled;
            return plan;
        }
        return decline(u"类别"_s + quoted(plan.category) + u"中已有特效"_s + quoted(effect) + u"（种类"_s + kind
            + u"），它不会被改动"_s);
    }
    // Category and name joined may be the key of another category's effect.
    const QString owner = effects.kind(plan.category, package.name);
    if (!owner.isEmpty() && owner != package.kind)
        return decline(u"LINK2.INI的[system]中"_s + quoted(plan.category + package.name) + u"已是另一个特效的种类"_s
            + quoted(owner) + u"，它不会被改动"_s);
    if (!conflicts.isEmpty())
        return decline(u"特效类别文件夹中已有另一个文件"_s + quoted(conflicts.first()));
    plan.verdict = Plan::Verdict::Install;
    return plan;
}

PackageInstaller::Outcome PackageInstaller::installAll(const QStringList &packages)
{
    Outcome outcome;
    installAll(packages, outcome);
    return outcome;
}

void PackageInstaller::installAll(const QStringList &packages, Outcome &outcome)
{
    outcome = Outcome();
    // Judged and written under one lock, so no other instance changes the index in between.
    const FolderLock lock(m_applicationFolder);
    for (const QString &path : packages) {
        const Package package = read(path);
        const Plan plan = this->plan(package);
        switch (plan.verdict) {
        case Plan::Verdict::Refused:
            outcome.end = End::Refused;
            outcome.refusal = plan.refusal;
            return;
        case Plan::Verdict::Incomplete:
            outcome.end = End::Incomplete;
            return;
        case Plan::Verdict::AlreadyInstalled:
            outcome.alreadyInstalled << path;
            if (outcome.installed.isEmpty())
                outcome.end = End::AlreadyInstalled;
            continue;
        case Plan::Verdict::Install:
            break;
        }
        if (m_afterJudging)
            m_afterJudging(package);
        QList<Plan::Copy> made;
        try {
            for (const Plan::Copy &copy : plan.copies) {
                const bool copied = copy.bytes ? m_files.createHeld(copy.folder, copy.name, *copy.bytes)
                                               : m_files.copyHeld(copy.source, copy.folder, copy.name);
                if (!copied)
                    throw VellumoError::cannotCreate(copy.target);
                made << copy;
            }
            EffectIndex(m_files, m_applicationFolder).append(plan.category, package.name, package.kind);
        } catch (const VellumoError &) {
            for (const Plan::Copy &copy : made)
                m_files.removeHeld(copy.folder, copy.name);
            throw;
        }
        outcome.end = End::Installed;
        outcome.lastName = package.name;
        outcome.lastCategory = plan.category;
        outcome.installed << plan.category + u'/' + package.name;
    }
}
