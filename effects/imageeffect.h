#pragma once

#include "setupflow.h"

#include <QStringList>

class DefinitionFile;
class FileSystem;
class SnippetSink;

// The image effect's own rules on top of the shared flow: one width and height pair per listed
// image, the checks before copying, and the image-name and image-tag lines.
class ImageEffect
{
public:
    ImageEffect(FileSystem &files, const DefinitionFile &definition);

    void open() { m_flow.open(state); }

    enum class SizeResult { Saturated, Zero, Set };
    SizeResult setSize(const QString &width, const QString &height);
    // N images listed, the size counter at N and M text files listed.
    bool readyToCopy() const;
    // Walks the step list: image-name and image-tag lines (suffix N as written in imgfilet), then
    // text pieces.
    void assemble(SnippetSink &sink) const;

    const SetupFlow &flow() const { return m_flow; }

    SetupState state;
    QStringList widths;
    QStringList heights;

    static QString sizesCompleteMessage();
    static QString zeroSizeMessage();
    static QString notReadyMessage();

private:
    void offer(const QString &token, SnippetSink &sink) const;

    const DefinitionFile &m_definition;
    SetupFlow m_flow;
};
