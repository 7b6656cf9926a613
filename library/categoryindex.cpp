#include "categoryindex.h"

#include "countedsection.h"
#include "inifile.h"
#include "platform/filesystem.h"

using namespace Qt::StringLiterals;

CategoryIndex::CategoryIndex(FileSystem &files, const QString &applicationFolder)
    : m_files(files)
    , m_path(applicationFolder + fileName())
{
}

QString CategoryIndex::fileName()
{
    return u"LINK1.INI"_s;
}

QStringList CategoryIndex::categories() const
{
    IniFile file(m_files, m_path);
    if (!m_files.fileExists(file.path()))
        return {};
    CountedSection section(file, u"COMBOX"_s, u"L"_s);
    return section.entries(1, section.total());
}
