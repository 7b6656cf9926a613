#pragma once

#include <QString>

struct Platform;

// What the options window takes from the main window: the application folder.
struct OptionsContext
{
    Platform &platform;
    QString applicationFolder;
};
