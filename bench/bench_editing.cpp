// What a user of a large page feels, each against the same action on a small page in the same run:
// a keystroke until it is painted, a page down, Find Next to a match far in, and the undo of a
// Replace All (against vim's u after the same :s).
#include "editor/findreplace.h"
#include "editor/scintillasearchtarget.h"
#include "editor/searchcontroller.h"
#include "editorbench.h"
#include "widgets/uistyle.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace Qt::StringLiterals;
using namespace EditorBench;
using Base = QsciScintillaBase;

namespace {
const int Keystrokes = steps();
const int PageSteps = Keystrokes;
const QByteArray Needle = "vellumo-needle";

double elapsedMs(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// Shows what is pending, so that a measured step starts from a painted window.
void settle(QsciScintilla *page)
{
    QCoreApplication::processEvents();
    page->viewport()->repaint();
}

// One character typed at the start, the middle and the end in turn, each through the widget's key
// event until it is painted; the 95th percentile. In place: every character typed after the last,
// in the middle, as a user types; the editor's text then need not move to where the typing is.
double keystroke(Editor &editor, bool inPlace = false)
{
    QsciScintilla *page = editor.page;
    page->setFocus();
    std::vector<double> times;
    for (int i = 0; i < Keystrokes; ++i) {
        if (!inPlace || i == 0) {
            const long length = page->SendScintilla(Base::SCI_GETLENGTH);
            const long at = inPlace || i % 3 == 1 ? length / 2 : i % 3 == 0 ? 0 : length;
            page->SendScintilla(Base::SCI_GOTOPOS,
                static_cast<unsigned long>(page->SendScintilla(
                    Base::SCI_POSITIONFROMLINE, page->SendScintilla(Base::SCI_LINEFROMPOSITION, at))));
        }
        settle(page);
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(page, Qt::Key_X);
        page->viewport()->repaint();
        times.push_back(elapsedMs(timer));
    }
    return percentile95(times);
}

// Page Down from the middle, turning back at either end of a short page; the 95th percentile.
double scroll(Editor &editor)
{
    QsciScintilla *page = editor.page;
    page->setFocus();
    page->SendScintilla(Base::SCI_GOTOLINE, page->SendScintilla(Base::SCI_GETLINECOUNT) / 2);
    settle(page);
    Qt::Key key = Qt::Key_PageDown;
    std::vector<double> times;
    for (int i = 0; i < PageSteps; ++i) {
        const long before = page->SendScintilla(Base::SCI_GETFIRSTVISIBLELINE);
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(page, key);
        page->viewport()->repaint();
        times.push_back(elapsedMs(timer));
        if (page->SendScintilla(Base::SCI_GETFIRSTVISIBLELINE) == before)
            key = key == Qt::Key_PageDown ? Qt::Key_PageUp : Qt::Key_PageDown;
        QCoreApplication::processEvents();
    }
    return percentile95(times);
}

struct FindTimes
{
    double findNext = 0;
    double memmemAndShow = 0;
};

// F3 from the start to the one match, until it is painted; against finding the same bytes with
// memmem and selecting and showing the match. The two take turns at going first: whichever runs
// first after the window settles runs slower on this machine.
FindTimes findNext(Editor &editor)
{
    QsciScintilla *page = editor.page;
    editor.window.findChild<SearchController *>()->state().find.findText = QString::fromLatin1(Needle);
    std::vector<double> ours, plain;
    const auto pressF3 = [&] {
        page->SendScintilla(Base::SCI_GOTOPOS, 0UL);
        page->setFocus();
        settle(page);
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(&editor.window, Qt::Key_F3);
        page->viewport()->repaint();
        ours.push_back(elapsedMs(timer));
        if (page->selectedText() != QString::fromLatin1(Needle))
            std::fprintf(stderr, "bench_editing: F3 did not find the match\n");
    };
    const auto findWithMemmem = [&] {
        page->SendScintilla(Base::SCI_GOTOPOS, 0UL);
        settle(page);
        QElapsedTimer timer;
        timer.start();
        const auto length = static_cast<size_t>(page->SendScintilla(Base::SCI_GETLENGTH));
        const auto *text = reinterpret_cast<const char *>(page->SendScintilla(Base::SCI_GETCHARACTERPOINTER));
        const auto *found = static_cast<const char *>(memmem(text, length, Needle.constData(), Needle.size()));
        const auto at = static_cast<unsigned long>(found - text);
        page->SendScintilla(Base::SCI_SETSEL, at, static_cast<long>(at + Needle.size()));
        page->SendScintilla(Base::SCI_SCROLLCARET);
        page->viewport()->repaint();
        plain.push_back(elapsedMs(timer));
    };
    for (int run = 0; run < 6; ++run) {
        if (run % 2 == 0) {
            pressF3();
            findWithMemmem();
        } else {
            findWithMemmem();
            pressF3();
        }
    }
    return { median(ours), median(plain) };
}

// Replace All of every "effect", then Ctrl+Z until painted.
double undoReplaceAll(Editor &editor, int *replaced)
{
    *replaced = editor.replaceAllEffect();
    editor.page->setFocus();
    settle(editor.page);
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(editor.page, Qt::Key_Z, Qt::ControlModifier);
    editor.page->viewport()->repaint();
    return elapsedMs(timer);
}
struct Figures
{
    double keystroke = 0;
    double inPlace = 0;
    double scroll = 0;
    FindTimes find;
    double undo = 0;
    int replaced = 0;
};

// Every figure on one page, in a window of its own.
Figures measure(const QString &folder, const QString &page)
{
    Figures f;
    Editor editor(folder);
    editor.open(page);
    f.keystroke = keystroke(editor);
    f.inPlace = keystroke(editor, true);
    // Opened afresh, without the typing.
    editor.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
    editor.open(page);
    f.scroll = scroll(editor);
    f.find = findNext(editor);
    f.undo = undoReplaceAll(editor, &f.replaced);
    return f;
}
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    UiStyle::install(app);
    QTemporaryDir dir;
    const QString large = dir.filePath(u"large.htm"_s);
    const QString small = dir.filePath(u"small.htm"_s);
    writePage(large, 36LL << 20, Needle, 30LL << 20);
    writePage(small, 10 << 10, Needle, 8 << 10);

    // One figure's name as the argument measures only the large page's side of it (for a profiler).
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (!only.isEmpty()) {
        Editor editor(dir.path());
        editor.open(large);
        int replaced = 0;
        const double ms = only == u"keystroke"_s ? keystroke(editor)
            : only == u"scroll"_s                ? scroll(editor)
            : only == u"find-next"_s             ? findNext(editor).findNext
                                                 : undoReplaceAll(editor, &replaced);
        std::printf("editor-%s-large: %.2f ms\n", argv[1], ms);
        return 0;
    }

    const Figures smallPage = measure(dir.path(), small);
    const Figures largePage = measure(dir.path(), large);
    std::vector<double> vimUndos;
    for (int run = 0; run < 3; ++run)
        vimUndos.push_back(vimTimes({ u"%s/effect/EFFECT!/g"_s }, u"u"_s, large));
    const double vimUndo = median(vimUndos);

    std::printf("editor-keystroke: ratio %.2f (target <= 2.0)\n", largePage.keystroke / smallPage.keystroke);
    std::printf(
        "editor-keystroke-p95: %.2f ms (target <= 16; small page %.2f ms)\n", largePage.keystroke, smallPage.keystroke);
    std::printf("editor-keystroke-in-place-p95: %.2f ms (small page %.2f ms)\n", largePage.inPlace, smallPage.inPlace);
    std::printf("editor-scroll: ratio %.2f (target <= 2.0)\n", largePage.scroll / smallPage.scroll);
    std::printf("editor-scroll-p95: %.2f ms (small page %.2f ms)\n", largePage.scroll, smallPage.scroll);
    std::printf(
        "editor-find-next: ratio %.2f (target <= 3.0)\n", largePage.find.findNext / largePage.find.memmemAndShow);
    std::printf("editor-find-next-ms: %.1f ms (memmem, move and paint %.1f ms; small page %.1f ms)\n",
        largePage.find.findNext, largePage.find.memmemAndShow, smallPage.find.findNext);
    std::printf("editor-undo: ratio %.2f (target <= 1.0)\n", largePage.undo / vimUndo);
    std::printf("editor-undo-ms: %.0f ms for %d replacements (vim %.0f ms; small page %.1f ms for %d)\n",
        largePage.undo, largePage.replaced, vimUndo, smallPage.undo, smallPage.replaced);
    return 0;
}
