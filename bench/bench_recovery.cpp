// What recovery copies cost a user typing on a large page: keystrokes typed at a typist's pace in
// bursts, each timed from when the key was due until it is painted, with copies kept against none,
// in the same run on the same page. The copy of the page taken on the window's thread is timed too.
#include "editor/document.h"
#include "editor/recoveryfolder.h"
#include "editor/recoverykeeper.h"
#include "editorbench.h"
#include "widgets/uistyle.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace EditorBench;
using Base = QsciScintillaBase;

namespace {
const int Bursts = 5;
const int KeysPerBurst = 50;
const int KeyEveryMs = 40; // 25 keys a second, a fast typist
const int PauseMs = 1200; // long enough for a copy to be written after each burst

// Runs the event loop until the moment, as the window does between keys.
void waitUntil(const QElapsedTimer &clock, qint64 ns)
{
    while (clock.nsecsElapsed() < ns) {
        const qint64 left = (ns - clock.nsecsElapsed()) / 1000000;
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(qMax<qint64>(left, 1)));
    }
}

// Milliseconds from when each key was due to its painted change: a key that falls due while the
// window's thread is busy waits, as a user's would.
std::vector<double> typeInBursts(Editor &editor)
{
    QsciScintilla *page = editor.page;
    page->setFocus();
    const long middle = page->SendScintilla(Base::SCI_GETLENGTH) / 2;
    page->SendScintilla(Base::SCI_GOTOPOS,
        static_cast<unsigned long>(
            page->SendScintilla(Base::SCI_POSITIONFROMLINE, page->SendScintilla(Base::SCI_LINEFROMPOSITION, middle))));
    QCoreApplication::processEvents();
    page->viewport()->repaint();
    std::vector<double> times;
    QElapsedTimer clock;
    clock.start();
    qint64 due = 0;
    for (int burst = 0; burst < Bursts; ++burst) {
        for (int key = 0; key < KeysPerBurst; ++key) {
            waitUntil(clock, due);
            QTest::keyClick(page, Qt::Key_X);
            page->viewport()->repaint();
            times.push_back((clock.nsecsElapsed() - due) / 1e6);
            due += KeyEveryMs * 1000000LL;
        }
        due += PauseMs * 1000000LL;
    }
    waitUntil(clock, due);
    return times;
}

struct Run
{
    std::vector<double> times;
    int copies = 0;
};

Run measure(const QString &folder, const QString &page, bool withCopies)
{
    // The copies' folder outlives the window, as in the program.
    QTemporaryDir data;
    LocalFileSystem files;
    RecoveryFolder recovery(files, data.path());
    Editor editor(folder);
    editor.open(page);
    std::unique_ptr<QSignalSpy> written;
    if (withCopies) {
        recovery.claim();
        editor.window.keepRecoveryCopies(recovery);
        written = std::make_unique<QSignalSpy>(editor.window.recoveryKeeper(), &RecoveryKeeper::copyWritten);
    }
    Run run;
    run.times = typeInBursts(editor);
    if (withCopies) {
        editor.window.recoveryKeeper()->waitForDisk();
        QCoreApplication::processEvents();
        run.copies = int(written->size());
    }
    // Closing without the save question.
    editor.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
    editor.window.close();
    return run;
}
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    UiStyle::install(app);
    QTemporaryDir dir;
    const QString large = dir.filePath(u"large.htm"_s);
    writePage(large, 36LL << 20);

    // Each side twice, in turns, so that neither always runs on a warmer machine; the keys of both
    // rounds make one 95th percentile.
    std::vector<double> on, off;
    int copies = 0;
    for (int round = 0; round < 2; ++round) {
        const bool first = round == 0;
        const Run a = measure(dir.path(), large, first);
        const Run b = measure(dir.path(), large, !first);
        std::vector<double> &withCopies = first ? on : off, &without = first ? off : on;
        withCopies.insert(withCopies.end(), a.times.begin(), a.times.end());
        without.insert(without.end(), b.times.begin(), b.times.end());
        copies += a.copies + b.copies;
    }
    const double onP95 = percentile95(on);
    const double offP95 = percentile95(off);

    // The copy of the page the window's thread takes for each write.
    Editor editor(dir.path());
    editor.open(large);
    QTest::keyClick(editor.page, Qt::Key_X);
    // Each made in the last one's memory, as the keeper gets it back from the disk's thread.
    std::vector<double> snapshots;
    QByteArray spare;
    for (int i = 0; i < 9; ++i) {
        QElapsedTimer timer;
        timer.start();
        QByteArray copy = editor.window.document().recoverySnapshot(std::move(spare))->utf8;
        snapshots.push_back(timer.nsecsElapsed() / 1e6);
        spare = std::move(copy);
    }
    editor.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
    editor.window.close();

    std::printf("editor-keystroke-recovery: ratio %.2f (target <= 1.1)\n", onP95 / offP95);
    std::printf("editor-keystroke-recovery-p95: %.2f ms with copies, %.2f ms without (%d copies of 36 MB written)\n",
        onP95, offP95, copies);
    std::printf("recovery-snapshot-ms: %.1f ms (median, 36 MB page, on the window's thread)\n", median(snapshots));
    return 0;
}
