#pragma once

#include <QString>

#include <functional>

// Hands a document path or an address to the system with the verb "open". When no program takes it
// (no browser, no mail program), failed runs, possibly later, on the user-interface thread.
class Shell
{
public:
    virtual ~Shell() = default;
    virtual void open(const QString &documentOrAddress, std::function<void()> failed) = 0;
};
