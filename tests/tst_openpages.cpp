// Opening pages from outside the File dialog: the program's arguments, --help and --version without a
// display, pages dropped on the window or the editor, and the File menu's recently opened pages.
#include "mainwindowfixture.h"

#include "app/commandline.h"
#include "app/recentmenu.h"
#include "editor/document.h"
#include "editor/recentpages.h"
#include "platform/localfilesystem.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

using namespace Qt::StringLiterals;
using Kind = ScriptedDialogs::Kind;

Q_DECLARE_METATYPE(CommandLine::Action)

namespace {
const QString SaveQuestion = u"网页文件已经被修改，是否要进行存盘"_s;

QString editorText(MainWindow &window)
{
    return control<QsciScintilla>(window, u"RichEdit1"_s)->text();
}

// The entries of the recent pages as the File menu shows them when it opens.
QStringList recentEntries(MainWindow &window)
{
    auto *menu = control<QMenu>(window, u"RecentPages1"_s);
    emit menu->aboutToShow();
    QStringList entries;
    for (QAction *action : menu->actions())
        entries << action->text();
    return entries;
}

QAction *recentEntry(MainWindow &window, int number)
{
    emit control<QMenu>(window, u"RecentPages1"_s)->aboutToShow();
    return control<QAction>(window, u"RecentPage%1"_s.arg(number));
}

// A drag from a file manager carrying the files, dropped at the middle of the widget.
void dropFiles(QWidget *target, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPointF at = QPointF(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QVERIFY(move.isAccepted());
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
}

QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"QT_QPA_PLATFORM"_s);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    return environment;
}
}

class TestOpenPages : public QObject
{
    Q_OBJECT

private slots:
    void argumentsTellPagesAndRequests_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("qtOptionsTaken");
        QTest::addColumn<CommandLine::Action>("action");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("wrong");
        const QString here = QDir::currentPath();
        using A = CommandLine::Action;
        QTest::newRow("nothing") << QStringList {} << true << A::Run << QStringList {} << QString();
        QTest::newRow("relative page") << QStringList { u"a.htm"_s } << true << A::Run
                                       << QStringList { here + u"/a.htm"_s } << QString();
        QTest::newRow("two pages in order") << QStringList { u"/p/b.html"_s, u"sub/../a.htm"_s } << true << A::Run
                                            << QStringList { u"/p/b.html"_s, here + u"/a.htm"_s } << QString();
        QTest::newRow("file address") << QStringList { u"file:///p/%E7%BD%91%E9%A1%B5.htm"_s } << true << A::Run
                                      << QStringList { u"/p/网页.htm"_s } << QString();
        QTest::newRow("--help") << QStringList { u"a.htm"_s, u"--help"_s } << false << A::Help << QStringList {}
                                << QString();
        QTest::newRow("-h") << QStringList { u"-h"_s } << true << A::Help << QStringList {} << QString();
        QTest::newRow("--version") << QStringList { u"--version"_s } << false << A::Version << QStringList {}
                                   << QString();
        QTest::newRow("-v") << QStringList { u"-v"_s } << true << A::Version << QStringList {} << QString();
        QTest::newRow("unknown long option before Qt")
            << QStringList { u"--bogus"_s, u"--help"_s } << false << A::Wrong << QStringList {} << u"--bogus"_s;
        QTest::newRow("Qt's option left to Qt") << QStringList { u"-platform"_s, u"/p/a.htm"_s } << false << A::Run
                                                << QStringList { u"/p/a.htm"_s } << QString();
        QTest::newRow("unknown short option once Qt took its own")
            << QStringList { u"-x"_s } << true << A::Wrong << QStringList {} << u"-x"_s;
        QTest::newRow("after -- every word is a page")
            << QStringList { u"--"_s, u"--help"_s, u"-x.htm"_s } << true << A::Run
            << QStringList { here + u"/--help"_s, here + u"/-x.htm"_s } << QString();
    }
    void argumentsTellPagesAndRequests()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, qtOptionsTaken);
        QFETCH(CommandLine::Action, action);
        QFETCH(QStringList, pages);
        QFETCH(QString, wrong);
        const CommandLine line = CommandLine::parse(arguments, qtOptionsTaken);
        QCOMPARE(line.action, action);
        QCOMPARE(line.pages, pages);
        QCOMPARE(line.wrong, wrong);
    }

    void helpAndVersionAnswerWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString usage = u"用法：vellumo [选项] [网页文件...]\n"
                              "Usage: vellumo [OPTION] [PAGE...]\n"
                              "\n"
                              "打开每个网页文件（.htm、.html），每个网页一个窗口；不给网页时打开新网页。\n"
                              "Opens each page in a window of its own; without a page, a new page.\n"
                              "\n"
                              "  -h, --help     显示本说明后退出 (show this help and exit)\n"
                              "  -v, --version  显示版本后退出 (show the version and exit)\n"
                              "  --             其后的参数都是网页文件 (what follows are pages)\n"_s;
        QTest::newRow("--help") << QStringList { u"--help"_s } << 0 << usage << QString();
        QTest::newRow("-h with a page") << QStringList { u"page.htm"_s, u"-h"_s } << 0 << usage << QString();
        QTest::newRow("--version") << QStringList { u"--version"_s } << 0
                                   << u"Vellumo "_s + QString::fromLatin1(VELLUMO_VERSION) + u"\n"_s << QString();
        QTest::newRow("unknown option") << QStringList { u"--bogus"_s } << 2 << QString()
                                        << u"vellumo：未知的选项 --bogus (unknown option)\n\n"_s + usage;
    }
    void helpAndVersionAnswerWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess program;
        program.setProcessEnvironment(withoutDisplay());
        program.start(QStringLiteral(VELLUMO_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(QString::fromUtf8(program.readAllStandardError()), err);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), out);
        QCOMPARE(program.exitCode(), status);
    }

    void eachPageGivenOpensInAWindowOfItsOwn_data()
    {
        QTest::addColumn<int>("pages");
        QTest::newRow("none: the start-up page") << 0;
        QTest::newRow("one page") << 1;
        QTest::newRow("two pages, two windows") << 2;
        QTest::newRow("three pages, three windows") << 3;
    }
    void eachPageGivenOpensInAWindowOfItsOwn()
    {
        QFETCH(int, pages);
        QTemporaryDir home;
        QStringList arguments, expected;
        for (int i = 1; i <= pages; ++i) {
            const QString path = home.filePath(u"网页%1.htm"_s.arg(i));
            const QString text = u"<html><body>第%1页</body></html>\n"_s.arg(i);
            TestFiles::write(path, text.toUtf8());
            // Relative to the folder the program starts in, as a shell passes it.
            arguments << u"网页%1.htm"_s.arg(i);
            expected << path + u' ' + text;
        }
        if (pages == 0)
            expected << u"新文件 "_s + QString::fromUtf8(Document::defaultPage());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u"data"_s));
        environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(home.path());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(STARTING_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(120000));
        QCOMPARE(program.exitCode(), 0);
        QStringList windows;
        for (const QByteArray &line : program.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.size() == 3 && words.at(0) == "window")
                windows << QString::fromUtf8(QByteArray::fromBase64(words.at(1))) + u' '
                        + QString::fromUtf8(QByteArray::fromBase64(words.at(2)));
        }
        windows.sort();
        expected.sort();
        QCOMPARE(windows, expected);
        // The pages given are the recent pages, the last given on top.
        QStringList remembered;
        for (int i = pages; i >= 1; --i)
            remembered << home.filePath(u"网页%1.htm"_s.arg(i));
        LocalFileSystem files;
        QCOMPARE(RecentPages(files, home.filePath(u"config/Vellumo/mainform"_s)).pages(), remembered);
    }

    void pageThatCannotBeOpenedIsSaidAndTheWindowKeepsItsPage()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        const QString missing = f.folder() + u"没有.htm"_s;
        f.dialogs.expect(Kind::Error);
        w.openPageAt(missing);
        QCOMPARE(f.dialogs.calls.size(), 1);
        QCOMPARE(f.dialogs.calls.first().text, u"Cannot open file "_s + missing + u"."_s);
        QCOMPARE(shownTitle(w), u"新文件"_s);
        QCOMPARE(editorText(w), QString::fromUtf8(Document::defaultPage()));
        QCOMPARE(recentEntries(w), QStringList { u"（还没有打开过网页）"_s });
    }

    void droppedPageOpensAfterTheSaveQuestion_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("opens");
        QTest::newRow("on the window, No") << u"window"_s << u"no"_s << true;
        QTest::newRow("on the editor, No") << u"editor"_s << u"no"_s << true;
        QTest::newRow("on the editor, dismissed") << u"editor"_s << u"dismiss"_s << false;
    }
    void droppedPageOpensAfterTheSaveQuestion()
    {
        QFETCH(QString, target);
        QFETCH(QString, answer);
        QFETCH(bool, opens);
        MainWindowFixture f;
        f.put(u"dropped.html"_s, "<html>dropped</html>");
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        editor->setFocus();
        QTest::keyClicks(editor, u"x"_s);
        const QString typed = editorText(w);
        QWidget *on = target == u"window"_s ? static_cast<QWidget *>(&w) : editor->viewport();
        f.dialogs.expect(Kind::Question, answer);
        dropFiles(on, { f.folder() + u"dropped.html"_s });
        QTRY_COMPARE(f.dialogs.calls.size(), 1);
        QCOMPARE(f.dialogs.calls.first().text, SaveQuestion);
        if (opens) {
            QTRY_COMPARE(shownTitle(w), f.folder() + u"dropped.html"_s);
            QCOMPARE(editorText(w), u"<html>dropped</html>"_s);
            QCOMPARE(recentEntries(w).first(), u"&1  "_s + f.folder() + u"dropped.html"_s);
        } else {
            QCOMPARE(shownTitle(w), u"新文件*"_s);
            QCOMPARE(editorText(w), typed);
        }
        // The path never went into the page as text.
        QVERIFY(!editorText(w).contains(u"file:"_s));
    }

    void droppedFileThatIsNoPageIsRefused_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("said");
        QTest::newRow("a picture") << QStringList { u"图片.png"_s }
                                   << u"只能打开网页文件（.htm、.html）：\n%1图片.png"_s;
        QTest::newRow("no extension") << QStringList { u"readme"_s }
                                      << u"只能打开网页文件（.htm、.html）：\n%1readme"_s;
        QTest::newRow("two pages") << QStringList { u"a.htm"_s, u"b.htm"_s } << u"一次只能拖入一个网页文件。"_s;
    }
    void droppedFileThatIsNoPageIsRefused()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, said);
        MainWindowFixture f;
        QStringList paths;
        for (const QString &name : names) {
            f.put(name, "<html></html>");
            paths << f.folder() + name;
        }
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        f.dialogs.expect(Kind::Message);
        dropFiles(control<QsciScintilla>(w, u"RichEdit1"_s)->viewport(), paths);
        QTRY_COMPARE(f.dialogs.calls.size(), 1);
        QCOMPARE(f.dialogs.calls.first().kind, Kind::Message);
        QCOMPARE(f.dialogs.calls.first().text, said.contains(u"%1"_s) ? said.arg(f.folder()) : said);
        QCOMPARE(shownTitle(w), u"新文件"_s);
        QCOMPARE(editorText(w), QString::fromUtf8(Document::defaultPage()));
    }

    void droppedTextStillGoesIntoThePage()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        QMimeData data;
        data.setText(u"<b>拖入</b>"_s);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &drop);
        QVERIFY(editorText(w).contains(u"<b>拖入</b>"_s));
        QCOMPARE(shownTitle(w), u"新文件*"_s);
    }

    void recentPagesListTheLastTenOpenedOrSavedMostRecentFirst()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        for (int i = 1; i <= 11; ++i) {
            f.put(u"p%1.htm"_s.arg(i), "<html></html>");
            w.openPageAt(f.folder() + u"p%1.htm"_s.arg(i));
        }
        // Opened through the dialog, and again: it goes to the top once.
        f.dialogs.expect(Kind::OpenFile, f.folder() + u"p5.htm"_s);
        w.openPage();
        // Saved under a new name.
        f.dialogs.expect(Kind::SaveFile, f.folder() + u"新名 & 字.htm"_s);
        w.savePageAs();
        QStringList expected { u"&1  "_s + f.folder() + u"新名 && 字.htm"_s, u"&2  "_s + f.folder() + u"p5.htm"_s };
        for (int i = 11, n = 3; n <= 10; --i) {
            if (i == 5)
                continue;
            expected << u"&%1  "_s.arg(n == 10 ? 0 : n) + f.folder() + u"p%1.htm"_s.arg(i);
            ++n;
        }
        expected << QString() << u"清空列表(&C)"_s;
        QCOMPARE(recentEntries(w), expected);
        QCOMPARE(recentEntry(w, 1)->toolTip(), f.folder() + u"新名 & 字.htm"_s);
        // A page saved again under its name is already on top: nothing moves.
        w.openPageAt(f.folder() + u"p9.htm"_s);
        QCOMPARE(recentEntries(w).at(0), u"&1  "_s + f.folder() + u"p9.htm"_s);
        QCOMPARE(recentEntries(w).at(1), u"&2  "_s + f.folder() + u"新名 && 字.htm"_s);
        QVERIFY(f.dialogs.allAnswersUsed());
    }

    void choosingARecentPageOpensItAfterTheSaveQuestion()
    {
        MainWindowFixture f;
        f.put(u"a.htm"_s, "<html>a</html>");
        f.put(u"b.htm"_s, "<html>b</html>");
        MainWindow &w = f.create();
        w.openPageAt(f.folder() + u"a.htm"_s);
        w.openPageAt(f.folder() + u"b.htm"_s);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        editor->setFocus();
        QTest::keyClicks(editor, u"x"_s);
        f.dialogs.expect(Kind::Question, u"no"_s);
        recentEntry(w, 2)->trigger();
        QCOMPARE(f.dialogs.calls.size(), 1);
        QCOMPARE(f.dialogs.calls.first().text, SaveQuestion);
        QCOMPARE(shownTitle(w), f.folder() + u"a.htm"_s);
        QCOMPARE(editorText(w), u"<html>a</html>"_s);
        QCOMPARE(recentEntries(w).mid(0, 2),
            (QStringList { u"&1  "_s + f.folder() + u"a.htm"_s, u"&2  "_s + f.folder() + u"b.htm"_s }));
    }

    void recentPageThatIsGoneIsSaidAndDropped()
    {
        MainWindowFixture f;
        f.put(u"a.htm"_s, "<html>a</html>");
        f.put(u"gone.htm"_s, "<html>gone</html>");
        MainWindow &w = f.create();
        w.openPageAt(f.folder() + u"gone.htm"_s);
        w.openPageAt(f.folder() + u"a.htm"_s);
        QVERIFY(QFile::remove(f.folder() + u"gone.htm"_s));
        f.dialogs.expect(Kind::Message);
        recentEntry(w, 2)->trigger();
        QCOMPARE(f.dialogs.calls.size(), 1);
        QCOMPARE(f.dialogs.calls.first().text,
            u"网页文件已不存在，已从最近打开的网页中去掉：\n"_s + f.folder() + u"gone.htm"_s);
        QCOMPARE(shownTitle(w), f.folder() + u"a.htm"_s);
        QCOMPARE(recentEntries(w), (QStringList { u"&1  "_s + f.folder() + u"a.htm"_s, QString(), u"清空列表(&C)"_s }));
        control<QAction>(w, u"ClearRecentPages1"_s)->trigger();
        QCOMPARE(recentEntries(w), QStringList { u"（还没有打开过网页）"_s });
    }
};

QTEST_MAIN(TestOpenPages)
#include "tst_openpages.moc"
