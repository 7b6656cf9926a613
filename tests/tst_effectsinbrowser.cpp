// The shipped effects set up as a user would: each shows in its sandboxed preview as the clipboard
// will carry it, then is pasted into the new-page text, saved beside the copied files and opened in a
// browser view.
#include "mainwindowfixture.h"
#include "pagereading.h"

#include "app/effectpanelpreview.h"
#include "editor/browserview.h"

#include "effects/imageeffectwindow.h"
#include "effects/menueffectwindow.h"
#include "effects/texteffectwindow.h"
#include "library/categoryindex.h"
#include "library/effectindex.h"
#include "library/effectkind.h"
#include "librarylayout.h"
#include "platform/localfilesystem.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatlineedit.h"
#include "widgets/numericedit.h"
#include "widgets/spinedit.h"

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
    void javaScriptConsoleMessage(
        JavaScriptConsoleMessageLevel level, const QString &message, int line, const QString &source) override
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

    // The effect in a preview: the check expression gives its count, every picture is decoded, and
    // the line has neither a script error nor a refusal.
    static void checkInPreview(EffectPreviewPane &pane, const QString &effect)
    {
        const int count = answer(effect, u"check/count"_s).toInt();
        // The preview is smaller than a browser's window: the page is scrolled down a little at each
        // look, as a user would, so what shows as it comes into view is seen.
        const QString scrolled = u"(window.scrollBy(0, 40), "_s + selectorCheck(effect) + u')';
        QTRY_COMPARE_WITH_TIMEOUT(readInPage(pane, scrolled).toInt(), count, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(
            readInPage(pane, u"Array.from(document.images).filter(i => !(i.complete && i.naturalWidth > 0)).length"_s),
            u"0"_s, 10000);
        QVERIFY2(pane.line().startsWith(u"没有脚本错误"_s), qPrintable(pane.fullLine()));
    }

    // Presses the copy button (a folder is asked for when the effect has files) and checks the page
    // against the effect's [check] answers, in the window's preview first.
    static void copyAndCheck(MainWindowFixture &f, SetupWindow &window, const QString &effect, bool asksForFolder,
        QAbstractButton *copy, int pictures)
    {
        QVERIFY(window.preview());
        checkInPreview(*window.preview(), effect);
        const QString site = f.folder() + u"site"_s;
        QDir().mkpath(site);
        if (asksForFolder)
            f.dialogs.expect(ScriptedDialogs::Kind::BrowseFolder, site);
        copy->click();
        QVERIFY(f.dialogs.allAnswersUsed());
        checkInPage(f, site, selectorCheck(effect), answer(effect, u"check/count"_s).toInt(), pictures);
    }

    // Whether the window lists pictures or text files, which the copy then asks a folder for.
    static bool hasFilesToCopy(const SetupWindow &window)
    {
        return control<QListWidget>(window, u"ListBox1"_s)->count()
            + control<QListWidget>(window, u"ListBox2"_s)->count()
            > 0;
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
        const QColor colours[] = { Qt::red, Qt::darkGreen, Qt::blue, Qt::darkYellow };
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
        f->previews = true;
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
            else if (const qsizetype eq = line.indexOf(u'=');
                     eq > 0 && !line.startsWith(u';') && section + u'/' + line.left(eq).trimmed() == key)
                return line.mid(eq + 1).trimmed();
        }
        return {};
    }

    void setUpImages(MainWindowFixture &f, const QString &category, const QString &effect, int *pictures)
    {
        ImageEffectWindow window(f.setupContext(category, effect), f.window.get());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *addImage = control<QPushButton>(window, u"Button4"_s);
        auto *width = control<NumericEdit>(window, u"NumEdit1"_s);
        auto *height = control<NumericEdit>(window, u"NumEdit2"_s);
        auto *setSize = control<QToolButton>(window, u"SpeedButton2"_s);
        int added = 0;
        while (SetupFlow::canAddImage(window.effect().state)) {
            f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, makePicture(f, added++));
            addImage->click();
        }
        const int needed = control<QListWidget>(window, u"ListBox1"_s)->count();
        for (int k = 0; window.effect().state.sizeCounter < needed; ++k) {
            width->setText(QString::number(200 + 10 * k));
            height->setText(QString::number(150 + 10 * k));
            setSize->click();
        }
        *pictures = added;
        copyAndCheck(f, window, effect, true, control<QPushButton>(window, u"Button5"_s), *pictures);
    }

    void setUpText(MainWindowFixture &f, const QString &category, const QString &effect)
    {
        TextEffectWindow window(f.setupContext(category, effect), f.window.get());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (const QString count = answer(effect, u"inputs/count"_s); !count.isEmpty())
            control<SpinEdit>(window, u"RxSpinEdit1"_s)->setValue(count.toInt());
        if (const QString font = answer(effect, u"inputs/font"_s); !font.isEmpty())
            control<FlatComboBox>(window, u"RFlatComboBox2"_s)->setEditText(font);
        if (const QString colour = answer(effect, u"inputs/colour"_s); !colour.isEmpty())
            control<FlatLineEdit>(window, u"v11"_s)->setText(colour);
        auto *text = control<FlatLineEdit>(window, u"RFlatEdit1"_s);
        auto *addRows = control<QToolButton>(window, u"SpeedButton3"_s);
        for (const QString &row : answer(effect, u"inputs/rows"_s).split(u'|')) {
            text->setText(row);
            addRows->click();
        }
        copyAndCheck(f, window, effect, hasFilesToCopy(window), control<QToolButton>(window, u"SpeedButton5"_s), 0);
    }

    void setUpMenu(MainWindowFixture &f, const QString &category, const QString &effect)
    {
        bool parentMenuNeeded = true;
        MenuEffectWindow window(f.setupContext(category, effect, &parentMenuNeeded), f.window.get());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QStringList size = answer(effect, u"inputs/size"_s).split(u',', Qt::SkipEmptyParts);
        if (size.size() == 2) {
            control<NumericEdit>(window, u"NumEdit1"_s)->setText(size[0]);
            control<NumericEdit>(window, u"NumEdit2"_s)->setText(size[1]);
            control<QToolButton>(window, u"SpeedButton7"_s)->click();
        }
        auto *parentName = control<FlatLineEdit>(window, u"Edit1"_s);
        auto *submenuName = control<FlatLineEdit>(window, u"Edit2"_s);
        auto *link = control<FlatLineEdit>(window, u"Edit3"_s);
        auto *submenuCount = control<SpinEdit>(window, u"RxSpinEdit1"_s);
        auto *addParent = control<QToolButton>(window, u"SpeedButton2"_s);
        auto *addSubmenu = control<QToolButton>(window, u"SpeedButton3"_s);
        auto *addImage = control<QToolButton>(window, u"SpeedButton4"_s);
        const bool withPictures = answer(effect, u"inputs/images"_s).toInt() > 0;
        int pictures = 0;
        for (const QString &menu : answer(effect, u"inputs/menus"_s).split(u';')) {
            const QString parent = menu.section(u':', 0, 0);
            const QStringList submenus = menu.section(u':', 1).split(u',');
            if (!parent.isEmpty()) {
                parentName->setText(parent);
                addParent->click();
            }
            submenuCount->setValue(int(submenus.size()));
            for (const QString &submenu : submenus) {
                if (withPictures) {
                    f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, makePicture(f, pictures++));
                    addImage->click();
                }
                submenuName->setText(submenu.section(u'=', 0, 0));
                link->setText(submenu.section(u'=', 1));
                addSubmenu->click();
            }
        }
        copyAndCheck(
            f, window, effect, hasFilesToCopy(window), control<QToolButton>(window, u"SpeedButton5"_s), pictures);
    }

private slots:
    void initTestCase()
    {
        // The previews' engine is readied before this test's own browser views start it.
        const Explained<BrowserView *> browser = BrowserView::create(nullptr, BrowserView::Purpose::EffectPreview);
        QVERIFY2(browser, qPrintable(browser.why()));
        delete *browser;
    }

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
            w.show();
            auto *categories = control<FlatComboBox>(w, u"ComboBox1"_s);
            categories->setCurrentIndex(categories->findText(category));
            emit categories->activated(categories->currentIndex());
            auto *effects = control<FlatComboBox>(w, u"ComboBox3"_s);
            effects->setCurrentIndex(effects->findText(effect));
            emit effects->activated(effects->currentIndex());
            checkInPreview(*control<EffectPanelPreview>(w, u"PanelPreview"_s)->pane(), effect);
            f->dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
            control<QToolButton>(w, u"SpeedButton7"_s)->click();
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
