#pragma once

#include "effects/snippetsink.h"
#include "library/linebreaks.h"

#include <QStringList>

// A snippet buffer for tests: the text so far, and the clipboard text after every addition.
struct RecordingSink : SnippetSink
{
    QString text;
    QStringList clipboards;

    void appendLine(const QString &line) override
    {
        text += line + QStringLiteral("\r\n");
        clipboards.append(text);
    }
    void appendRaw(const QString &raw) override
    {
        text += LineBreaks::toCrLf(raw);
        clipboards.append(text);
    }
};
