#include "packagemaker.h"

#include "library/effectindex.h"
#include "library/effectkind.h"
#include "library/inidocument.h"
#include "library/inifile.h"
#include "library/ininumber.h"
#include "library/librarynames.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

PackageMaker::PackageMaker(FileSystem &files, const QString &applicationFolder)
    : m_files(files)
    , m_applicationFolder(applicationFolder)
{
}

QStringList PackageMaker::effectFiles(const QString &category, const QString &effect, QStringList *problems) const
{
    for (const QString &name : { category, effect })
        if (!LibraryNames::namesOneEntry(name)) {
            problems->append(u"%1/%2: %3 is no name of one folder entry"_s.arg(category, effect, name));
            return {};
        }
    const QString kind = EffectIndex(m_files, m_applicationFolder).kind(category, effect);
    const QString folder = m_files.resolveName(m_applicationFolder + category) + u'/';
    QStringList names;
    switch (EffectKinds::fromText(kind)) {
    case EffectKind::SimpleCopy:
        names << QFileInfo(m_files.resolveName(folder + effect + u".txt"_s)).fileName();
        break;
    case EffectKind::Image:
    case EffectKind::Menu:
    case EffectKind::Text: {
        const QString definition = m_files.resolveName(folder + effect);
        names << QFileInfo(definition).fileName();
        const IniFile file(m_files, definition);
        const auto numbered = [&](const QString &countKey, const QString &stem) {
            const QString text = file.readString(u"file"_s, countKey);
            int count = 0;
            try {
                count = text.isEmpty() ? 0 : IniNumber::toInt(text);
            } catch (const VellumoError &) {
                // A menu without pictures gives "x": it names no picture files.
            }
            for (int k = 1; k <= qMin(count, file.reachedNumberedKey(u"file"_s, stem)); ++k) {
                const QString name = file.readString(u"file"_s, stem + QString::number(k));
                if (!name.isEmpty() && name != u"0"_s)
                    names << name;
            }
        };
        numbered(u"imgfilet"_s, u"imgfilename"_s);
        numbered(u"txtfilet"_s, u"txtfilename"_s);
        numbered(u"ft"_s, u"fno"_s);
        break;
    }
    default:
        problems->append(u"%1/%2: kind '%3' cannot be packed"_s.arg(category, effect, kind));
        return {};
    }
    names.removeDuplicates();
    for (const QString &name : names)
        if (!LibraryNames::staysInFolder(name))
            problems->append(u"%1/%2: %3 leads out of the category folder"_s.arg(category, effect, name));
    if (!problems->isEmpty())
        return {};
    for (const QString &name : names)
        if (!m_files.fileExists(m_files.resolveName(folder + name)))
            problems->append(u"%1/%2: %3 is missing"_s.arg(category, effect, name));
    return names;
}

QStringList PackageMaker::make(const QString &category, const QString &effect, const QString &packagePath)
{
    QStringList problems;
    const QStringList names = effectFiles(category, effect, &problems);
    if (!problems.isEmpty())
        return problems;
    const QString folder = m_files.resolveName(m_applicationFolder + category) + u'/';
    QString packageFolder = QFileInfo(packagePath).absolutePath();
    if (!packageFolder.endsWith(u'/'))
        packageFolder += u'/';
    // The files copied for this package go again when the package cannot be finished.
    QStringList copied;
    const auto withdraw = [&] {
        for (const QString &target : copied)
            m_files.remove(target);
        return problems;
    };
    for (const QString &name : names) {
        const QString source = m_files.resolveName(folder + name);
        const QString target = packageFolder + name;
        if (m_files.fileExists(target)) {
            if (m_files.readAll(target) != m_files.readAll(source))
                problems << target + u" already exists with other content"_s;
            continue;
        }
        if (m_files.copyWithoutOverwrite(source, target))
            copied << target;
        else
            problems << u"cannot copy "_s + source + u" to "_s + target;
    }
    if (!problems.isEmpty())
        return withdraw();
    IniDocument package;
    package.write(u"files"_s, u"name"_s, effect);
    package.write(u"files"_s, u"flistno"_s, EffectIndex(m_files, m_applicationFolder).kind(category, effect));
    package.write(u"files"_s, u"flist"_s, category);
    package.write(u"files"_s, u"ft"_s, QString::number(names.size()));
    for (int i = 0; i < names.size(); ++i)
        package.write(u"files"_s, u"ftname"_s + QString::number(i + 1), names[i]);
    if (!m_files.writeAtomically(packagePath, package.fileBytes())) {
        problems << VellumoError::unableToWrite(packagePath).message();
        return withdraw();
    }
    return problems;
}
