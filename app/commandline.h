#pragma once

#include <QString>
#include <QStringList>

// What the program was started with: the pages to open, or a request for the usage or the version.
// Words of one dash belong to Qt (-platform, -style) until Qt has taken its own; "--" ends the options.
struct CommandLine
{
    enum class Action { Run, Help, Version, Wrong };
    Action action = Action::Run;
    // Absolute paths, in the order given.
    QStringList pages;
    // The option that is not known, for Wrong.
    QString wrong;

    // arguments without the program's name. qtOptionsTaken: Qt has removed its own options, so every
    // word starting with a dash left over is one this program must know.
    static CommandLine parse(const QStringList &arguments, bool qtOptionsTaken);
    static QString usage();
    static QString version();
    // Help and Version print to stdout, Wrong prints the option and the usage to stderr; the status
    // the program ends with.
    static int answer(const CommandLine &line);
};
