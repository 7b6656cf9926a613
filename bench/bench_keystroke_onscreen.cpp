// A keystroke as the user's eye sees it, on an X display: a real key sent through the X server, until
// the window has painted the change and the server has it. Typed in place in the middle of a 36 MB
// page and of a 10 KB page, at a steady typist's pace, so that whatever else runs while the user types
// (timers, copies, the caret's blinking) falls among the keystrokes as it does for a user.
// Without a display it starts one of its own.
#include "editor/recoveryfolder.h"
#include "editorbench.h"
#include "widgets/uistyle.h"

#include <QApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace EditorBench;
using Base = QsciScintillaBase;

namespace {
const int Keystrokes = steps();
// Between one keystroke painted and the next key: a quick typist's pace, about twelve a second.
constexpr int PaceMs = 80;

// Tells when a window has painted after a key: the key's delivery to a widget, then the end of the
// window's next update, flush included.
class WatchingApplication : public QApplication
{
public:
    using QApplication::QApplication;
    QWidget *window = nullptr;
    bool keyDelivered = false;
    bool painted = false;

    bool notify(QObject *receiver, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        const bool result = QApplication::notify(receiver, event);
        if (type == QEvent::KeyPress && receiver->isWidgetType())
            keyDelivered = true;
        else if (type == QEvent::UpdateRequest && keyDelivered && window
            && (receiver == window || receiver == window->windowHandle()))
            painted = true;
        return result;
    }
};

WatchingApplication *watching()
{
    return static_cast<WatchingApplication *>(QCoreApplication::instance());
}

xcb_connection_t *connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

// The key code that types a lower-case x on this display.
xcb_keycode_t keycodeOfX()
{
    xcb_connection_t *c = connection();
    const xcb_setup_t *setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t *mapping = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<uint8_t>(count)), nullptr);
    xcb_keycode_t found = 0;
    if (mapping) {
        const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(mapping);
        for (int i = 0; i < count && !found; ++i) {
            if (syms[i * mapping->keysyms_per_keycode] == 'x')
                found = static_cast<xcb_keycode_t>(setup->min_keycode + i);
        }
        free(mapping);
    }
    return found;
}

// Waits until the server has handled every request sent before, the window's picture included.
void roundTrip()
{
    xcb_connection_t *c = connection();
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

struct Percentiles
{
    double p50 = 0, p95 = 0, p99 = 0, worst = 0;
    int slow = 0; // over 8 ms, a frame at 120 Hz
};

Percentiles percentiles(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at = [&](int percent) { return values[std::min(values.size() - 1, values.size() * percent / 100)]; };
    Percentiles p { at(50), at(95), at(99), values.back(), 0 };
    for (double v : values)
        p.slow += v > 8.0;
    return p;
}

// Keystrokes typed in place in the middle of the page, each timed from the key sent to the painted
// change on the server; -1 in the first value when keys did not arrive.
Percentiles typeInTheMiddle(const QString &folder, const QString &path)
{
    Editor editor(folder);
    // Recovery copies kept as the program keeps them: their copying falls among the keystrokes too.
    RecoveryFolder recovery(editor.files, folder + u"/recovery"_s);
    if (recovery.claim())
        editor.window.keepRecoveryCopies(recovery);
    editor.open(path);
    QsciScintilla *page = editor.page;
    watching()->window = &editor.window;
    editor.window.activateWindow();
    if (!QTest::qWaitForWindowActive(&editor.window, 5000))
        std::fprintf(stderr, "bench_keystroke_onscreen: the window did not become active\n");
    page->setFocus();
    const long middle = page->SendScintilla(Base::SCI_POSITIONFROMLINE,
        page->SendScintilla(Base::SCI_LINEFROMPOSITION, page->SendScintilla(Base::SCI_GETLENGTH) / 2));
    page->SendScintilla(Base::SCI_GOTOPOS, static_cast<unsigned long>(middle));
    QTest::qWait(500);

    const xcb_keycode_t x = keycodeOfX();
    xcb_connection_t *c = connection();
    const long lengthBefore = page->SendScintilla(Base::SCI_GETLENGTH);
    std::vector<double> times;
    for (int i = 0; i < Keystrokes; ++i) {
        QTest::qWait(PaceMs);
        watching()->keyDelivered = false;
        watching()->painted = false;
        QElapsedTimer timer;
        timer.start();
        xcb_test_fake_input(c, XCB_KEY_PRESS, x, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_RELEASE, x, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(c);
        while (!watching()->painted && timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        roundTrip();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    const long typed = page->SendScintilla(Base::SCI_GETLENGTH) - lengthBefore;
    if (typed != Keystrokes) {
        std::fprintf(stderr, "bench_keystroke_onscreen: %ld of %d keys reached the page\n", typed, Keystrokes);
        return { -1, -1, -1, -1, 0 };
    }
    watching()->window = nullptr;
    return percentiles(times);
}

// Runs this benchmark again on a display of its own.
int onADisplayOfItsOwn(int argc, char *argv[])
{
    QStringList arguments { u"-a"_s, u"-s"_s, u"-screen 0 1280x1024x24"_s, QString::fromLocal8Bit(argv[0]) };
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QProcess run;
    run.setProcessChannelMode(QProcess::ForwardedChannels);
    run.start(u"xvfb-run"_s, arguments);
    if (!run.waitForStarted()) {
        std::fprintf(stderr, "bench_keystroke_onscreen: no display, and xvfb-run could not be started\n");
        return 1;
    }
    run.waitForFinished(-1);
    return run.exitCode();
}
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return onADisplayOfItsOwn(argc, argv);
    qputenv("QT_QPA_PLATFORM", "xcb");
    WatchingApplication app(argc, argv);
    UiStyle::install(app);
    QTemporaryDir dir;
    const QString large = dir.filePath(u"large.htm"_s);
    const QString small = dir.filePath(u"small.htm"_s);
    writePage(large, 36LL << 20, {}, 0);
    writePage(small, 10 << 10, {}, 0);

    // "large" types on the large page only, for a profiler.
    if (argc > 1 && qstrcmp(argv[1], "large") == 0) {
        const Percentiles p = typeInTheMiddle(dir.path(), large);
        std::printf("editor-keystroke-onscreen-large: p50 %.2f, p95 %.2f, p99 %.2f ms\n", p.p50, p.p95, p.p99);
        return 0;
    }
    const Percentiles smallPage = typeInTheMiddle(dir.path(), small);
    const Percentiles largePage = typeInTheMiddle(dir.path(), large);
    if (smallPage.p50 < 0 || largePage.p50 < 0)
        return 1;
    std::printf("editor-keystroke-onscreen: ratio %.2f (target <= 1.5)\n", largePage.p95 / smallPage.p95);
    std::printf(
        "editor-keystroke-onscreen-p95: %.2f ms (target <= 5; small page %.2f ms)\n", largePage.p95, smallPage.p95);
    for (const auto &[name, p] : { std::pair { "large", largePage }, std::pair { "small", smallPage } })
        std::printf("editor-keystroke-onscreen-%s: p50 %.2f, p95 %.2f, p99 %.2f, worst %.2f ms; %d of %d over 8 ms\n",
            name, p.p50, p.p95, p.p99, p.worst, p.slow, Keystrokes);
    return 0;
}
