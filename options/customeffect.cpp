#include "customeffect.h"

#include "library/effectindex.h"
#include "library/librarynames.h"
#include "library/linebreaks.h"
#include "platform/ansi.h"
#include "platform/filesystem.h"
#include "platform/folderlock.h"
#include "platform/vellumoerror.h"

using namespace Qt::StringLiterals;

CustomEffect::CustomEffect(FileSystem &files, const QString &applicationFolder)
    : m_files(files)
    , m_applicationFolder(applicationFolder)
{
}

QString CustomEffect::category()
{
    return u"简单复制"_s;
}

QString CustomEffect::sameNameMessage()
{
    return u"与原有特效同名，这样将会使原来特效毁坏，请另选择名称!"_s;
}

QString CustomEffect::unusableNameMessage()
{
    return u"特效名称不能含有“/”、“\\”、“=”、“[”、“]”或换行，首尾不能有空白，也不能是“.”或“..”，请另选择名称!"_s;
}

QString CustomEffect::filePath(const QString &name) const
{
    return m_applicationFolder + category() + u'/' + name + u".txt"_s;
}

bool CustomEffect::usableName(const QString &name)
{
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(QChar(0)) || name == u"."_s || name == u".."_s)
        return false;
    // The name becomes an index key and value; one that would read back otherwise breaks the index.
    // An empty name makes the effect ".txt", which the index holds well.
    return name.isEmpty() || LibraryNames::indexProblem(name).isEmpty();
}

CustomEffect::Result CustomEffect::define(const QString &name, const QString &text)
{
    if (!usableName(name))
        return Result::UnusableName;
    const QString path = filePath(name);
    const FolderLock lock(m_applicationFolder);
    if (m_files.fileExists(m_files.resolveName(path)))
        return Result::SameName;
    if (!m_files.writeAtomically(path, Ansi::encode(LineBreaks::toCrLf(text))))
        throw VellumoError::cannotCreate(path);
    EffectIndex(m_files, m_applicationFolder).append(category(), name, u"1"_s);
    return Result::Defined;
}
