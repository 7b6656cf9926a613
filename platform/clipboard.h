#pragma once

#include <QString>

// The system clipboard, plain text only.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString &text) = 0;
    virtual QString text() const = 0;
};
