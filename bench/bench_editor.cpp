// The editor on a 36 MB GB18030 page against vim on the same file, in one run: open and show,
// Replace All, save, and the peak memory with the page open.
#include "editor/document.h"
#include "editor/findreplace.h"
#include "editor/scintillasearchtarget.h"
#include "editorbench.h"
#include "widgets/uistyle.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace EditorBench;

namespace {
long peakKilobytes()
{
    QFile status(u"/proc/self/status"_s);
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    UiStyle::install(app);
    QTemporaryDir dir;
    const QString page = dir.filePath(u"big.htm"_s);

    if (argc == 3 && qstrcmp(argv[1], "--memory") == 0) {
        // A process of its own, so that its peak is the open page's alone.
        Editor editor(dir.path());
        editor.open(QString::fromLocal8Bit(argv[2]));
        std::printf("%ld\n", peakKilobytes());
        return 0;
    }

    const int lines = int(writePage(page, 36LL << 20) / pageLine().size());
    const qint64 size = QFileInfo(page).size();

    std::vector<double> ourOpen, ourReplace, ourSave, vimOpen, vimReplace, vimSave;
    const int runs = qEnvironmentVariableIntValue("VELLUMO_BENCH_RUNS") > 0
        ? qEnvironmentVariableIntValue("VELLUMO_BENCH_RUNS")
        : 3;
    for (int run = 0; run < runs; ++run) {
        const double open = runVim({ u"q"_s }, page);
        vimOpen.push_back(open);
        vimSave.push_back(runVim({ u"w! "_s + dir.filePath(u"vim-out.htm"_s), u"q"_s }, page) - open);
        vimReplace.push_back(runVim({ u"%s/effect/EFFECT!/g"_s, u"q!"_s }, page) - open);

        Editor editor(dir.path());
        ourOpen.push_back(editor.open(page));
        QElapsedTimer timer;
        timer.start();
        const int replaced = editor.replaceAllEffect();
        QCoreApplication::processEvents();
        ourReplace.push_back(timer.nsecsElapsed() / 1e6);
        if (replaced != lines / 1000 * 1000)
            std::fprintf(stderr, "bench_editor: %d replacements, expected %d\n", replaced, lines / 1000 * 1000);
        editor.dialogs.expect(ScriptedDialogs::Kind::SaveFile, dir.filePath(u"ours-out-%1.htm"_s.arg(run)));
        timer.restart();
        editor.window.savePageAs();
        ourSave.push_back(timer.nsecsElapsed() / 1e6);
    }

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), { u"--memory"_s, page });
    child.waitForFinished(600000);
    const double peak = child.readAllStandardOutput().trimmed().toDouble() * 1024;

    std::printf("editor-open: ratio %.2f (target <= 0.6)\n", median(ourOpen) / median(vimOpen));
    std::printf("editor-replace-all: ratio %.2f (target <= 0.6)\n", median(ourReplace) / median(vimReplace));
    std::printf("editor-save: ratio %.2f (target <= 1.0)\n", median(ourSave) / median(vimSave));
    std::printf("editor-memory: ratio %.2f (target <= 2.2)\n", peak / double(size));
    std::printf("editor-open-ms: %.0f ms (vim %.0f ms)\n", median(ourOpen), median(vimOpen));
    std::printf("editor-replace-all-ms: %.0f ms (vim %.0f ms)\n", median(ourReplace), median(vimReplace));
    std::printf("editor-save-ms: %.0f ms (vim %.0f ms)\n", median(ourSave), median(vimSave));
    std::printf("editor-page-size: %.1f MB\n", size / 1048576.0);
    return 0;
}
