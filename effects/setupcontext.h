#pragma once

#include <QString>

class EffectPreviews;
class TextBufferEdit;
struct Platform;

// What a setup window takes from the main window: the effect being set up and the hidden buffers.
struct SetupContext
{
    Platform &platform;
    QString applicationFolder;
    QString category;
    QString effect;
    TextBufferEdit *snippets; // Memo2
    TextBufferEdit *rows; // Memo1
    TextBufferEdit *pieces; // RichEdit2
    // Whether the next menu window needs a parent menu before its first submenu: one value for the
    // program run, kept by the main window. Without it a menu window keeps its own.
    bool *parentMenuNeeded = nullptr;
    // Whether the window shows a live preview of the effect; a window without it has none.
    EffectPreviews *previews = nullptr;

    void emptyBuffers() const;
};
