#pragma once

#include "library/linebreaks.h"
#include "snippetsink.h"

// A sink that only collects, with the same line breaks as the buffers: what a preview assembles
// never reaches the buffers or the clipboard.
class TextSink : public SnippetSink
{
public:
    explicit TextSink(QString start = {})
        : text(std::move(start))
    {
    }

    void appendLine(const QString &line) override { text += line + QStringLiteral("\r\n"); }
    void appendRaw(const QString &raw) override { text += LineBreaks::toCrLf(raw); }

    QString text;
};
