#pragma once

#include <QString>

// Where assembled code goes: the snippet buffer, whose whole text reaches the clipboard after
// every addition.
class SnippetSink
{
public:
    virtual ~SnippetSink() = default;
    // The text followed by CR LF.
    virtual void appendLine(const QString &text) = 0;
    // The text as it is, its line breaks as CR LF.
    virtual void appendRaw(const QString &text) = 0;
};
