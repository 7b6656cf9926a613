#include "commandline.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

using namespace Qt::StringLiterals;

CommandLine CommandLine::parse(const QStringList &arguments, bool qtOptionsTaken)
{
    CommandLine line;
    bool optionsEnded = false;
    for (const QString &word : arguments) {
        if (!optionsEnded && word.startsWith(u'-') && word != u"-"_s) {
            if (word == u"--"_s) {
                optionsEnded = true;
            } else if (word == u"--help"_s || word == u"-h"_s) {
                return { Action::Help, {}, {} };
            } else if (word == u"--version"_s || word == u"-v"_s) {
                return { Action::Version, {}, {} };
            } else if (word.startsWith(u"--"_s) || qtOptionsTaken) {
                return { Action::Wrong, {}, word };
            }
            continue;
        }
        // A file manager may hand a page as a file address.
        const QString path = word.startsWith(u"file:"_s) ? QUrl(word).toLocalFile() : word;
        if (!path.isEmpty())
            line.pages << QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    }
    return line;
}

QString CommandLine::usage()
{
    return u"用法：vellumo [选项] [网页文件...]\n"
           "Usage: vellumo [OPTION] [PAGE...]\n"
           "\n"
           "打开每个网页文件（.htm、.html），每个网页一个窗口；不给网页时打开新网页。\n"
           "Opens each page in a window of its own; without a page, a new page.\n"
           "\n"
           "  -h, --help     显示本说明后退出 (show this help and exit)\n"
           "  -v, --version  显示版本后退出 (show the version and exit)\n"
           "  --             其后的参数都是网页文件 (what follows are pages)\n"_s;
}

QString CommandLine::version()
{
    return u"Vellumo "_s + QString::fromLatin1(VELLUMO_VERSION);
}

int CommandLine::answer(const CommandLine &line)
{
    switch (line.action) {
    case Action::Help:
        std::fputs(usage().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::Version:
        std::fputs((version() + u'\n').toLocal8Bit().constData(), stdout);
        return 0;
    case Action::Wrong:
        std::fputs(
            (u"vellumo：未知的选项 %1 (unknown option)\n\n"_s.arg(line.wrong) + usage()).toLocal8Bit().constData(),
            stderr);
        return 2;
    case Action::Run:
        break;
    }
    return 0;
}
