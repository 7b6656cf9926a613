#include "effectpreviews.h"

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

SettingSwitch EffectPreviews::switchOf(Place place) const
{
    return SettingSwitch(m_files, m_settingsFile, Section, keyOf(place), true);
}

bool EffectPreviews::shown(Place place) const
{
    return switchOf(place).isOn();
}

void EffectPreviews::setShown(Place place, bool shown)
{
    switchOf(place).set(shown);
}
