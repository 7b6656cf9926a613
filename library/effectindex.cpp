#include "effectindex.h"

#include "countedsection.h"
#include "inifile.h"
#include "platform/folderlock.h"

using namespace Qt::StringLiterals;

EffectIndex::EffectIndex(FileSystem &files, const QString &applicationFolder)
    : m_files(files)
    , m_folder(applicationFolder)
    , m_path(applicationFolder + u"LINK2.INI"_s)
    , m_writePath(applicationFolder + u"link2.ini"_s)
{
}

std::optional<QStringList> EffectIndex::effects(const QString &category) const
{
    IniFile file(m_files, m_path);
    CountedSection section(file, category, u"L"_s);
    const QString total = section.totalText();
    if (total.isEmpty() || total == u"0"_s)
        return std::nullopt;
    return section.entries(1, section.total());
}

QString EffectIndex::kind(const QString &category, const QString &effect) const
{
    return IniFile(m_files, m_path).readString(u"system"_s, category + effect);
}

void EffectIndex::append(const QString &category, const QString &effect, const QString &kind)
{
    const FolderLock lock(m_folder);
    IniFile file(m_files, m_writePath);
    file.beginBatch();
    CountedSection(file, category, u"L"_s).append(u"l"_s, effect);
    file.writeString(u"system"_s, category + effect, kind);
    file.commit();
}
