// What only a real display shows: run on a virtual X display, not offscreen.
#include "mainwindowfixture.h"

#include "app/effectpanelpreview.h"
#include "effects/effectpreviewpane.h"
#include "widgets/flatcombobox.h"

using namespace Qt::StringLiterals;

class TestOnDisplay : public QObject
{
    Q_OBJECT

private slots:
    // The first effect chosen starts the panel's browser. The window it goes into must stay the same
    // native window: one built anew loses the click under way, the second of a double-click on a
    // search result.
    void theFirstPanelPreviewKeepsTheMainWindow()
    {
        QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
        MainWindowFixture f;
        f.previews = true;
        f.putText(u"lines.txt"_s, u"<html><body>\r\n</body></html>\r\n"_s);
        f.putText(u"LINK1.INI"_s, u"[COMBOX]\r\nTOTAL=1\r\nL1=测试\r\n"_s);
        f.putText(u"LINK2.INI"_s, u"[测试]\r\nTOTAL=1\r\nl1=复制\r\n[system]\r\n测试复制=1\r\n"_s);
        f.putText(u"测试/复制.txt"_s, u"<b>直接复制</b>\r\n"_s);
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const WId shown = w.winId();
        auto *pane = control<EffectPanelPreview>(w, u"PanelPreview"_s)->pane();
        QSignalSpy pages(pane, &EffectPreviewPane::pageShown);
        auto *categories = control<FlatComboBox>(w, u"ComboBox1"_s);
        categories->setCurrentIndex(0);
        emit categories->activated(0);
        auto *effects = control<FlatComboBox>(w, u"ComboBox3"_s);
        effects->setCurrentIndex(0);
        emit effects->activated(0);
        QVERIFY(pages.wait(30000));
        QVERIFY(w.findChild<QWidget *>(u"PreviewBrowser"_s));
        QCOMPARE(w.winId(), shown);
    }
};

// The browser engine, loaded as a module, needs the shared OpenGL contexts that the program's
// start-up asks for before the application object is made.
int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestOnDisplay test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_ondisplay.moc"
