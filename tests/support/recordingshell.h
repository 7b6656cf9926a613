#pragma once

#include "platform/shell.h"

#include <QStringList>

// Shell for tests: remembers what it was asked to open.
class RecordingShell : public Shell
{
public:
    void open(const QString &documentOrAddress) override { opened.append(documentOrAddress); }
    QStringList opened;
};
