#include "searchsettings.h"

#include "library/settingswitch.h"

using namespace Qt::StringLiterals;

namespace {
const QString Section = u"search"_s;
const QString WrapKey = u"wrap"_s;
}

SearchSettings::SearchSettings(FileSystem &files, QString settingsFile)
    : m_files(files)
    , m_settingsFile(std::move(settingsFile))
{
}

bool SearchSettings::wrapAround() const
{
    return SettingSwitch(m_files, m_settingsFile, Section, WrapKey, false).isOn();
}

void SearchSettings::setWrapAround(bool wrap)
{
    SettingSwitch(m_files, m_settingsFile, Section, WrapKey, false).set(wrap);
}
