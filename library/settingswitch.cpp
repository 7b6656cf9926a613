#include "settingswitch.h"

#include "inifile.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

SettingSwitch::SettingSwitch(FileSystem &files, QString settingsFile, QString section, QString key, bool byDefault)
    : m_files(files)
    , m_settingsFile(std::move(settingsFile))
    , m_section(std::move(section))
    , m_key(std::move(key))
    , m_byDefault(byDefault)
{
}

bool SettingSwitch::isOn() const
{
    // Anything but the other value, a missing key included, is the default.
    const QString value = IniFile(m_files, m_settingsFile).readString(m_section, m_key);
    return m_byDefault ? value != u"0"_s : value == u"1"_s;
}

void SettingSwitch::set(bool on)
{
    try {
        m_files.makeFolder(QFileInfo(m_settingsFile).absolutePath());
        IniFile(m_files, m_settingsFile).writeString(m_section, m_key, on ? u"1"_s : u"0"_s);
    } catch (const VellumoError &) {
    }
}
