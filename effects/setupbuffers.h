#pragma once

#include <QString>

// The three text buffers the setup windows fill, owned by the main window for the program run. Text
// is kept exactly as given, CR LF included.
struct SetupBuffers
{
    // What has been assembled for the clipboard.
    QString snippets;
    // What the rows of a menu or text effect have built.
    QString rows;
    // Text pieces; it starts with its own name until a setup window first empties it.
    QString pieces = QStringLiteral("RichEdit2");

    void empty()
    {
        snippets.clear();
        rows.clear();
        pieces.clear();
    }
};
