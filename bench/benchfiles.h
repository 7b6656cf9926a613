#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include "library/inidocument.h"

#include <ctime>

#include <utime.h>

// Inputs the benchmarks generate: written once, then dated an hour back so that they count as
// unchanged files (a file changed a moment ago is compared byte for byte at every access).
namespace BenchFiles {
inline void writeUnchanged(const QString &path, const QByteArray &bytes)
{
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    const QByteArray name = QFile::encodeName(path);
    const time_t hourAgo = time(nullptr) - 3600;
    utimbuf times { hourAgo, hourAgo };
    utime(name.constData(), &times);
}

// Reads and parses the file once, as the access service does when it has nothing cached; returns the
// nanoseconds that took and the parsed file.
inline double timedParse(const QString &path, IniDocument *parsed)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    *parsed = IniDocument(file.readAll());
    return double(timer.nsecsElapsed());
}
}
