#pragma once

#include <QString>

class QLabel;
struct Platform;

// What the options window takes from the main window: the application folder and the two pictures
// a skin replaces.
struct OptionsContext
{
    Platform &platform;
    QString applicationFolder;
    QLabel *mainImage; // MAINIMG
    QLabel *statusImage; // IMG
};
