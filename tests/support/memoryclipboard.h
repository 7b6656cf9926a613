#pragma once

#include "platform/clipboard.h"

// Clipboard for tests: holds the text in memory.
class MemoryClipboard : public Clipboard
{
public:
    void setText(const QString &text) override
    {
        m_text = text;
        ++setCount;
    }
    QString text() const override { return m_text; }
    int setCount = 0;

private:
    QString m_text;
};
