#pragma once

#include "shell.h"

// Opens documents and addresses with the desktop's own programs.
class QtShell : public Shell
{
public:
    void open(const QString &documentOrAddress) override;
};
