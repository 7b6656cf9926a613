#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// A lock file held for as long as its holder runs: the system lets it go when the process ends,
// however it ends (a kill, a crash, a power cut), so another process tells a live holder from a gone one.
class ProcessLock
{
public:
    // The lock, made when missing; nothing when a live holder has it or the file cannot be made.
    static std::unique_ptr<ProcessLock> take(const QString &path);
    // True while some holder, this process included, has the lock.
    static bool isHeld(const QString &path);
    // Lets the lock go and removes its file.
    ~ProcessLock();

    ProcessLock(const ProcessLock &) = delete;
    ProcessLock &operator=(const ProcessLock &) = delete;

private:
    ProcessLock(int descriptor, QByteArray path);
    int m_descriptor;
    QByteArray m_path;
};
