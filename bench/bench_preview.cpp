// The live preview of a shipped text effect: the first preview of a run (the browser engine starts
// for it), then a change of the text box until its page has loaded, against one plain load of the
// same page in a browser view of its own.
#include "effects/effectpreviewpane.h"
#include "effects/effectpreviews.h"
#include "effects/texteffectwindow.h"
#include "library/inicache.h"
#include "platform/localfilesystem.h"
#include "platform/platform.h"
#include "support/memoryclipboard.h"
#include "support/recordingshell.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
constexpr int Runs = 20;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return (values[(values.size() - 1) / 2] + values[values.size() / 2]) / 2;
}

// Runs the event loop until the signal comes (or a minute has passed): false when it did not come.
template <typename Object, typename Signal> bool waitFor(Object *object, Signal signal)
{
    QEventLoop loop;
    bool came = false;
    const auto connection = QObject::connect(object, signal, &loop, [&] {
        came = true;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return came;
}
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_preview APPLICATION_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + u'/';
    QTemporaryDir config;
    ScriptedDialogs dialogs([](const QString &what) { std::fprintf(stderr, "unexpected: %s\n", qPrintable(what)); });
    RecordingShell shell;
    MemoryClipboard clipboard;
    LocalFileSystem files;
    Platform platform { dialogs, shell, clipboard, files };
    EffectPreviews previews(files, config.filePath(u"mainform"_s));
    SetupBuffers buffers;
    bool parentMenuNeeded = true;
    const SetupContext context { platform, folder, u"文字特效"_s, u"打字机文字"_s, buffers, &parentMenuNeeded,
        &previews };

    QElapsedTimer clock;
    clock.start();
    TextEffectWindow window(context);
    window.show();
    EffectPreviewPane *pane = window.preview();
    if (!pane || !waitFor(pane, &EffectPreviewPane::pageShown)) {
        std::fprintf(stderr, "bench_preview: the first preview did not come\n");
        return 1;
    }
    const double firstPreview = double(clock.nsecsElapsed()) / 1e6;

    auto *text = window.findChild<QLineEdit *>(u"RFlatEdit1"_s);
    std::vector<double> updates;
    for (int i = 0; i < Runs; ++i) {
        clock.restart();
        text->setText(u"第%1行文字"_s.arg(i));
        if (!waitFor(pane, &EffectPreviewPane::pageShown)) {
            std::fprintf(stderr, "bench_preview: an update did not come\n");
            return 1;
        }
        updates.push_back(double(clock.nsecsElapsed()) / 1e6);
    }

    const QUrl page = QUrl::fromLocalFile(pane->folder() + u"preview.htm"_s);
    QWebEngineView plain;
    plain.resize(pane->size());
    plain.show();
    std::vector<double> loads;
    for (int i = 0; i < Runs; ++i) {
        clock.restart();
        plain.load(page);
        if (!waitFor(&plain, &QWebEngineView::loadFinished)) {
            std::fprintf(stderr, "bench_preview: a plain load did not finish\n");
            return 1;
        }
        loads.push_back(double(clock.nsecsElapsed()) / 1e6);
    }

    const double update = median(updates);
    const double load = median(loads);
    std::printf("preview-update: ratio %.2f (target <= 2.0)\n", update / load);
    std::printf("preview-update-median: %.1f ms\n", update);
    std::printf("preview-plain-load-median: %.1f ms\n", load);
    std::printf("first-preview: %.0f ms\n", firstPreview);
    return 0;
}
