// The live previews in a real browser: each kind of setup window follows its boxes, a damaged
// definition says why in the preview's line, the scratch folder goes with the window, nothing outside
// it is written, and the effect panel shows the chosen effect with its defaults.
#include "mainwindowfixture.h"
#include "pagereading.h"

#include "app/effectpanelpreview.h"
#include "effects/effectpreviewpane.h"
#include "effects/effectpreviews.h"
#include "effects/imageeffectwindow.h"
#include "effects/menueffectwindow.h"
#include "effects/texteffectwindow.h"
#include "widgets/flatcombobox.h"

#include <QAbstractButton>
#include <QDirIterator>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QString Category = u"测试"_s;

const QString ImageDefinition = u"[file]\nimgfilet=1\nimgfilename1=0\ntxtfilet=1\ntxtfilename1=fx.js\nft=1\n"
                                "fno1=script.txt\nintop1='<img id=\"pic\" src=\"'\ninbu1='\"'\nimmtop1=\nimmbu1='\">'\n"
                                "[abcd]\ntotal=3\nopen1=fno1\nopen2=inname1\nopen3=imain1\n"_s;
const QString MenuDefinition = u"[file]\nimgfilet=x\ntxtfilet=0\nmm=0\nlino=0\ntxty=0\nft=0\n"
                               "litop='<a class=\"item\" href=\"'\nlibu='\">'\ncatop=\ncabu=</a>\n"
                               "[list]\ntotal=2\nlist1=txtli\nlist2=txtca\n[abcd]\ntotal=1\nopen1=list\n"_s;
const QString TextDefinition = u"[file]\nimgfilet=0\ntxtfilet=0\nft=0\ntxttop='<p class=\"row\">'\ntxtbu=</p>\n"
                               "[list]\ntotal=1\nlist1=txt\n[abcd]\ntotal=1\nopen1=list\n"_s;

// Every file under the folder with its bytes, but the user's configuration.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.contains(u"/config/"_s))
            files.insert(path, TestFiles::read(path));
    }
    return files;
}
}

class TestEffectPreview : public QObject
{
    Q_OBJECT

    // A main window whose previews are shown, on a folder with the effects under test.
    struct Run
    {
        MainWindowFixture f;
        bool parentMenuNeeded = true;
        std::unique_ptr<SetupWindow> window;

        Run()
        {
            f.previews = true;
            f.putText(u"lines.txt"_s, u"<html><head><meta charset=\"gb2312\"></head><body>\r\n</body></html>\r\n"_s);
            f.putText(u"LINK1.INI"_s, u"[COMBOX]\r\nTOTAL=1\r\nL1=测试\r\n"_s);
            f.putText(u"LINK2.INI"_s,
                u"[测试]\r\nTOTAL=6\r\nl1=图像\r\nl2=菜单\r\nl3=文字\r\nl4=坏的\r\nl5=复制\r\nl6=空的\r\n[system]\r\n"
                "测试图像=2\r\n测试菜单=3\r\n测试文字=4\r\n测试坏的=4\r\n测试复制=1\r\n测试空的=1\r\n"_s);
            f.put(Category + u"/空的.txt"_s, QByteArray());
            f.putText(Category + u"/图像"_s, ImageDefinition);
            f.putText(Category + u"/fx.js"_s, u"document.title = '脚本已运行';\n"_s);
            f.putText(Category + u"/script.txt"_s, u"<script src=\"fx.js\"></script>\n"_s);
            f.putText(Category + u"/菜单"_s, MenuDefinition);
            f.putText(Category + u"/文字"_s, TextDefinition);
            f.putText(
                Category + u"/坏的"_s, QString(TextDefinition).replace(u"total=1\nopen1"_s, u"total=zz\nopen1"_s));
            f.putText(Category + u"/复制.txt"_s, u"<b id=\"copied\">直接复制 © €</b>\r\n"_s);
            QImage sample(32, 24, QImage::Format_RGB32);
            sample.fill(Qt::red);
            QDir().mkpath(f.folder() + u"示例图片"_s);
            QVERIFY(sample.save(f.folder() + u"示例图片/示例1.jpg"_s));
            f.create();
            f.clipboard.setText(u"before"_s);
        }
        SetupWindow &open(const QString &kind, const QString &effect)
        {
            const SetupContext context = f.setupContext(Category, effect, &parentMenuNeeded);
            SetupWindow *made = kind == u"image"_s ? static_cast<SetupWindow *>(new ImageEffectWindow(context))
                : kind == u"menu"_s                ? static_cast<SetupWindow *>(new MenuEffectWindow(context))
                                                   : static_cast<SetupWindow *>(new TextEffectWindow(context));
            window.reset(made);
            made->show();
            return *made;
        }
    };

    static bool waitForPage(EffectPreviewPane &pane)
    {
        QSignalSpy shown(&pane, &EffectPreviewPane::pageShown);
        return shown.wait(30000);
    }

    static QString read(EffectPreviewPane &pane, const QString &expression) { return readInPage(pane, expression); }

    static EffectPanelPreview &panel(MainWindow &w) { return *control<EffectPanelPreview>(w, u"PanelPreview"_s); }

    static void choose(MainWindow &w, const QString &effect)
    {
        auto *categories = control<FlatComboBox>(w, u"ComboBox1"_s);
        categories->setCurrentIndex(0);
        emit categories->activated(0);
        auto *effects = control<FlatComboBox>(w, u"ComboBox3"_s);
        const int index = effects->findText(effect);
        QVERIFY(index >= 0);
        effects->setCurrentIndex(index);
        emit effects->activated(index);
    }

private slots:
    void eachKindFollowsItsBoxes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QStringList>("changes"); // box=value, in order
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("line");
        QTest::newRow("image") << u"image"_s << u"图像"_s << QStringList { u"NumEdit2=55"_s, u"NumEdit1=77"_s }
                               << u"document.getElementById('pic').getAttribute('width')"_s << u"77"_s
                               << u"没有脚本错误；未设置的部分用示例代替。"_s;
        QTest::newRow("menu") << u"menu"_s << u"菜单"_s << QStringList { u"Edit3=news.htm"_s, u"Edit2=产品介绍"_s }
                              << u"document.querySelector('a.item').textContent + '|' + "
                                 "document.querySelector('a.item').getAttribute('href')"_s
                              << u"产品介绍|news.htm"_s << u"没有脚本错误。"_s;
        QTest::newRow("text") << u"text"_s << u"文字"_s << QStringList { u"RFlatEdit1=你好，预览"_s }
                              << u"document.querySelector('p.row').textContent"_s << u"你好，预览"_s
                              << u"没有脚本错误。"_s;
    }

    void eachKindFollowsItsBoxes()
    {
        QFETCH(QString, kind);
        QFETCH(QString, effect);
        QFETCH(QStringList, changes);
        QFETCH(QString, script);
        QFETCH(QString, shown);
        QFETCH(QString, line);
        Run run;
        SetupWindow &window = run.open(kind, effect);
        EffectPreviewPane *pane = window.preview();
        QVERIFY(pane);
        QVERIFY(waitForPage(*pane));
        QVERIFY(read(*pane, script) != shown);
        for (const QString &change : changes) {
            const QString name = change.section(u'=', 0, 0);
            control<QLineEdit>(window, name)->setText(change.section(u'=', 1));
        }
        QTRY_COMPARE_WITH_TIMEOUT(read(*pane, script), shown, 30000);
        QCOMPARE(pane->line(), line);
        // Previewing reaches neither the buffers nor the clipboard.
        QCOMPARE(run.f.clipboard.text(), u"before"_s);
        QCOMPARE(run.f.buffers().rows, QString());
        QCOMPARE(run.f.buffers().snippets, QString());
        QVERIFY(run.f.dialogs.calls.isEmpty());
    }

    void theEffectsFilesAndSamplesAreBesideThePage()
    {
        Run run;
        SetupWindow &window = run.open(u"image"_s, u"图像"_s);
        QVERIFY(waitForPage(*window.preview()));
        // The effect's script ran from the scratch folder, and the sample picture was decoded there.
        QCOMPARE(read(*window.preview(), u"document.title"_s), u"脚本已运行"_s);
        QTRY_COMPARE_WITH_TIMEOUT(
            read(*window.preview(), u"document.getElementById('pic').naturalWidth"_s), u"32"_s, 10000);
        QVERIFY(window.preview()->line().startsWith(u"没有脚本错误；未设置的部分用示例代替"_s));
    }

    void aDamagedDefinitionShowsItsErrorInTheLine()
    {
        Run run;
        SetupWindow &window = run.open(u"text"_s, u"坏的"_s);
        QVERIFY(waitForPage(*window.preview()));
        const QString error = u"'zz' is not a valid integer value."_s;
        QCOMPARE(window.preview()->line(), u"无法预览："_s + error);
        QTRY_COMPARE_WITH_TIMEOUT(
            read(*window.preview(), u"document.getElementById('vellumo-preview-problem').textContent"_s), error, 10000);
        QVERIFY(run.f.dialogs.calls.isEmpty());
    }

    void scriptErrorsAreShownInTheLine()
    {
        Run run;
        run.f.putText(Category + u"/fx.js"_s, u"undefinedFunction();\n"_s);
        SetupWindow &window = run.open(u"image"_s, u"图像"_s);
        QVERIFY(waitForPage(*window.preview()));
        QTRY_VERIFY_WITH_TIMEOUT(window.preview()->line().startsWith(u"脚本错误，第1行："_s), 10000);
        QVERIFY(window.preview()->line().contains(u"undefinedFunction"_s));
    }

    // A stranger's effect can neither stop the window with a box nor take the preview elsewhere.
    void alertsAndNavigationsStayInsideThePreview()
    {
        Run run;
        const QString outside = run.f.folder() + u"lines.txt"_s;
        run.f.putText(Category + u"/fx.js"_s,
            u"alert('盒子'); confirm('确定？'); document.title = '走了';\n"
            "setTimeout(function () { location.href = '%1'; }, 0);\n"_s.arg(QUrl::fromLocalFile(outside).toString()));
        SetupWindow &window = run.open(u"image"_s, u"图像"_s);
        QVERIFY(waitForPage(*window.preview()));
        QCOMPARE(read(*window.preview(), u"document.title"_s), u"走了"_s);
        // Once the way out has been refused the page is still the preview.
        QTRY_VERIFY_WITH_TIMEOUT(
            window.preview()->fullLine().split(u'\n').contains(u"已阻止：读取本机文件 "_s + outside), 10000);
        QVERIFY(read(*window.preview(), u"location.pathname"_s).endsWith(u"/preview.htm"_s));
        QVERIFY(run.f.dialogs.calls.isEmpty());
    }

    void closingTheWindowTakesTheScratchFolder()
    {
        Run run;
        SetupWindow &window = run.open(u"text"_s, u"文字"_s);
        QVERIFY(waitForPage(*window.preview()));
        const QString folder = window.preview()->folder();
        QVERIFY(folder.startsWith(QDir::tempPath()));
        QVERIFY(QFileInfo::exists(folder + u"preview.htm"_s));
        window.close();
        QVERIFY(!QFileInfo::exists(folder));
    }

    void previewingWritesNothingOutsideItsFolder()
    {
        Run run;
        const QString site = run.f.folder() + u"site/"_s;
        TestFiles::write(site + u"index.htm"_s, "my page");
        const QString picture = run.f.folder() + u"pics/我的.jpg"_s;
        QImage mine(40, 30, QImage::Format_RGB32);
        mine.fill(Qt::blue);
        QDir().mkpath(run.f.folder() + u"pics"_s);
        QVERIFY(mine.save(picture));
        const QMap<QString, QByteArray> before = snapshot(run.f.folder());

        SetupWindow &window = run.open(u"image"_s, u"图像"_s);
        EffectPreviewPane &pane = *window.preview();
        QVERIFY(waitForPage(pane));
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, picture);
        control<QAbstractButton>(window, u"Button4"_s)->click();
        QTRY_COMPARE_WITH_TIMEOUT(read(pane, u"document.getElementById('pic').naturalWidth"_s), u"40"_s, 30000);
        control<QLineEdit>(window, u"NumEdit1"_s)->setText(u"12"_s);
        control<QLineEdit>(window, u"NumEdit2"_s)->setText(u"34"_s);
        QTRY_COMPARE_WITH_TIMEOUT(
            read(pane, u"document.getElementById('pic').getAttribute('height')"_s), u"34"_s, 30000);
        window.close();

        QCOMPARE(snapshot(run.f.folder()), before);
    }

    // On a low screen the preview gives up height: the window and its hint line fit.
    void aSetupWindowFitsALowScreen()
    {
        Run run;
        SetupWindow &window = run.open(u"image"_s, u"图像"_s);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int screenHeight = window.screen()->availableGeometry().height();
        QVERIFY2(window.height() <= screenHeight, qPrintable(u"%1 on %2"_s.arg(window.height()).arg(screenHeight)));
        auto *line = control<QLabel>(window, u"spanle"_s);
        QCOMPARE(line->geometry().bottom(), window.height() - 3);
        auto *box = control<QGroupBox>(window, u"PreviewBox"_s);
        QVERIFY(box->isVisible());
        QVERIFY(box->height() >= 94); // a strip of the preview at least
        QVERIFY(box->geometry().bottom() < line->y());
    }

    void aHiddenPreviewStaysHiddenAndStartsNothing()
    {
        Run run;
        SetupWindow &first = run.open(u"text"_s, u"文字"_s);
        QVERIFY(waitForPage(*first.preview()));
        auto *box = control<QGroupBox>(first, u"PreviewBox"_s);
        const int tall = first.height();
        control<QAbstractButton>(first, u"PreviewToggle"_s)->click();
        QVERIFY(!box->isVisible());
        QVERIFY(first.height() < tall);
        QCOMPARE(control<QAbstractButton>(first, u"PreviewToggle"_s)->text(), u"显示预览"_s);
        first.close();

        SetupWindow &second = run.open(u"menu"_s, u"菜单"_s);
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        // A shown preview starts on a timer set as the window shows; one set after it and due later has
        // run, so the hidden one had its chance to start.
        bool later = false;
        QTimer::singleShot(60, &second, [&later] { later = true; });
        QTRY_VERIFY(later);
        QVERIFY(!control<QGroupBox>(second, u"PreviewBox"_s)->isVisible());
        QVERIFY(!second.preview()->started());
        control<QAbstractButton>(second, u"PreviewToggle"_s)->click();
        QVERIFY(waitForPage(*second.preview()));
        QVERIFY(run.f.window->effectPreviews().shown(EffectPreviews::Place::SetupWindows));
    }

    void thePanelShowsTheChosenEffect_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("line");
        QTest::newRow("simple copy") << u"复制"_s << u"document.getElementById('copied').textContent"_s
                                     << u"直接复制 © €"_s << u"没有脚本错误。"_s;
        QTest::newRow("text") << u"文字"_s << u"document.querySelector('p.row').textContent"_s << u"示例文字"_s
                              << u"没有脚本错误；未设置的部分用示例代替。"_s;
        // Nothing to show is shown too: the page, not "preparing" for ever.
        QTest::newRow("empty code") << u"空的"_s
                                    << u"location.pathname.split('/').pop() + '|' + document.body.textContent.trim()"_s
                                    << u"preview.htm|"_s << u"没有脚本错误。"_s;
        QTest::newRow("damaged") << u"坏的"_s << u"document.getElementById('vellumo-preview-problem').textContent"_s
                                 << u"'zz' is not a valid integer value."_s
                                 << u"无法预览：'zz' is not a valid integer value."_s;
    }

    void thePanelShowsTheChosenEffect()
    {
        QFETCH(QString, effect);
        QFETCH(QString, script);
        QFETCH(QString, shown);
        QFETCH(QString, line);
        Run run;
        MainWindow &w = *run.f.window;
        w.show();
        EffectPreviewPane &pane = *panel(w).pane();
        QVERIFY(!pane.started());
        QSignalSpy pages(&pane, &EffectPreviewPane::pageShown);
        choose(w, effect);
        QVERIFY(pages.wait(30000));
        QTRY_COMPARE_WITH_TIMEOUT(read(pane, script), shown, 10000);
        QCOMPARE(pane.line(), line);
        QVERIFY(run.f.dialogs.calls.isEmpty());
        QCOMPARE(run.f.clipboard.text(), u"before"_s);
    }

    void thePanelStartsNothingUntilAnEffectIsChosen()
    {
        Run run;
        MainWindow &w = *run.f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!panel(w).pane()->started());
        QVERIFY(!w.findChild<QWidget *>(u"PreviewBrowser"_s));
    }
};

// The browser engine, loaded as a module, needs the shared OpenGL contexts that the program's
// start-up asks for before the application object is made.
int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestEffectPreview test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_effectpreview.moc"
