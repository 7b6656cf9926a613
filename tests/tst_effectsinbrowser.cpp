// The shipped effects set up as a user would, pasted into the new-page text, saved beside the copied
// files and opened in a browser view.
#include "mainwindowfixture.h"

#include "effects/imageeffectwindow.h"
#include "effects/menueffectwindow.h"
#include "effects/texteffectwindow.h"
#include "librarylayout.h"
#include "library/categoryindex.h"
#include "library/effectindex.h"
#include "library/effectkind.h"
#include "platform/localfilesystem.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatlineedit.h"
#include "widgets/numericedit.h"
#include "widgets/spinedit.h"
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

    // Pastes the clipboard code into the new-page text, saves it beside the copied files and opens it:
    // no script error, the check expression gives its count and every picture is decoded.
    static void checkInPage(MainWindowFixture &f, const QString &site, const QString &check, int count, int pictures)
    {
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
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(watcher, check).toInt(), count, 10000);
        // Every picture in the page is decoded, the effect's own ones included.
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(watcher, u"Array.from(document.images).filter(i => !(i.complete && i.naturalWidth > 0)).length"_s)
                .toInt(),
            0, 10000);
        // The code names every picture the user gave it.
        for (int i = 0; i < pictures; ++i)
            QVERIFY2(code.contains(u"photo%1.jpg"_s.arg(i)), qPrintable(u"photo%1.jpg"_s.arg(i)));
        QVERIFY2(watcher.errors.isEmpty(), qPrintable(watcher.errors.join(u'\n')));
    }

    // Presses the copy button (a folder is asked for when the effect has files) and checks the page
    // against the effect's [check] answers.
    static void copyAndCheck(MainWindowFixture &f, const QString &effect, bool asksForFolder, QAbstractButton *copy,
                             int pictures)
    {
        const QString site = f.folder() + u"site"_s;
        QDir().mkpath(site);
        if (asksForFolder)
            f.dialogs.expect(ScriptedDialogs::Kind::BrowseFolder, site);
        copy->click();
        QVERIFY(f.dialogs.allAnswersUsed());
        checkInPage(f, site, selectorCheck(effect), answer(effect, u"check/count"_s).toInt(), pictures);
    }

    // How many elements the effect's check selector matches.
    static QString selectorCheck(const QString &effect)
    {
        QString selector = answer(effect, u"check/selector"_s);
        selector.replace(u"\\"_s, u"\\\\"_s).replace(u"'"_s, u"\\'"_s);
        return u"document.querySelectorAll('%1').length"_s.arg(selector);
    }

    static QString makePicture(MainWindowFixture &f, int n)
    {
        const QColor colours[] = {Qt::red, Qt::darkGreen, Qt::blue, Qt::darkYellow};
        const QString picture = f.folder() + u"pics/photo%1.jpg"_s.arg(n);
        QDir().mkpath(f.folder() + u"pics"_s);
        QImage image(120, 90, QImage::Format_RGB32);
        image.fill(colours[n % 4]);
        image.save(picture, "JPG");
        return picture;
    }

    static std::unique_ptr<MainWindowFixture> shippedLibrary()
    {
        auto f = std::make_unique<MainWindowFixture>();
        if (!LibraryLayout(QStringLiteral(VELLUMO_LIBRARY_SOURCE), f->dir.path()).run().isEmpty())
            return nullptr;
        f->create();
        return f;
    }

    // The scripted answers kept with the tests: "section/key" of a UTF-8 file, the value as written.
    static QString answer(const QString &effect, const QString &key)
    {
        const QString file = QFINDTESTDATA(u"fixtures/shippedeffects/"_s + effect + u".ini"_s);
        QString section;
        for (const QString &line : QString::fromUtf8(TestFiles::read(file)).split(u'\n')) {
            if (line.startsWith(u'['))
                section = line.mid(1, line.indexOf(u']') - 1);
            else if (const qsizetype eq = line.indexOf(u'='); eq > 0 && !line.startsWith(u';')
                     && section + u'/' + line.left(eq).trimmed() == key)
                return line.mid(eq + 1).trimmed();
        }
        return {};
    }

    void setUpImages(MainWindowFixture &f, const QString &category, const QString &effect, int *pictures)
    {
        MainWindow &w = *f.window;
        SetupContext context{f.platform, w.applicationFolder(), category, effect, w.Memo2, w.Memo1, w.RichEdit2};
        ImageEffectWindow window(context, &w);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int added = 0;
        while (SetupFlow::canAddImage(window.effect().state)) {
            f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, makePicture(f, added++));
            window.Button4->click();
        }
        const int needed = window.ListBox1->count();
        for (int k = 0; window.effect().state.sizeCounter < needed; ++k) {
            window.NumEdit1->setText(QString::number(200 + 10 * k));
            window.NumEdit2->setText(QString::number(150 + 10 * k));
            window.SpeedButton2->click();
        }
        *pictures = added;
        copyAndCheck(f, effect, true, window.Button5, *pictures);
    }

    void setUpText(MainWindowFixture &f, const QString &category, const QString &effect)
    {
        MainWindow &w = *f.window;
        SetupContext context{f.platform, w.applicationFolder(), category, effect, w.Memo2, w.Memo1, w.RichEdit2};
        TextEffectWindow window(context, &w);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (const QString count = answer(effect, u"inputs/count"_s); !count.isEmpty())
            window.RxSpinEdit1->setValue(count.toInt());
        if (const QString font = answer(effect, u"inputs/font"_s); !font.isEmpty())
            window.RFlatComboBox2->setEditText(font);
        if (const QString colour = answer(effect, u"inputs/colour"_s); !colour.isEmpty())
            window.v11->setText(colour);
        for (const QString &row : answer(effect, u"inputs/rows"_s).split(u'|')) {
            window.RFlatEdit1->setText(row);
            window.SpeedButton3->click();
        }
        copyAndCheck(f, effect, window.ListBox1->count() + window.ListBox2->count() > 0, window.SpeedButton5, 0);
    }

    void setUpMenu(MainWindowFixture &f, const QString &category, const QString &effect)
    {
        MainWindow &w = *f.window;
        bool parentMenuNeeded = true;
        SetupContext context{f.platform, w.applicationFolder(), category, effect, w.Memo2, w.Memo1, w.RichEdit2,
                             &parentMenuNeeded};
        MenuEffectWindow window(context, &w);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QStringList size = answer(effect, u"inputs/size"_s).split(u',', Qt::SkipEmptyParts);
        if (size.size() == 2) {
            window.NumEdit1->setText(size[0]);
            window.NumEdit2->setText(size[1]);
            window.SpeedButton7->click();
        }
        const bool withPictures = answer(effect, u"inputs/images"_s).toInt() > 0;
        int pictures = 0;
        for (const QString &menu : answer(effect, u"inputs/menus"_s).split(u';')) {
            const QString parent = menu.section(u':', 0, 0);
            const QStringList submenus = menu.section(u':', 1).split(u',');
            if (!parent.isEmpty()) {
                window.Edit1->setText(parent);
                window.SpeedButton2->click();
            }
            window.RxSpinEdit1->setValue(int(submenus.size()));
            for (const QString &submenu : submenus) {
                if (withPictures) {
                    f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, makePicture(f, pictures++));
                    window.SpeedButton4->click();
                }
                window.Edit2->setText(submenu.section(u'=', 0, 0));
                window.Edit3->setText(submenu.section(u'=', 1));
                window.SpeedButton3->click();
            }
        }
        copyAndCheck(f, effect, window.ListBox1->count() + window.ListBox2->count() > 0, window.SpeedButton5, pictures);
    }

private slots:
    // Every effect the library lists, set up as a user would, pasted into the new-page text, saved
    // beside the copied files and opened in a browser view: no script error, the element the effect
    // makes is there, and every picture in the page is shown.
    void everyShippedEffectWorksInAPage_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("kind");
        QTemporaryDir folder;
        QVERIFY(LibraryLayout(QStringLiteral(VELLUMO_LIBRARY_SOURCE), folder.path()).run().isEmpty());
        LocalFileSystem files;
        const QString app = folder.path() + u'/';
        int rows = 0;
        for (const QString &category : CategoryIndex(files, app).categories()) {
            const std::optional<QStringList> effects = EffectIndex(files, app).effects(category);
            for (const QString &effect : effects.value_or(QStringList())) {
                const QString kind = EffectIndex(files, app).kind(category, effect);
                QTest::newRow(qPrintable(category + u'/' + effect)) << category << effect << kind;
                ++rows;
            }
        }
        QVERIFY(rows > 0);
    }

    void everyShippedEffectWorksInAPage()
    {
        QFETCH(QString, category);
        QFETCH(QString, effect);
        QFETCH(QString, kind);
        QVERIFY2(!QFINDTESTDATA(u"fixtures/shippedeffects/"_s + effect + u".ini"_s).isEmpty(),
                 "every shipped effect has its answers and its check");
        const auto f = shippedLibrary();
        QVERIFY(f);
        int pictures = 0;
        switch (EffectKinds::fromText(kind)) {
        case EffectKind::SimpleCopy: {
            MainWindow &w = *f->window;
            w.ComboBox1->setEditText(category);
            w.ComboBox3->setEditText(effect);
            f->dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
            w.startEffect();
            const QString site = f->folder() + u"site"_s;
            QDir().mkpath(site);
            checkInPage(*f, site, selectorCheck(effect), answer(effect, u"check/count"_s).toInt(), 0);
            break;
        }
        case EffectKind::Image:
            setUpImages(*f, category, effect, &pictures);
            break;
        case EffectKind::Menu:
            setUpMenu(*f, category, effect);
            break;
        case EffectKind::Text:
            setUpText(*f, category, effect);
            break;
        default:
            QFAIL(qPrintable(u"unusable kind "_s + kind));
        }
    }
};

QTEST_MAIN(TestEffectsInBrowser)
#include "tst_effectsinbrowser.moc"
