#pragma once

#include "platform/shell.h"

#include <QStringList>

// Shell for tests: remembers what it was asked to open; with fails set, no program takes anything.
class RecordingShell : public Shell
{
public:
    void open(const QString &documentOrAddress, std::function<void()> failed) override
    {
        opened.append(documentOrAddress);
        if (fails && failed)
            failed();
    }
    QStringList opened;
    bool fails = false;
};
