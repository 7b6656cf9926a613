#pragma once

#include "library/settingswitch.h"

#include <QString>

class FileSystem;

// Whether the user shows the effect previews, in the effect panel and in the setup windows;
// remembered in the placement file, so a preview hidden once stays hidden.
class EffectPreviews
{
public:
    enum class Place { Panel, SetupWindows };

    EffectPreviews(FileSystem &files, QString settingsFile);

    bool shown(Place place) const;
    // Failures are not reported: a preference that does not stick must never stop the work.
    void setShown(Place place, bool shown);

private:
    SettingSwitch switchOf(Place place) const;

    FileSystem &m_files;
    QString m_settingsFile;
};
