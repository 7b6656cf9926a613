#pragma once

#include <QString>

// Hands a document path or an address to the system with the verb "open"; the result is not looked at.
class Shell
{
public:
    virtual ~Shell() = default;
    virtual void open(const QString &documentOrAddress) = 0;
};
