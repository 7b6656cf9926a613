#pragma once

#include "snippetsink.h"

#include <QString>

class Clipboard;

// A setup buffer as a sink. For the snippet buffer each addition goes to the buffer and the
// buffer's whole text to the clipboard at once, so an error part-way leaves what was added on the
// clipboard; the row buffer only collects.
class BufferSink : public SnippetSink
{
public:
    BufferSink(QString &buffer, Clipboard &clipboard)
        : m_buffer(buffer)
        , m_clipboard(&clipboard)
    {
    }
    explicit BufferSink(QString &buffer)
        : m_buffer(buffer)
    {
    }

    void appendLine(const QString &text) override;
    void appendRaw(const QString &text) override;

private:
    void publish();

    QString &m_buffer;
    Clipboard *m_clipboard = nullptr;
};
