// The editor on a page that is one line of 10 MB (a minified script with some Chinese, in GB18030)
// against vim on the same file, in one run: open and show, and save after a character typed and
// deleted again.
#include "benchfiles.h"
#include "editorbench.h"
#include "widgets/uistyle.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace EditorBench;

namespace {
// The page as a minifier leaves it: no line break anywhere.
QByteArray longLinePage(qint64 size)
{
    const QByteArray piece = Ansi::encode(u"var s=\"网页特效示例文字\";function f(a,b){return a+b*2;}"
                                          u"if(x<y){x++;}document.write(\"<p class=\\\"demo\\\">演示内容</p>\");"_s);
    QByteArray bytes = "<html><head><script>";
    bytes.reserve(size + piece.size());
    while (bytes.size() + piece.size() < size)
        bytes += piece;
    bytes += "</script></head></html>";
    return bytes;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    UiStyle::install(app);
    QTemporaryDir dir;
    const QString page = dir.filePath(u"long.htm"_s);
    const QByteArray bytes = longLinePage(10LL << 20);
    BenchFiles::writeUnchanged(page, bytes);

    std::vector<double> ourOpen, ourSave, vimOpen, vimSave;
    const int runs = qEnvironmentVariableIntValue("VELLUMO_BENCH_RUNS") > 0
        ? qEnvironmentVariableIntValue("VELLUMO_BENCH_RUNS")
        : 3;
    for (int run = 0; run < runs; ++run) {
        const double open = runVim({ u"q"_s }, page);
        vimOpen.push_back(open);
        // The write alone by vim's own clock: the difference of two runs of vim would be mostly noise.
        vimSave.push_back(vimTimes({}, u"w! "_s + dir.filePath(u"vim-out.htm"_s), page));

        // Our own copy, saved under its own name as Save does, after a character typed and deleted.
        const QString ours = dir.filePath(u"ours-%1.htm"_s.arg(run));
        BenchFiles::writeUnchanged(ours, bytes);
        Editor editor(dir.path());
        ourOpen.push_back(editor.open(ours));
        editor.page->setFocus();
        QTest::keyClick(editor.page, Qt::Key_X);
        QTest::keyClick(editor.page, Qt::Key_Backspace);
        // The save starts from a painted window.
        QCoreApplication::processEvents();
        editor.page->viewport()->repaint();
        QElapsedTimer timer;
        timer.start();
        control<QAction>(editor.window, u"S1"_s)->trigger();
        QCoreApplication::processEvents();
        ourSave.push_back(timer.nsecsElapsed() / 1e6);
        if (contents(ours) != bytes)
            std::fprintf(stderr, "bench_long_line: the saved page differs from the opened one\n");
    }

    std::printf("editor-open-long-line: ratio %.2f (target <= 0.5)\n", median(ourOpen) / median(vimOpen));
    std::printf("editor-save-long-line: ratio %.2f (target <= 0.5)\n", median(ourSave) / median(vimSave));
    std::printf("editor-open-long-line-ms: %.0f ms (vim %.0f ms)\n", median(ourOpen), median(vimOpen));
    std::printf("editor-save-long-line-ms: %.0f ms (vim %.0f ms)\n", median(ourSave), median(vimSave));
    std::printf("editor-long-line-size: %.1f MB\n", bytes.size() / 1048576.0);
    return 0;
}
