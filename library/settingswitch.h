#pragma once

#include <QString>

class FileSystem;

// An on/off choice of the user's (a preview shown, line numbers, wrap-around search), kept in the
// program's settings file as "1" or "0" under its section and key, so that it holds for the next run.
class SettingSwitch
{
public:
    SettingSwitch(FileSystem &files, QString settingsFile, QString section, QString key, bool byDefault);

    bool isOn() const;
    // Failures are not reported: a preference that does not stick must never stop the work.
    void set(bool on);

private:
    FileSystem &m_files;
    QString m_settingsFile;
    QString m_section;
    QString m_key;
    bool m_byDefault;
};
