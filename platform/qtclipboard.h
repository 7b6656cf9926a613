#pragma once

#include "clipboard.h"

// The desktop clipboard.
class QtClipboard : public Clipboard
{
public:
    void setText(const QString &text) override;
    QString text() const override;
};
