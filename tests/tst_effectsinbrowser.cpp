// The shipped image effects set up as a user would, pasted into the new-page text, saved beside the
// copied files and opened in a browser view: no script error, every picture shown.
#include "mainwindowfixture.h"

#include "effects/tvc2_form.h"
#include "librarylayout.h"
#include "widgets/numericedit.h"
#include "widgets/textbufferedit.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace {
class ConsoleWatcher : public QWebEnginePage
{
public:
    QStringList errors;
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override
    {
        if (level == ErrorMessageLevel)
            errors << u"%1:%2: %3"_s.arg(source).arg(line).arg(message);
    }
};

QVariant evaluate(QWebEnginePage &page, const QString &script)
{
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    QSignalSpy never(&page, &QObject::destroyed);
    for (int i = 0; i < 100 && !done; ++i)
        never.wait(100);
    return result;
}
}

class TestEffectsInBrowser : public QObject
{
    Q_OBJECT

private slots:
    void imageEffectsWorkInAPage_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<int>("pictures");
        QTest::newRow("淡入淡出轮播") << u"淡入淡出轮播"_s << 3;
        QTest::newRow("悬停放大相册") << u"悬停放大相册"_s << 3;
    }

    void imageEffectsWorkInAPage()
    {
        QFETCH(QString, effect);
        QFETCH(int, pictures);
        MainWindowFixture f;
        QVERIFY(LibraryLayout(QStringLiteral(VELLUMO_LIBRARY_SOURCE), f.dir.path()).run().isEmpty());
        TForm1 &w = f.create();
        const QString category = u"图片特效"_s;
        SetupContext context{f.platform, w.applicationFolder(), category, effect, w.Memo2, w.Memo1, w.RichEdit2};
        TVC2_FORM window(context, &w);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QColor colours[] = {Qt::red, Qt::darkGreen, Qt::blue, Qt::darkYellow};
        int added = 0;
        while (window.ListBox1->count() < pictures) {
            const QString picture = f.folder() + u"pics/photo%1.jpg"_s.arg(added);
            QDir().mkpath(f.folder() + u"pics"_s);
            QImage image(120, 90, QImage::Format_RGB32);
            image.fill(colours[added % 4]);
            QVERIFY(image.save(picture, "JPG"));
            f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, picture);
            window.Button4->click();
            ++added;
        }
        for (int k = window.ListBox4->count(); window.effect().state.sizeCounter < pictures; ++k) {
            window.NumEdit1->setText(QString::number(200 + 10 * k));
            window.NumEdit2->setText(QString::number(150 + 10 * k));
            window.SpeedButton2->click();
        }
        const QString site = f.folder() + u"site"_s;
        QDir().mkpath(site);
        f.dialogs.expect(ScriptedDialogs::Kind::BrowseFolder, site);
        window.Button5->click();
        QVERIFY(f.dialogs.allAnswersUsed());
        const QString code = f.clipboard.text();
        QVERIFY(!code.isEmpty());

        QFile blank(f.folder() + u"lines.txt"_s);
        QVERIFY(blank.open(QIODevice::ReadOnly));
        QString page = Ansi::decode(blank.readAll());
        const qsizetype body = page.indexOf(u"</body>"_s);
        QVERIFY(body > 0);
        page.insert(body, code);
        const QString pagePath = site + u"/index.htm"_s;
        QFile out(pagePath);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(Ansi::encode(page));
        out.close();

        QWebEngineView view;
        ConsoleWatcher watcher(&view);
        view.setPage(&watcher);
        view.resize(900, 700);
        view.show();
        bool loaded = false;
        connect(&watcher, &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
        view.load(QUrl::fromLocalFile(pagePath));
        QTRY_VERIFY_WITH_TIMEOUT(loaded, 30000);
        // Every picture of the effect is in the page and has been decoded.
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(watcher, u"Array.from(document.images).filter(i => i.complete && i.naturalWidth > 0).length"_s)
                .toInt(),
            pictures, 10000);
        QVERIFY2(watcher.errors.isEmpty(), qPrintable(watcher.errors.join(u'\n')));
    }
};

QTEST_MAIN(TestEffectsInBrowser)
#include "tst_effectsinbrowser.moc"
