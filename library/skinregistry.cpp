#include "skinregistry.h"

#include "library/countedsection.h"
#include "library/inifile.h"
#include "library/ininumber.h"
#include "platform/folderlock.h"
#include "platform/vellumoerror.h"

using namespace Qt::StringLiterals;

namespace {
QString section(int n)
{
    return u"S"_s + QString::number(n);
}
}

SkinRegistry::SkinRegistry(FileSystem &files, const QString &applicationFolder)
    : m_files(files)
    , m_folder(applicationFolder)
    , m_path(applicationFolder + u"SINKNAME"_s)
{
}

QStringList SkinRegistry::names() const
{
    IniFile file(m_files, m_path);
    const QString total = file.readString(u"S"_s, u"TOTAL"_s);
    if (total.isEmpty())
        return {};
    const int count = IniNumber::toInt(total);
    // A damaged counter far beyond the sections present lists only up to the last one there.
    QStringList names;
    const int sections
        = count > CountedSection::MaxEntriesBeyondKeys ? qMin(count, file.reachedNumberedSection(u"S"_s)) : count;
    for (int n = 1; n <= sections; ++n)
        names.append(file.readString(section(n), u"SNAME"_s));
    return names;
}

SkinRegistry::Skin SkinRegistry::skin(int n) const
{
    IniFile file(m_files, m_path);
    return { file.readString(section(n), u"SNAME"_s), file.readString(section(n), u"SPDIR"_s),
        file.readString(section(n), u"SLDIR"_s) };
}

int SkinRegistry::add(const Skin &skin)
{
    const FolderLock lock(m_folder);
    IniFile file(m_files, m_path);
    const QString total = file.readString(u"S"_s, u"TOTAL"_s);
    const int count = total.isEmpty() ? 0 : IniNumber::toInt(total);
    if (count == 2147483647)
        throw VellumoError::integerOverflow();
    const int n = count + 1;
    file.beginBatch();
    file.writeString(u"S"_s, u"TOTAL"_s, QString::number(n));
    file.writeString(section(n), u"SNAME"_s, skin.name);
    file.writeString(section(n), u"SPDIR"_s, skin.mainImage);
    file.writeString(section(n), u"SLDIR"_s, skin.statusImage);
    file.commit();
    return n;
}

QString SkinRegistry::description(const Skin &skin)
{
    return u"这个皮肤的名称是"_s + skin.name + u'\r' + u"主界面图像文件来自"_s + skin.mainImage + u'\r'
        + u"状态栏图像文件来自"_s + skin.statusImage;
}
