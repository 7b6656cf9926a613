#pragma once

#include "shell.h"

#include <QObject>

// Opens documents and addresses with the desktop's own programs, through xdg-open where there is one
// (its exit status tells whether a program took the request), otherwise through Qt's desktop services.
class QtShell : public Shell
{
public:
    void open(const QString &documentOrAddress, std::function<void()> failed) override;
    // Whether an opener started here has still to answer.
    bool waiting() const { return !m_openers.children().isEmpty(); }

private:
    // Parent of the openers still running. Ending one at exit leaves the program it started alone.
    QObject m_openers;
};
