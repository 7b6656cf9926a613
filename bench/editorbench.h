#pragma once

// What the editor benchmarks share: the main window on a scripted platform, the generated page and
// vim run on the same file.
#include "app/mainwindow.h"
#include "editor/findreplace.h"
#include "editor/scintillasearchtarget.h"
#include "platform/ansi.h"
#include "platform/localfilesystem.h"
#include "platform/platform.h"
#include "support/controls.h"
#include "support/memoryclipboard.h"
#include "support/recordingshell.h"
#include "support/scripteddialogs.h"

#include <Qsci/qsciscintilla.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace EditorBench {
// Keystrokes or steps a figure is measured over; VELLUMO_BENCH_STEPS sets fewer for a quick look.
inline int steps()
{
    const int set = qEnvironmentVariableIntValue("VELLUMO_BENCH_STEPS");
    return set > 0 ? set : 200;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double percentile95(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * 95 / 100)];
}

// Milliseconds for vim to start on the file, run the commands and quit; -1 when it did not finish.
inline double runVim(const QStringList &commands, const QString &file)
{
    QStringList args { QStringLiteral("-u"), QStringLiteral("NONE"), QStringLiteral("-i"), QStringLiteral("NONE"),
        QStringLiteral("-N"), QStringLiteral("-es") };
    for (const QString &command : commands)
        args << QStringLiteral("-c") << command;
    args << file;
    QElapsedTimer timer;
    timer.start();
    QProcess vim;
    vim.start(QStringLiteral("vim"), args);
    if (!vim.waitForFinished(600000))
        return -1;
    return timer.nsecsElapsed() / 1e6;
}

// Milliseconds vim itself takes for the command after the ones before it, timed by its own clock so
// that its start and its reading of the file do not count; -1 when it did not tell.
inline double vimTimes(const QStringList &before, const QString &timed, const QString &file)
{
    const QString out = file + QStringLiteral(".vimtime");
    QStringList commands = before;
    commands << QStringLiteral("let g:t = reltime()") << timed
             << QStringLiteral("call writefile([string(reltimefloat(reltime(g:t)))], '%1')").arg(out)
             << QStringLiteral("q!");
    QFile::remove(out);
    if (runVim(commands, file) < 0)
        return -1;
    QFile told(out);
    if (!told.open(QIODevice::ReadOnly))
        return -1;
    return told.readAll().trimmed().toDouble() * 1000;
}

// One line of the generated pages, in the system's ANSI text.
inline QByteArray pageLine()
{
    return Ansi::encode(QStringLiteral("<p class=\"demo\">网页特效示例文字 effect 演示内容</p>\r\n"));
}

// A page of about the size, made of the line; the needle, when given, replaces the line that starts
// at neededAt bytes.
inline qint64 writePage(const QString &path, qint64 size, const QByteArray &needle = {}, qint64 neededAt = 0)
{
    const QByteArray line = pageLine();
    const qint64 lines = size / line.size();
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray block;
    const qint64 perBlock = qMin<qint64>(1000, lines);
    for (qint64 i = 0; i < perBlock; ++i)
        block += line;
    qint64 written = 0;
    for (qint64 i = 0; i < lines / perBlock; ++i) {
        if (!needle.isEmpty() && written <= neededAt && neededAt < written + block.size()) {
            QByteArray marked = block;
            const qint64 at = (neededAt - written) / line.size() * line.size();
            marked.replace(at, needle.size(), needle);
            file.write(marked);
        } else {
            file.write(block);
        }
        written += block.size();
    }
    return written;
}

struct Editor
{
    ScriptedDialogs dialogs { [](const QString &what) {
        std::fprintf(stderr, "editor bench: %s\n", qPrintable(what));
    } };
    RecordingShell shell;
    MemoryClipboard clipboard;
    LocalFileSystem files;
    Platform platform { dialogs, shell, clipboard, files };
    MainWindow window;
    QsciScintilla *page;

    explicit Editor(const QString &folder)
        : window(platform, folder, folder + QStringLiteral("/mainform"))
        , page(control<QsciScintilla>(window, QStringLiteral("RichEdit1")))
    {
        window.show();
    }

    // Milliseconds to open the page and show it.
    double open(const QString &path)
    {
        dialogs.expect(ScriptedDialogs::Kind::OpenFile, path);
        QElapsedTimer timer;
        timer.start();
        window.openPage();
        page->repaint();
        QCoreApplication::processEvents();
        return timer.nsecsElapsed() / 1e6;
    }

    // Replace All of every "effect" with "EFFECT!"; the case matters, as in vim's :s. The number made.
    int replaceAllEffect()
    {
        ScintillaSearchTarget target(page);
        SearchState state;
        state.replace.findText = QStringLiteral("effect");
        state.replace.replaceText = QStringLiteral("EFFECT!");
        state.replace.options.matchCase = true;
        FindReplace search(target, dialogs, state);
        dialogs.expect(ScriptedDialogs::Kind::Notice);
        return search.replaceAll();
    }
};
}
