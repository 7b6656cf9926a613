// The preview started as the program starts it, as root, with no sandbox switch given: the browser
// engine must come up and the unsaved page must stay. When the engine kills the process, this test
// program ends with the engine's status instead of its report.
#include "mainwindowfixture.h"

#include "app/startup.h"
#include "support/controls.h"

#include <QApplication>
#include <QTabWidget>
#include <QWebEngineView>
#include <Qsci/qsciscintilla.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
bool switchGivenFromOutside = false;
}

class TestPreviewAsRoot : public QObject
{
    Q_OBJECT

private slots:
    void previewStartsAndThePageStays()
    {
        if (geteuid() != 0)
            QSKIP("the engine's refusal happens only for root");
        if (switchGivenFromOutside)
            QSKIP("the sandbox switch was given from outside, so nothing is tried here");
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        editor->setText(u"<p>未保存的网页</p>"_s);
        QVERIFY(editor->isModified());
        control<QTabWidget>(w, u"PageControl1"_s)->setCurrentIndex(1);
        auto *view = control<QWidget>(w, u"WebBrowser1"_s)->findChild<QWebEngineView *>();
        QVERIFY(view);
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        QVERIFY(loaded.wait(60000));
        QCOMPARE(loaded.first().first().toBool(), true);
        QCOMPARE(editor->text(), u"<p>未保存的网页</p>"_s);
        QVERIFY(editor->isModified());
    }
};

int main(int argc, char *argv[])
{
    switchGivenFromOutside = !qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX");
    Startup::prepareProcess();
    QApplication app(argc, argv);
    TestPreviewAsRoot test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_previewasroot.moc"
