#include "definitionfile.h"

#include "library/ininumber.h"
#include "library/librarynames.h"
#include "platform/filesystem.h"

using namespace Qt::StringLiterals;

DefinitionFile::DefinitionFile(
    FileSystem &files, const QString &applicationFolder, const QString &category, const QString &effect)
    : m_files(files)
    , m_categoryFolder(applicationFolder + category + u'/')
    , m_ini(files, m_categoryFolder + effect)
{
}

bool DefinitionFile::exists() const
{
    // The name may have been resolved before the file appeared under another spelling.
    return m_files.fileExists(m_ini.path()) || m_files.fileExists(m_files.resolveName(m_ini.path()));
}

QString DefinitionFile::file(const QString &key) const
{
    return m_ini.readString(u"file"_s, key);
}

QString DefinitionFile::steps(const QString &key) const
{
    return m_ini.readString(u"abcd"_s, key);
}

QString DefinitionFile::rows(const QString &key) const
{
    return m_ini.readString(u"list"_s, key);
}

QString DefinitionFile::countText(const QString &key) const
{
    const QString value = file(key);
    return value.isEmpty() ? u"0"_s : value;
}

QString DefinitionFile::wrapped(const QString &top, const QString &bottom, const QString &value) const
{
    return file(top) + value + file(bottom);
}

int DefinitionFile::number(const QString &text)
{
    return IniNumber::toInt(text);
}

int DefinitionFile::walkedCount(const QString &section, const QString &prefix, int count) const
{
    if (count <= MaxWalkedBeyondKeys)
        return count;
    return qMin(count, m_ini.reachedNumberedKey(section, prefix));
}

QString DefinitionFile::piecePath(int j) const
{
    const QString name = file(EffectTokens::PieceStem + QString::number(j));
    return LibraryNames::staysInFolder(name) ? m_categoryFolder + name : QString();
}

QString DefinitionFile::missingMessage()
{
    return u"该文件不存在，是否你非法对文件进行删除或编辑？要运行该特效，请重新安装本产品"_s;
}
