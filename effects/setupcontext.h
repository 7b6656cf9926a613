#pragma once

#include "setupbuffers.h"

#include <QString>

class EffectPreviews;
struct Platform;

// What a setup window takes from the main window: the effect being set up and the buffers it fills.
struct SetupContext
{
    Platform &platform;
    QString applicationFolder;
    QString category;
    QString effect;
    SetupBuffers &buffers;
    // Whether the next menu window needs a parent menu before its first submenu: one value for the
    // program run, kept by the main window. Without it a menu window keeps its own.
    bool *parentMenuNeeded = nullptr;
    // Whether the window shows a live preview of the effect; a window without it has none.
    EffectPreviews *previews = nullptr;

    void emptyBuffers() const { buffers.empty(); }
};
