#include "effectpreviews.h"

#include "library/inifile.h"
#include "platform/vellumoerror.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
const QString Section = u"preview"_s;

QString keyOf(EffectPreviews::Place place)
{
    return place == EffectPreviews::Place::Panel ? u"panel"_s : u"windows"_s;
}
}

EffectPreviews::EffectPreviews(FileSystem &files, QString settingsFile)
    : m_files(files)
    , m_settingsFile(std::move(settingsFile))
{
}

bool EffectPreviews::shown(Place place) const
{
    return IniFile(m_files, m_settingsFile).readString(Section, keyOf(place)) != u"0"_s;
}

void EffectPreviews::setShown(Place place, bool shown)
{
    try {
        QDir().mkpath(QFileInfo(m_settingsFile).absolutePath());
        IniFile(m_files, m_settingsFile).writeString(Section, keyOf(place), shown ? u"1"_s : u"0"_s);
    } catch (const VellumoError &) {
    }
}
