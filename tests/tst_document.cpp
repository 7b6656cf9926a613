#include "editor/document.h"
#include "editor/pagecodec.h"
#include "editor/pagedeclaration.h"
#include "editor/pagereader.h"
#include "editor/recoverycopy.h"
#include "editor/stringdocumentview.h"
#include "library/inicache.h"
#include "platform/ansi.h"
#include "platform/vellumoerror.h"
#include "support/scripteddialogs.h"
#include "support/scriptedfilesystem.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <cstdio>
#include <new>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testfiles.h"

using namespace Qt::StringLiterals;
using Kind = ScriptedDialogs::Kind;

Q_DECLARE_METATYPE(PageEncoding)
Q_DECLARE_METATYPE(ScriptedFileSystem::ReadFault)

namespace {
// What the user reads about the file on disk, word for word.
QString changedQuestion(const QString &page)
{
    return u"网页文件已被其他程序修改：\n%1\n是否重新载入？选“否”则保留编辑器中的内容。"_s.arg(page);
}

QString overwriteQuestion(const QString &page)
{
    return u"网页文件已被其他程序修改：\n%1\n是否仍要覆盖？"_s.arg(page);
}

QString goneMessage(const QString &page)
{
    return u"网页文件已被删除或移走：\n%1\n编辑器中的内容仍在，保存时将重新创建此文件。"_s.arg(page);
}

QByteArray crlf(QByteArray text)
{
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    text.replace("\n", "\r\n");
    return text;
}
}

namespace {
// Another program adds to the file in place, as an editor appending a line or a logger does.
void appendOutside(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Pieces of a page as a reader hands them over, a fault chosen by the test after some of them.
class PieceReader : public LocalFileSystem
{
public:
    enum class Fault { None, ReadFails, Throws };
    PieceReader(QList<QByteArray> pieces, Fault fault)
        : m_pieces(std::move(pieces))
        , m_fault(fault)
    {
    }
    bool readPieces(const QString &, const std::function<void(QByteArrayView)> &piece) const override
    {
        reader = QThread::currentThread();
        for (const QByteArray &p : m_pieces) {
            piece(p);
            ++handed;
        }
        if (m_fault == Fault::Throws)
            throw std::runtime_error("disk gone");
        return m_fault != Fault::ReadFails;
    }
    mutable std::atomic<int> handed { 0 };
    mutable std::atomic<QThread *> reader { nullptr };

private:
    QList<QByteArray> m_pieces;
    Fault m_fault;
};
}

class TestDocument : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        QTemporaryDir dir;
        QStringList unexpected;
        ScriptedDialogs dialogs { [this](const QString &what) { unexpected << what; } };
        ScriptedFileSystem files;
        StringDocumentView view;
        Document document { view, dialogs, files, dir.path() + u'/' };

        Fixture()
        {
            TestFiles::write(path(u"lines.txt"_s), Ansi::encode(u"<html>新页</html>\n"_s));
            document.showDefaultPage();
        }
        QString path(const QString &name) const { return dir.filePath(name); }
        // A page file of these bytes, opened as the page.
        QString open(const QString &name, const QByteArray &bytes)
        {
            TestFiles::write(path(name), bytes);
            dialogs.expect(Kind::OpenFile, path(name));
            document.openPage();
            return path(name);
        }
        QStringList textsFrom(qsizetype first) const
        {
            QStringList texts;
            for (qsizetype i = first; i < dialogs.calls.size(); ++i)
                texts << dialogs.calls[i].text;
            return texts;
        }
        QString error(const std::function<void()> &f)
        {
            try {
                f();
            } catch (const VellumoError &e) {
                return e.message();
            }
            return {};
        }
    };

private slots:
    void startsWithTheDefaultPage()
    {
        Fixture f;
        QCOMPARE(f.view.caption(), u"新文件"_s);
        QVERIFY(!f.view.isModified());
        QCOMPARE(f.view.text.split('\n').size(), 12);
        QVERIFY(f.view.text.contains("content=\"text/html; \r\ncharset=gb2312\">"));
    }

    void saveOfANewPageAsksForAName()
    {
        Fixture f;
        f.view.type("x");
        f.dialogs.expect(Kind::SaveFile, f.path(u"page"_s));
        f.document.savePage();
        QCOMPARE(f.dialogs.calls[0].request.defaultExtension, u"htm"_s);
        QCOMPARE(f.dialogs.calls[0].request.filter, u"htm file|*.htm;*.html"_s);
        // A page without a name leaves the folder to the dialogs' memory.
        QCOMPARE(f.dialogs.calls[0].request.folder, QString());
        QCOMPARE(f.view.caption(), f.path(u"page.htm"_s));
        QVERIFY(!f.view.isModified());
        QCOMPARE(TestFiles::read(f.path(u"page.htm"_s)), Ansi::encode(QString::fromUtf8(f.view.text)));
        // A named page saves silently, also unchanged.
        QVERIFY(QFile::remove(f.path(u"page.htm"_s)));
        f.document.savePage();
        QCOMPARE(TestFiles::read(f.path(u"page.htm"_s)), Ansi::encode(QString::fromUtf8(f.view.text)));
        QCOMPARE(f.dialogs.calls.size(), 1);
        QVERIFY(f.unexpected.isEmpty());
    }

    void saveAsOntoAnExistingFileAsks()
    {
        Fixture f;
        TestFiles::write(f.path(u"old.htm"_s), "old");
        f.view.type("x");
        f.dialogs.expect(Kind::SaveFile, f.path(u"old.htm"_s));
        f.dialogs.expect(Kind::Question, u"no"_s);
        f.document.savePageAs();
        QCOMPARE(f.dialogs.calls[1].text, u"网页文件已经存在，是否要覆盖"_s);
        QCOMPARE(f.dialogs.calls[1].caption, u"询问"_s);
        QCOMPARE(TestFiles::read(f.path(u"old.htm"_s)), QByteArray("old"));
        QCOMPARE(f.view.caption(), u"新文件"_s);
        QVERIFY(f.view.isModified());
        f.dialogs.expect(Kind::SaveFile, f.path(u"old.htm"_s));
        f.dialogs.expect(Kind::Question, u"yes"_s);
        f.document.savePageAs();
        QCOMPARE(f.view.caption(), f.path(u"old.htm"_s));
        QVERIFY(!f.view.isModified());
        // Save As and Open of a named page start in its folder.
        f.dialogs.expect(Kind::SaveFile, QString());
        f.document.savePageAs();
        f.dialogs.expect(Kind::OpenFile, QString());
        f.document.openPage();
        QCOMPARE(f.dialogs.calls[f.dialogs.calls.size() - 2].request.folder, f.dir.path() + u"/"_s);
        QCOMPARE(f.dialogs.calls.last().request.folder, f.dir.path() + u"/"_s);
        QVERIFY(f.unexpected.isEmpty());
    }

    void newAndOpenAskAboutUnsavedChanges_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("savedAs");
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("new, no") << false << u"no"_s << QString() << true;
        QTest::newRow("new, yes, cancelled") << false << u"yes"_s << QString() << false;
        QTest::newRow("new, yes, saved") << false << u"yes"_s << u"saved.htm"_s << true;
        QTest::newRow("open, no") << true << u"no"_s << QString() << true;
        QTest::newRow("open, yes, cancelled") << true << u"yes"_s << QString() << false;
        QTest::newRow("open, yes, saved") << true << u"yes"_s << u"saved.htm"_s << true;
    }
    void newAndOpenAskAboutUnsavedChanges()
    {
        QFETCH(bool, open);
        QFETCH(QString, answer);
        QFETCH(QString, savedAs);
        QFETCH(bool, goesOn);
        Fixture f;
        TestFiles::write(f.path(u"other.htm"_s), Ansi::encode(u"<p>其他</p>"_s));
        f.view.type("edited");
        const QByteArray edited = f.view.text;
        f.dialogs.expect(Kind::Question, answer);
        if (answer == u"yes"_s)
            f.dialogs.expect(Kind::SaveFile, savedAs.isEmpty() ? QString() : f.path(savedAs));
        if (open && goesOn)
            f.dialogs.expect(Kind::OpenFile, f.path(u"other.htm"_s));
        open ? f.document.openPage() : f.document.newPage();
        QCOMPARE(f.dialogs.calls[0].text, u"网页文件已经被修改，是否要进行存盘"_s);
        QVERIFY(f.unexpected.isEmpty());
        if (!savedAs.isEmpty())
            QCOMPARE(TestFiles::read(f.path(savedAs)), Ansi::encode(QString::fromUtf8(edited)));
        if (!goesOn) {
            QCOMPARE(f.view.text, edited);
            QVERIFY(f.view.isModified());
            QCOMPARE(f.view.caption(), u"新文件"_s);
            return;
        }
        QVERIFY(!f.view.isModified());
        QCOMPARE(f.view.caption(), open ? f.path(u"other.htm"_s) : u"新文件"_s);
        QCOMPARE(QString::fromUtf8(f.view.text), open ? u"<p>其他</p>"_s : u"<html>新页</html>\r\n"_s);
    }

    // What a killed save left beside a page goes at the next save or open there: only the writers'
    // own hidden names, only old ones; a save of another instance still writing keeps its file.
    void aKilledSavesLeftoverGoesAtTheNextSaveOrOpen_data()
    {
        QTest::addColumn<bool>("byOpening");
        QTest::newRow("save") << false;
        QTest::newRow("open") << true;
    }

    void aKilledSavesLeftoverGoesAtTheNextSaveOrOpen()
    {
        QFETCH(bool, byOpening);
        Fixture f;
        const QString site = f.path(u"site/"_s);
        TestFiles::write(site + u"page.htm"_s, "<p>page</p>");
        const QStringList leftovers { u".page.htm.vellumo-ab12CD"_s, u".other.htm.vellumo-Zz9yX8"_s };
        const QStringList kept { u".page.htm.vellumo-new123"_s, u"page.htm.backup"_s, u"page.htm.ab12CD"_s,
            u".page.htm.vellumo-ab12"_s, u"page.htm"_s };
        const timespec hourAgo[2] = { { time(nullptr) - 3600, 0 }, { time(nullptr) - 3600, 0 } };
        for (const QString &name : leftovers + kept) {
            if (name != u"page.htm"_s)
                TestFiles::write(site + name, "left");
            if (name != u".page.htm.vellumo-new123"_s)
                QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(site + name).constData(), hourAgo, 0), 0);
        }
        if (byOpening) {
            f.dialogs.expect(Kind::OpenFile, site + u"page.htm"_s);
            f.document.openPage();
        } else {
            f.dialogs.expect(Kind::SaveFile, site + u"page.htm"_s);
            f.dialogs.expect(Kind::Question, u"yes"_s); // the file is there: overwrite it
            f.document.savePageAs();
        }
        QCOMPARE(f.view.caption(), site + u"page.htm"_s);
        QStringList left = QDir(site).entryList(QDir::Files | QDir::Hidden);
        left.sort();
        QStringList expected = kept;
        expected.sort();
        QCOMPARE(left, expected);
        QVERIFY(f.unexpected.isEmpty());
    }

    // Another program's change to the page's file is asked about when the user comes back: Yes loads
    // the file again (after a second question when the page has unsaved edits), No keeps the text as
    // unsaved and that version of the file is not asked about again; dismissing decides nothing.
    void anOutsideChangeIsAskedAboutOnReturn_data()
    {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("reloaded");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("askedAgain");
        QTest::newRow("yes") << false << QStringList { u"yes"_s } << true << false << false;
        QTest::newRow("no") << false << QStringList { u"no"_s } << false << true << false;
        QTest::newRow("dismissed") << false << QStringList { u"dismiss"_s } << false << false << true;
        QTest::newRow("edited, yes twice") << true << QStringList { u"yes"_s, u"yes"_s } << true << false << false;
        QTest::newRow("edited, yes then no") << true << QStringList { u"yes"_s, u"no"_s } << false << true << false;
        QTest::newRow("edited, yes then dismissed")
            << true << QStringList { u"yes"_s, u"dismiss"_s } << false << true << true;
        QTest::newRow("edited, no") << true << QStringList { u"no"_s } << false << true << false;
    }
    void anOutsideChangeIsAskedAboutOnReturn()
    {
        QFETCH(bool, edited);
        QFETCH(QStringList, answers);
        QFETCH(bool, reloaded);
        QFETCH(bool, modified);
        QFETCH(bool, askedAgain);
        Fixture f;
        const QString page = f.open(u"page.htm"_s, "<p>one</p>\r\n");
        if (edited)
            f.view.type("<p>typed</p>");
        const QByteArray text = f.view.text;
        appendOutside(page, "<p>appended</p>\r\n");
        for (const QString &answer : answers)
            f.dialogs.expect(Kind::Question, answer);
        f.document.checkFileOnDisk();
        QStringList asked { changedQuestion(page) };
        if (answers.size() > 1)
            asked << u"编辑器中未保存的修改将会丢失，是否仍要重新载入？"_s;
        QCOMPARE(f.textsFrom(1), asked);
        QCOMPARE(f.dialogs.calls[1].caption, u"询问"_s);
        QCOMPARE(f.view.text, reloaded ? QByteArray("<p>one</p>\r\n<p>appended</p>\r\n") : text);
        QCOMPARE(f.view.isModified(), modified);
        QCOMPARE(f.view.caption(), page);

        const qsizetype before = f.dialogs.calls.size();
        if (askedAgain)
            f.dialogs.expect(Kind::Question, u"no"_s);
        f.document.checkFileOnDisk();
        QCOMPARE(f.textsFrom(before), askedAgain ? QStringList { asked[0] } : QStringList());
        // The user chose their text over this version of the file: Save writes it without asking.
        f.document.savePage();
        QCOMPARE(TestFiles::read(page), f.view.text);
        QVERIFY(!f.view.isModified());
        QVERIFY(f.dialogs.allAnswersUsed());
        QVERIFY(f.unexpected.isEmpty());
    }

    // A reload that fails leaves the page as it was, and the change is asked about again.
    void aFailedReloadLeavesThePageAsItWas()
    {
        Fixture f;
        const QString page = f.open(u"page.htm"_s, "<p>one</p>\r\n");
        f.view.type("<p>typed</p>");
        const QByteArray text = f.view.text;
        appendOutside(page, "<p>appended</p>\r\n");
        f.dialogs.expect(Kind::Question, u"yes"_s);
        f.dialogs.expect(Kind::Question, u"yes"_s);
        f.files.faultReading(1, ScriptedFileSystem::ReadFault::Fails, 4);
        QCOMPARE(f.error([&] { f.document.checkFileOnDisk(); }), u"Cannot open file "_s + page);
        QCOMPARE(f.view.text, text);
        QVERIFY(f.view.isModified());
        QCOMPARE(f.view.caption(), page);
        f.dialogs.expect(Kind::Question, u"no"_s);
        f.document.checkFileOnDisk();
        QCOMPARE(f.dialogs.calls.last().text, changedQuestion(page));
        QVERIFY(f.unexpected.isEmpty());
    }

    // Save and Save As onto the page's own file ask before overwriting what another program changed
    // there; No or a dismissed box writes nothing.
    void aSaveOverAnOutsideChangeAsksFirst_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("save, yes") << false << u"yes"_s << true;
        QTest::newRow("save, no") << false << u"no"_s << false;
        QTest::newRow("save, dismissed") << false << u"dismiss"_s << false;
        QTest::newRow("save as onto it, yes") << true << u"yes"_s << true;
        QTest::newRow("save as onto it, no") << true << u"no"_s << false;
    }
    void aSaveOverAnOutsideChangeAsksFirst()
    {
        QFETCH(bool, saveAs);
        QFETCH(QString, answer);
        QFETCH(bool, written);
        Fixture f;
        const QString page = f.open(u"page.htm"_s, "<p>one</p>\r\n");
        f.view.type("<p>mine</p>");
        TestFiles::write(page, "<p>theirs</p>\r\n");
        if (saveAs) {
            f.dialogs.expect(Kind::SaveFile, page);
            f.dialogs.expect(Kind::Question, u"yes"_s); // the file is there: overwrite it
        }
        f.dialogs.expect(Kind::Question, answer);
        saveAs ? f.document.savePageAs() : f.document.savePage();
        QCOMPARE(f.dialogs.calls.last().text, overwriteQuestion(page));
        QCOMPARE(f.dialogs.calls.last().caption, u"询问"_s);
        QCOMPARE(TestFiles::read(page), written ? f.view.text : QByteArray("<p>theirs</p>\r\n"));
        QCOMPARE(f.view.isModified(), !written);
        QVERIFY(f.dialogs.allAnswersUsed());
        QVERIFY(f.unexpected.isEmpty());
    }

    // Two editors on one page: the second save asks instead of erasing the first one's edit.
    void aSecondEditorsSaveDoesNotEraseTheFirstOnesEdit()
    {
        Fixture f;
        const QString page = f.open(u"page.htm"_s, "<p>one</p>");
        StringDocumentView otherView;
        Document other(otherView, f.dialogs, f.files, f.dir.path() + u'/');
        f.dialogs.expect(Kind::OpenFile, page);
        other.openPage();
        f.view.type("<p>first</p>");
        f.document.savePage();
        otherView.type("<p>second</p>");
        f.dialogs.expect(Kind::Question, u"no"_s);
        other.savePage();
        QCOMPARE(f.textsFrom(2), QStringList { overwriteQuestion(page) });
        QCOMPARE(TestFiles::read(page), QByteArray("<p>one</p><p>first</p>"));
        QVERIFY(otherView.isModified());
        QVERIFY(f.unexpected.isEmpty());
    }

    // A file rewritten in place with the same size keeps its stamp where the file clock is coarse: when
    // it was read or written within one tick of its last change, its bytes tell.
    void aSameSizeChangeWithinOneClockTickIsSeen_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::newRow("after the open") << false;
        QTest::newRow("after a save") << true;
    }
    void aSameSizeChangeWithinOneClockTickIsSeen()
    {
        QFETCH(bool, saved);
        Fixture f;
        const std::int64_t tick = std::int64_t(1'700'000'000) * 1'000'000'000;
        f.files.stopClock(tick, tick);
        const QString page = f.open(u"page.htm"_s, "<p>one</p>\r\n");
        if (saved) {
            f.view.type("<p>two</p>");
            f.document.savePage();
        }
        const FileStamp stamp = f.files.stamp(page);
        TestFiles::write(page, TestFiles::read(page).toUpper());
        QCOMPARE(f.files.stamp(page), stamp);
        f.dialogs.expect(Kind::Question, u"no"_s);
        f.document.checkFileOnDisk();
        QCOMPARE(f.textsFrom(1), QStringList { changedQuestion(page) });
        QVERIFY(f.unexpected.isEmpty());
    }

    // A file whose bytes are as they were is no change: not when only its times moved, nor when an
    // identical copy took its place. Outside the clock's tick its stamp alone tells, without a reading.
    void anUnchangedFileIsNoQuestion_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("readings");
        QTest::newRow("untouched, read long after its change") << u"untouched"_s << 0;
        QTest::newRow("untouched, read within its tick") << u"fresh"_s << 1;
        QTest::newRow("touched") << u"touched"_s << 1;
        QTest::newRow("an identical copy in its place") << u"copy"_s << 1;
    }
    void anUnchangedFileIsNoQuestion()
    {
        QFETCH(QString, what);
        QFETCH(int, readings);
        Fixture f;
        const std::int64_t tick = std::int64_t(1'700'000'000) * 1'000'000'000;
        if (what == u"untouched"_s)
            f.files.stopClock(tick, tick + 10 * std::int64_t(1'000'000'000));
        else if (what == u"fresh"_s)
            f.files.stopClock(tick, tick);
        const QString page = f.open(u"page.htm"_s, "<p>one</p>\r\n");
        if (what == u"touched"_s) {
            const timespec later[2] = { { time(nullptr) + 5, 0 }, { time(nullptr) + 5, 0 } };
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(page).constData(), later, 0), 0);
        } else if (what == u"copy"_s) {
            TestFiles::write(page + u".new"_s, "<p>one</p>\r\n");
            QCOMPARE(::rename(QFile::encodeName(page + u".new"_s).constData(), QFile::encodeName(page).constData()), 0);
        }
        f.files.readings = 0;
        f.document.checkFileOnDisk();
        QCOMPARE(f.files.readings, readings);
        QVERIFY(!f.view.isModified());
        f.view.type("<p>two</p>");
        f.document.savePage();
        QCOMPARE(TestFiles::read(page), QByteArray("<p>one</p>\r\n<p>two</p>"));
        QCOMPARE(f.dialogs.calls.size(), 1);
        QVERIFY(f.unexpected.isEmpty());
    }

    // A file deleted or moved from under the page is said once, the page becomes unsaved, and Save
    // makes the file again without asking.
    void aFileGoneFromUnderThePageIsSaidOnce_data()
    {
        QTest::addColumn<bool>("moved");
        QTest::newRow("deleted") << false;
        QTest::newRow("moved away") << true;
    }
    void aFileGoneFromUnderThePageIsSaidOnce()
    {
        QFETCH(bool, moved);
        Fixture f;
        const QString page = f.open(u"page.htm"_s, "<p>one</p>\r\n");
        QVERIFY(moved ? QFile::rename(page, f.path(u"elsewhere.htm"_s)) : QFile::remove(page));
        f.dialogs.expect(Kind::Message);
        f.document.checkFileOnDisk();
        QCOMPARE(f.textsFrom(1), QStringList { goneMessage(page) });
        QVERIFY(f.view.isModified());
        f.document.checkFileOnDisk();
        QCOMPARE(f.dialogs.calls.size(), 2);
        f.document.savePage();
        QCOMPARE(TestFiles::read(page), QByteArray("<p>one</p>\r\n"));
        QVERIFY(!f.view.isModified());
        QCOMPARE(f.dialogs.calls.size(), 2);
        QVERIFY(f.unexpected.isEmpty());
    }

    // Only the page's own file is watched: not a new page's template, not the preview file written
    // beside the page, which leaves the page's file as it last knew it.
    void onlyThePagesOwnFileIsWatched()
    {
        Fixture f;
        f.document.newPage();
        TestFiles::write(f.path(u"lines.txt"_s), "changed");
        f.document.checkFileOnDisk();
        QVERIFY(f.dialogs.calls.isEmpty());
        f.view.type("<p>x</p>");
        f.dialogs.expect(Kind::SaveFile, f.path(u"page.htm"_s));
        f.document.savePage();
        appendOutside(f.path(u"page.htm"_s), "<p>appended</p>");
        f.document.writePreview();
        QVERIFY(QFile::exists(f.document.previewPath()));
        QCOMPARE(f.dialogs.calls.size(), 1);
        f.dialogs.expect(Kind::Question, u"no"_s);
        f.document.checkFileOnDisk();
        QCOMPARE(f.textsFrom(1), QStringList { changedQuestion(f.path(u"page.htm"_s)) });
        QVERIFY(f.unexpected.isEmpty());
    }

    // A page recovered from a copy is measured against its file as it was when it was recovered.
    void aRecoveredPageIsWatchedFromItsFileAsItWasThen()
    {
        Fixture f;
        const QString page = f.path(u"page.htm"_s);
        TestFiles::write(page, "<p>on disk</p>\r\n");
        RecoveryCopy copy;
        copy.pagePath = page;
        copy.utf8 = "<p>recovered</p>\r\n";
        f.document.restore(copy);
        f.document.checkFileOnDisk();
        QVERIFY(f.dialogs.calls.isEmpty());
        appendOutside(page, "<p>appended</p>\r\n");
        f.dialogs.expect(Kind::Question, u"no"_s);
        f.document.checkFileOnDisk();
        QCOMPARE(f.textsFrom(0), QStringList { changedQuestion(page) });
        QCOMPARE(f.view.text, QByteArray("<p>recovered</p>\r\n"));
        QVERIFY(f.view.isModified());
        QVERIFY(f.unexpected.isEmpty());
    }

    void openCancelledAfterASaveKeepsTheSavedPage()
    {
        Fixture f;
        f.view.type("edited");
        f.dialogs.expect(Kind::Question, u"yes"_s);
        f.dialogs.expect(Kind::SaveFile, f.path(u"kept.htm"_s));
        f.dialogs.expect(Kind::OpenFile, QString());
        f.document.openPage();
        QCOMPARE(f.view.caption(), u"新文件"_s);
        QVERIFY(f.view.isModified());
        QVERIFY(QFile::exists(f.path(u"kept.htm"_s)));
    }

    void missingFilesAreFileErrors()
    {
        Fixture f;
        f.dialogs.expect(Kind::OpenFile, f.path(u"none.htm"_s));
        QCOMPARE(f.error([&] { f.document.openPage(); }), u"Cannot open file "_s + f.path(u"none.htm"_s));
        QFile::remove(f.path(u"lines.txt"_s));
        QCOMPARE(f.error([&] { f.document.newPage(); }), u"Cannot open file "_s + f.path(u"lines.txt"_s));
        QCOMPARE(f.view.caption(), u"新文件"_s);
        QVERIFY(f.view.text.contains("TamselVellumo"));
    }

    void failedSaveKeepsTheOldFileAndThePageUnsaved()
    {
        Fixture f;
        TestFiles::write(f.path(u"page.htm"_s), "old bytes");
        f.dialogs.expect(Kind::OpenFile, f.path(u"page.htm"_s));
        f.document.openPage();
        f.view.type(" more");
        f.files.failOperation(1); // the disk is full
        QCOMPARE(f.error([&] { f.document.savePage(); }), u"Cannot create file "_s + f.path(u"page.htm"_s));
        QCOMPARE(TestFiles::read(f.path(u"page.htm"_s)), QByteArray("old bytes"));
        QVERIFY(f.view.isModified());
        f.files.refuseWritesUnder(f.dir.path());
        f.dialogs.expect(Kind::SaveFile, f.path(u"new.htm"_s));
        QCOMPARE(f.error([&] { f.document.savePageAs(); }), u"Cannot create file "_s + f.path(u"new.htm"_s));
        QCOMPARE(f.view.caption(), f.path(u"page.htm"_s));
        QVERIFY(!QFile::exists(f.path(u"new.htm"_s)));
    }

    void closingKeepsTheWindowWhenTheSaveDoesNotHappen()
    {
        Fixture f;
        QVERIFY(f.document.confirmClose());
        f.view.type("x");
        f.dialogs.expect(Kind::Question, u"no"_s);
        QVERIFY(f.document.confirmClose());
        f.dialogs.expect(Kind::Question, u"yes"_s);
        f.dialogs.expect(Kind::SaveFile, QString());
        QVERIFY(!f.document.confirmClose());
        f.dialogs.expect(Kind::Question, u"yes"_s);
        f.dialogs.expect(Kind::SaveFile, f.path(u"end.htm"_s));
        QVERIFY(f.document.confirmClose());
        QVERIFY(QFile::exists(f.path(u"end.htm"_s)));
        QVERIFY(f.unexpected.isEmpty());
    }

    // Reading the new page goes wrong part-way: the page, its name and its flag stay as they were, and
    // Save then writes that page, not what was read of the other.
    void aFailedLoadLeavesThePreviousPageAsItWas_data()
    {
        QTest::addColumn<bool>("open"); // or New
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("reading"); // which reading of the file goes wrong: 1 tells the encoding
        QTest::addColumn<ScriptedFileSystem::ReadFault>("fault");
        using Fault = ScriptedFileSystem::ReadFault;
        QTest::newRow("open, read fails") << true << true << 2 << Fault::Fails;
        QTest::newRow("open, unedited, read fails") << true << false << 2 << Fault::Fails;
        QTest::newRow("open, file cut short while loading") << true << true << 2 << Fault::CutShort;
        QTest::newRow("open, file cut short while its encoding is told") << true << true << 1 << Fault::CutShort;
        QTest::newRow("open, out of memory") << true << true << 2 << Fault::OutOfMemory;
        QTest::newRow("open, unedited, out of memory") << true << false << 2 << Fault::OutOfMemory;
        QTest::newRow("new, read fails") << false << true << 2 << Fault::Fails;
        QTest::newRow("new, cut short") << false << false << 2 << Fault::CutShort;
        QTest::newRow("new, out of memory") << false << true << 2 << Fault::OutOfMemory;
    }
    void aFailedLoadLeavesThePreviousPageAsItWas()
    {
        QFETCH(bool, open);
        QFETCH(bool, edited);
        QFETCH(int, reading);
        QFETCH(ScriptedFileSystem::ReadFault, fault);
        Fixture f;
        const QByteArray page = Ansi::encode(u"<html>原来的网页</html>\r\n"_s);
        TestFiles::write(f.path(u"page.htm"_s), page);
        const QString loaded = open ? f.path(u"next.htm"_s) : f.path(u"lines.txt"_s);
        TestFiles::write(loaded, Ansi::encode(u"<p>另一个网页的一行</p>\r\n"_s.repeated(2000)));
        f.dialogs.expect(Kind::OpenFile, f.path(u"page.htm"_s));
        f.document.openPage();
        if (edited)
            f.view.type(u"<p>改过</p>"_s.toUtf8());
        const QByteArray before = f.view.text;

        if (edited)
            f.dialogs.expect(Kind::Question, u"no"_s);
        if (open)
            f.dialogs.expect(Kind::OpenFile, loaded);
        f.files.faultReading(reading, fault, 5000);
        const auto load = [&] { open ? f.document.openPage() : f.document.newPage(); };
        if (fault == ScriptedFileSystem::ReadFault::OutOfMemory)
            QVERIFY_THROWS_EXCEPTION(std::bad_alloc, load()); // the error guard says "Out of memory."
        else
            QCOMPARE(f.error(load), u"Cannot open file "_s + loaded);
        QVERIFY(f.unexpected.isEmpty());
        QCOMPARE(f.view.text, before);
        QCOMPARE(f.view.caption(), f.path(u"page.htm"_s));
        QCOMPARE(f.view.isModified(), edited);
        f.document.savePage();
        QCOMPARE(TestFiles::read(f.path(u"page.htm"_s)), Ansi::encode(QString::fromUtf8(before)));
    }

    // The page's text as the editor holds it (UTF-8) must fit: a file larger than that is refused by its
    // size before it is read, one whose text outgrows it while it is read is refused then; the page
    // stays as it was.
    void aPageTooLargeForTheEditorIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("readings");
        const QByteArray chinese = Ansi::encode(u"网页"_s); // 4 bytes, 6 as UTF-8
        QTest::newRow("as large as the editor holds") << QByteArray(1000, 'a') << false << 2;
        QTest::newRow("a UTF-8 mark more") << QByteArray("\xEF\xBB\xBF") + QByteArray(1000, 'a') << false << 2;
        QTest::newRow("a byte more") << QByteArray(1001, 'a') << true << 2;
        QTest::newRow("more than a UTF-8 mark more") << QByteArray(1004, 'a') << true << 0;
        QTest::newRow("a byte more after a UTF-8 mark")
            << QByteArray("\xEF\xBB\xBF") + QByteArray(1001, 'a') << true << 0;
        QTest::newRow("GB18030 growing past it as UTF-8") << chinese.repeated(200) << true << 2;
        QTest::newRow("UTF-16 growing past it as UTF-8")
            << QByteArray("\xFF\xFE") + QByteArray("\x2D\x4E").repeated(400) << true << 2;
    }
    void aPageTooLargeForTheEditorIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        QFETCH(int, readings);
        Fixture f;
        f.view.capacityBytes = 1000;
        f.view.type("x");
        const QByteArray before = f.view.text;
        TestFiles::write(f.path(u"big.htm"_s), bytes);
        f.dialogs.expect(Kind::Question, u"no"_s);
        f.dialogs.expect(Kind::OpenFile, f.path(u"big.htm"_s));
        if (refused)
            f.dialogs.expect(Kind::Message);
        f.files.readings = 0;
        f.document.openPage();
        QVERIFY(f.unexpected.isEmpty());
        QCOMPARE(f.files.readings, readings);
        if (!refused) {
            QCOMPARE(f.view.caption(), f.path(u"big.htm"_s));
            QCOMPARE(f.view.text, QByteArray(1000, 'a'));
            return;
        }
        QCOMPARE(f.dialogs.calls.last().text,
            u"网页文件太大，编辑器容纳不下，没有打开：\n"_s + f.path(u"big.htm"_s)
                + u"\n编辑器最多容纳 1000 字节的网页。"_s);
        QCOMPARE(f.view.text, before);
        QCOMPARE(f.view.caption(), u"新文件"_s);
        QVERIFY(f.view.isModified());
    }

    // Escape or the close box on the save question goes back: nothing is saved, asked or replaced.
    void dismissingTheSaveQuestionGoesBack_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("new") << u"new"_s;
        QTest::newRow("open") << u"open"_s;
        QTest::newRow("new from a template") << u"template"_s;
        QTest::newRow("close") << u"close"_s;
    }
    void dismissingTheSaveQuestionGoesBack()
    {
        QFETCH(QString, command);
        Fixture f;
        TestFiles::write(f.path(u"page.htm"_s), "<p>page</p>");
        TestFiles::write(f.path(u"template.htm"_s), "<p>template</p>");
        f.dialogs.expect(Kind::OpenFile, f.path(u"page.htm"_s));
        f.document.openPage();
        f.view.type("<p>typed</p>");
        f.dialogs.expect(Kind::Question, u"dismiss"_s);
        if (command == u"new"_s)
            f.document.newPage();
        else if (command == u"open"_s)
            f.document.openPage();
        else if (command == u"template"_s)
            f.document.newPageFrom(f.path(u"template.htm"_s));
        else
            QVERIFY(!f.document.confirmClose());
        QVERIFY(f.unexpected.isEmpty());
        QCOMPARE(f.dialogs.calls.size(), 2);
        QCOMPARE(f.dialogs.calls.last().text, u"网页文件已经被修改，是否要进行存盘"_s);
        QCOMPARE(f.view.text, QByteArray("<p>page</p><p>typed</p>"));
        QCOMPARE(f.view.caption(), f.path(u"page.htm"_s));
        QVERIFY(f.view.isModified());
        QCOMPARE(TestFiles::read(f.path(u"page.htm"_s)), QByteArray("<p>page</p>"));
    }

    // Yes to the save question offers the page's own name, so that the dialog's Enter and Yes to the
    // overwrite question put it back in its file; a new page has no name to offer.
    void theSaveQuestionOffersThePagesName_data()
    {
        QTest::addColumn<bool>("named");
        QTest::newRow("named") << true;
        QTest::newRow("new") << false;
    }
    void theSaveQuestionOffersThePagesName()
    {
        QFETCH(bool, named);
        Fixture f;
        TestFiles::write(f.path(u"网页 1.htm"_s), "<p>page</p>");
        if (named) {
            f.dialogs.expect(Kind::OpenFile, f.path(u"网页 1.htm"_s));
            f.document.openPage();
        }
        f.view.type("<p>typed</p>");
        const QByteArray typed = f.view.text;
        f.dialogs.expect(Kind::Question, u"yes"_s);
        f.dialogs.expect(Kind::SaveFile, f.path(u"网页 1.htm"_s));
        f.dialogs.expect(Kind::Question, u"yes"_s);
        QVERIFY(f.document.confirmClose());
        QVERIFY(f.unexpected.isEmpty());
        const FileDialogRequest request = f.dialogs.calls[f.dialogs.calls.size() - 2].request;
        QCOMPARE(request.fileName, named ? u"网页 1.htm"_s : QString());
        QCOMPARE(request.folder, named ? f.dir.path() + u'/' : QString());
        QCOMPARE(TestFiles::read(f.path(u"网页 1.htm"_s)), Ansi::encode(QString::fromUtf8(typed)));
    }

    // Root may write a page whose mode lets nobody write it; it is asked first, and No leaves the file
    // as it was. Save As asks after the overwrite question.
    void overwritingAReadOnlyPageAsksFirst_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<QString>("answer");
        QTest::newRow("save, no") << false << u"no"_s;
        QTest::newRow("save, yes") << false << u"yes"_s;
        QTest::newRow("save as, no") << true << u"no"_s;
        QTest::newRow("save as, yes") << true << u"yes"_s;
    }
    void overwritingAReadOnlyPageAsksFirst()
    {
        QFETCH(bool, saveAs);
        QFETCH(QString, answer);
        if (geteuid() != 0)
            QSKIP("only root may write a file whose mode lets nobody write it");
        Fixture f;
        const QString page = f.path(u"page.htm"_s);
        TestFiles::write(page, "<p>page</p>");
        f.dialogs.expect(Kind::OpenFile, page);
        f.document.openPage();
        QVERIFY(QFile::setPermissions(page, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        f.view.type("<p>typed</p>");
        if (saveAs) {
            f.dialogs.expect(Kind::SaveFile, page);
            f.dialogs.expect(Kind::Question, u"yes"_s);
        }
        f.dialogs.expect(Kind::Question, answer);
        saveAs ? f.document.savePageAs() : f.document.savePage();
        QVERIFY(f.unexpected.isEmpty());
        QCOMPARE(f.dialogs.calls.last().caption, u"询问"_s);
        QCOMPARE(f.dialogs.calls.last().text, u"网页文件是只读文件，是否仍要覆盖"_s);
        QCOMPARE(f.dialogs.calls.last().icon, MessageIcon::Question);
        const bool saved = answer == u"yes"_s;
        QCOMPARE(TestFiles::read(page), saved ? QByteArray("<p>page</p><p>typed</p>") : QByteArray("<p>page</p>"));
        QCOMPARE(f.view.isModified(), !saved);
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(page).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0444));
        // A writable page is saved without the question.
        QVERIFY(QFile::setPermissions(page, QFile::ReadOwner | QFile::WriteOwner));
        f.view.type("!");
        f.document.savePage();
        QVERIFY(TestFiles::read(page).endsWith("!"));
    }

    // Each page opens with the text a browser reads in it, each line with the break it had, and an
    // unchanged page saves back to its own bytes.
    void pagesRoundTripInTheirEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<PageEncoding>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<LineEnds>("newLines");
        const QString chinese = u"<p>网页特效 简单复制 €"_s;
        const LineEnds crLf = LineEnds::CrLf, lf = LineEnds::Lf, cr = LineEnds::Cr;
        QTest::newRow("GB2312") << QByteArray("<p>\xCD\xF8\xD2\xB3</p>\r\n") << PageEncoding::Gb18030
                                << u"<p>网页</p>\r\n"_s << crLf;
        QTest::newRow("GBK") << QByteArray("\x81\x40\xFE\x4F\r\n") << PageEncoding::Gb18030
                             << Ansi::decode("\x81\x40\xFE\x4F") + u"\r\n"_s << crLf;
        QTest::newRow("GB18030 four bytes") << QByteArray("\x81\x30\x81\x30\x95\x32\x82\x36") << PageEncoding::Gb18030
                                            << Ansi::decode("\x81\x30\x81\x30\x95\x32\x82\x36") << crLf;
        QTest::newRow("UTF-8") << (chinese + u"\r\n"_s).toUtf8() << PageEncoding::Utf8 << chinese + u"\r\n"_s << crLf;
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << PageEncoding::Utf8Bom
                                         << chinese << crLf;
        // Pairs such as D2 B3 and D0 A7 also read as UTF-8 characters; most of the text does not.
        const QString sentence = u"网页特效简单复制，选择一个特效后按设置"_s;
        QTest::newRow("GB18030 that partly reads as UTF-8")
            << Ansi::encode(sentence) << PageEncoding::Gb18030 << sentence << crLf;
        QTest::newRow("ASCII") << QByteArray("<html></html>\r\n") << PageEncoding::Gb18030 << u"<html></html>\r\n"_s
                               << crLf;
        QTest::newRow("LF only") << Ansi::encode(u"a\n中\n"_s) << PageEncoding::Gb18030 << u"a\n中\n"_s << lf;
        QTest::newRow("UTF-8 with LF only")
            << u"<p>中</p>\n\n<p>文</p>"_s.toUtf8() << PageEncoding::Utf8 << u"<p>中</p>\n\n<p>文</p>"_s << lf;
        QTest::newRow("many lone CRs") << QByteArray("a\r").repeated(40) << PageEncoding::Gb18030
                                       << u"a\r"_s.repeated(40) << cr;
        QTest::newRow("LF, then one CR LF") << QByteArray("a\nb\r\n") << PageEncoding::Gb18030 << u"a\nb\r\n"_s << crLf;
        QTest::newRow("mostly LF, a lone CR")
            << QByteArray("a\nb\rc\nd\n") << PageEncoding::Gb18030 << u"a\nb\rc\nd\n"_s << lf;
        QTest::newRow("mixed line ends") << u"a\rb\nc\r\nd"_s.toUtf8() + "\xE4\xB8\xAD" << PageEncoding::Utf8
                                         << u"a\rb\nc\r\nd中"_s << crLf;
        QTest::newRow("CR CR LF") << QByteArray("<p>\r\r\n</p>\r\r\n") << PageEncoding::Gb18030
                                  << u"<p>\r\r\n</p>\r\r\n"_s << crLf;
        QTest::newRow("empty") << QByteArray() << PageEncoding::Gb18030 << QString() << crLf;
        // A U+FEFF that starts the text is the page's own, kept whether or not a mark comes first.
        QTest::newRow("GB18030 starting with U+FEFF")
            << QByteArray("\x84\x31\x95\x33<p>") << PageEncoding::Gb18030 << u"\uFEFF<p>"_s << crLf;
        QTest::newRow("mark, then U+FEFF") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF<p>\xE4\xB8\xAD")
                                           << PageEncoding::Utf8Bom << u"\uFEFF<p>中"_s << crLf;
        // Notepad's "Unicode".
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE<\0p\0>\0\x2D\x4E\x87\x65\r\0\n\0", 16)
                                   << PageEncoding::Utf16Le << u"<p>中文\r\n"_s << crLf;
        QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF\0<\0p\0>\x4E\x2D\0\n", 12) << PageEncoding::Utf16Be
                                   << u"<p>中\n"_s << lf;
        QTest::newRow("UTF-16 with an emoji")
            << QByteArray("\xFF\xFE\x3D\xD8\x00\xDEx\0", 8) << PageEncoding::Utf16Le << u"😀x"_s << crLf;
        // Four Chinese characters and one stray byte: too short for the share of UTF-8, and no GB18030.
        QTest::newRow("short UTF-8 with a stray byte")
            << u"<p>网页特效</p>"_s.toUtf8().insert(9, '\xFF') << PageEncoding::Utf8 << QString() << crLf;
    }
    void pagesRoundTripInTheirEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(PageEncoding, encoding);
        QFETCH(QString, text);
        QFETCH(LineEnds, newLines);
        Fixture f;
        TestFiles::write(f.path(u"in.htm"_s), bytes);
        f.dialogs.expect(Kind::OpenFile, f.path(u"in.htm"_s));
        const bool damaged = text.isEmpty() && !bytes.isEmpty();
        if (damaged)
            f.dialogs.expect(Kind::Message);
        f.document.openPage();
        QCOMPARE(f.document.encoding(), encoding);
        QCOMPARE(f.document.lineEnds(), newLines);
        QCOMPARE(f.view.newLineEnds, newLines);
        if (damaged) {
            // Saved only after the question, since the replacement character replaced a byte.
            QCOMPARE(f.view.text, u"<p>网页"_s.toUtf8() + "\xEF\xBF\xBD" + u"特效</p>"_s.toUtf8());
            f.view.type("x");
            f.view.text.chop(1);
            f.dialogs.expect(Kind::Question, u"no"_s);
            f.document.savePage();
            QCOMPARE(f.dialogs.calls.last().text,
                u"此网页读入时有无法识别的字节，显示为替代符号“\uFFFD”。保存会把替代符号写入文件，原来的字节将丢失。\n"
                u"是否仍要保存？选“否”不保存，可以先用“文件 > 以其他编码重新打开”换一种编码读入。"_s);
            QCOMPARE(TestFiles::read(f.path(u"in.htm"_s)), bytes);
            QVERIFY(f.unexpected.isEmpty());
            return;
        }
        QCOMPARE(f.view.text, text.toUtf8());
        // Room enough for the text, so that the editor need not copy it into a larger room; and for
        // UTF-8, which is taken as it is, not much more.
        QVERIFY2(f.view.reserved >= f.view.text.size(), qPrintable(QString::number(f.view.reserved)));
        if (encoding.isUtf8())
            QVERIFY2(f.view.reserved <= f.view.text.size() + 16, qPrintable(QString::number(f.view.reserved)));
        // A character typed and taken back, then saved: the file's own bytes.
        f.view.type("x");
        f.view.text.chop(1);
        f.document.savePage();
        QCOMPARE(TestFiles::read(f.path(u"in.htm"_s)), bytes);
        QVERIFY(f.unexpected.isEmpty());
    }

    void newLinesOfAnLfPageAreLfAndANewPageIsCrLfAgain()
    {
        Fixture f;
        TestFiles::write(f.path(u"lf.htm"_s), "<p>a</p>\n");
        f.dialogs.expect(Kind::OpenFile, f.path(u"lf.htm"_s));
        f.document.openPage();
        QCOMPARE(f.document.lineEnds(), LineEnds::Lf);
        QCOMPARE(f.view.newLineEnds, LineEnds::Lf);
        // A new page is CR LF again, whatever its file or the last page had.
        TestFiles::write(f.path(u"lines.txt"_s), "<html>\n<body>\r</body>\n</html>");
        f.document.newPage();
        QCOMPARE(f.view.text, QByteArray("<html>\r\n<body>\r\n</body>\r\n</html>"));
        QCOMPARE(f.document.lineEnds(), LineEnds::CrLf);
        QCOMPARE(f.view.newLineEnds, LineEnds::CrLf);
        QVERIFY(f.unexpected.isEmpty());
    }

    void damagedBytesOpenWithAWarning_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<PageEncoding>("encoding");
        QTest::addColumn<QString>("shown"); // empty: not compared
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xFF\xFE\xFD", 20) << PageEncoding::Gb18030
                                << QString();
        QTest::newRow("NUL bytes") << QByteArray("<p>a\0b</p>\x81", 12) << PageEncoding::Gb18030 << QString();
        // Cut off inside a character: the lost bytes show as a replacement character, never vanish.
        QTest::newRow("cut off after a lead byte")
            << QByteArray("<p>\xCD\xF8\xD2") << PageEncoding::Gb18030 << QString();
        QTest::newRow("cut off in a four-byte character")
            << QByteArray("<p>\x81\x30\x81") << PageEncoding::Gb18030 << QString();
        QTest::newRow("UTF-8 cut off") << QByteArray("\xEF\xBB\xBF<p>\xE4\xB8") << PageEncoding::Utf8Bom << QString();
        // One stray byte in a UTF-8 page damages one character, not the whole page.
        const QByteArray half = u"<p>网页特效简单复制"_s.toUtf8();
        QTest::newRow("UTF-8 with a stray byte")
            << half + "\xFF" + half << PageEncoding::Utf8 << u"<p>网页特效简单复制\uFFFD<p>网页特效简单复制"_s;
        QTest::newRow("UTF-8 with a mark and a stray byte") << "\xEF\xBB\xBF" + half + "\x80"
                + half << PageEncoding::Utf8Bom << u"<p>网页特效简单复制\uFFFD<p>网页特效简单复制"_s;
    }
    void damagedBytesOpenWithAWarning()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(PageEncoding, encoding);
        QFETCH(QString, shown);
        Fixture f;
        TestFiles::write(f.path(u"bad.htm"_s), bytes);
        f.dialogs.expect(Kind::OpenFile, f.path(u"bad.htm"_s));
        f.dialogs.expect(Kind::Message);
        f.document.openPage();
        QCOMPARE(f.dialogs.calls.last().text,
            u"此网页中有无法识别的字符，已用替代符号显示；保存后这些字符会被改变。\n"
            u"如果网页是用其他编码写的，可以用“文件 > 以其他编码重新打开”换一种编码读入。"_s);
        QCOMPARE(f.document.encoding(), encoding);
        QVERIFY(QString::fromUtf8(f.view.text).contains(QChar(QChar::ReplacementCharacter)));
        if (!shown.isEmpty())
            QCOMPARE(QString::fromUtf8(f.view.text), shown);
        QCOMPARE(f.view.caption(), f.path(u"bad.htm"_s));
        // Saved as it shows only when the user says so.
        f.view.type(" ");
        f.dialogs.expect(Kind::Question, u"dismiss"_s);
        f.document.savePage();
        QCOMPARE(TestFiles::read(f.path(u"bad.htm"_s)), bytes);
        f.dialogs.expect(Kind::Question, u"yes"_s);
        f.document.savePage();
        QCOMPARE(TestFiles::read(f.path(u"bad.htm"_s)), PageCodec::fromUtf8(f.view.text, encoding).bytes);
        QVERIFY(!f.view.isModified());
        // Once saved, its replacement characters are its own: the next save asks nothing.
        f.view.type(" ");
        f.document.savePage();
        QVERIFY(f.unexpected.isEmpty());
    }

    // A page in an encoding the program does not tell by itself is read again in the one the user
    // names, and kept in it.
    void aPageReopenedInAnotherEncodingKeepsIt()
    {
        Fixture f;
        const QByteArray latin1("<p>caf\xE9 \xA9 na\xEFve</p>\r\n");
        TestFiles::write(f.path(u"latin.htm"_s), latin1);
        f.dialogs.expect(Kind::OpenFile, f.path(u"latin.htm"_s));
        f.dialogs.expect(Kind::Message); // read as GB18030, it is not clean
        f.document.openPage();
        QCOMPARE(f.document.encoding(), PageEncoding::Gb18030);
        f.view.type("x");
        f.dialogs.expect(Kind::Question, u"no"_s); // the save question
        f.document.reopenIn(PageEncoding(u"windows-1252"_s, false));
        QCOMPARE(f.dialogs.calls.last().text, u"网页文件已经被修改，是否要进行存盘"_s);
        QCOMPARE(f.view.text, u"<p>café © naïve</p>\r\n"_s.toUtf8());
        QCOMPARE(f.document.encoding(), PageEncoding(u"windows-1252"_s, false));
        QVERIFY(!f.view.isModified());
        f.view.type("!");
        f.view.text.chop(1);
        f.document.savePage();
        QCOMPARE(TestFiles::read(f.path(u"latin.htm"_s)), latin1);
        // A character the encoding lacks is not lost: the save asks, and No writes nothing.
        f.view.type("中");
        f.dialogs.expect(Kind::Question, u"no"_s);
        f.document.savePage();
        QCOMPARE(f.dialogs.calls.last().text,
            u"网页的编码 windows-1252 无法表示其中的字符：中（第 2 行起），保存会丢失它们。\n"
            u"选“是”改用 UTF-8 保存；选“否”不保存。"_s);
        QCOMPARE(TestFiles::read(f.path(u"latin.htm"_s)), latin1);
        QVERIFY(f.view.isModified());
        f.dialogs.expect(Kind::Question, u"yes"_s);
        f.document.savePage();
        QCOMPARE(TestFiles::read(f.path(u"latin.htm"_s)), u"<p>café © naïve</p>\r\n中"_s.toUtf8());
        QCOMPARE(f.document.encoding(), PageEncoding::Utf8);
        QVERIFY2(f.unexpected.isEmpty(), qPrintable(f.unexpected.join(u'|')));
    }

    void theDeclarationIsFound_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("label"); // empty: none found
        QTest::newRow("meta charset") << QByteArray("<head><meta charset=\"UTF-8\"></head>") << u"UTF-8"_s;
        QTest::newRow("unquoted, spaces") << QByteArray("<META CharSet = utf8 >") << u"utf8"_s;
        QTest::newRow("http-equiv over lines")
            << QByteArray("<meta http-equiv=\"Content-Type\" \r\ncontent=\"text/html; \r\ncharset=gb2312\">")
            << u"gb2312"_s;
        QTest::newRow("single quotes") << QByteArray("<meta content='text/html;charset=big5'>") << u"big5"_s;
        QTest::newRow("in a comment") << QByteArray("<!-- <meta charset=big5> --><meta charset=gbk>") << u"gbk"_s;
        QTest::newRow("after the body") << QByteArray("<body><meta charset=utf-8>") << QString();
        QTest::newRow("a meta without one") << QByteArray("<meta name=charsetx content=x>") << QString();
        QTest::newRow("metadata is no meta") << QByteArray("<metadata charset=utf-8>") << QString();
        QTest::newRow("beyond where browsers look")
            << QByteArray(PageDeclaration::Reach, ' ') + "<meta charset=utf-8>" << QString();
    }
    void theDeclarationIsFound()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, label);
        const std::optional<PageDeclaration::Charset> found = PageDeclaration::find(page);
        QCOMPARE(found ? found->label : QString(), label);
        if (found)
            QCOMPARE(QString::fromLatin1(page.mid(found->at, found->length)), label);
    }

    // The page's declaration, once the user changes it, says how the page is saved; a declaration left
    // as it was read keeps the page in its own encoding.
    void aChangedDeclarationDecidesTheEncoding_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<PageEncoding>("encoding");
        const QByteArray gbPage = Ansi::encode(u"<meta charset=gb2312><p>中文</p>"_s);
        QTest::newRow("GB2312 made UTF-8") << gbPage << QByteArray("gb2312") << QByteArray("utf-8")
                                           << u"<meta charset=utf-8><p>中文</p>"_s.toUtf8() << PageEncoding::Utf8;
        QTest::newRow("UTF-8 made GBK") << u"<meta charset=utf-8><p>中文</p>"_s.toUtf8() << QByteArray("utf-8")
                                        << QByteArray("gbk") << Ansi::encode(u"<meta charset=gbk><p>中文</p>"_s)
                                        << PageEncoding::Gb18030;
        QTest::newRow("made UTF-16") << gbPage << QByteArray("gb2312") << QByteArray("utf-16")
                                     << QByteArray("\xFF\xFE")
                + QStringEncoder(QStringConverter::Utf16LE).encode(u"<meta charset=utf-16><p>中文</p>"_s)
                                     << PageEncoding::Utf16Le;
        QTest::newRow("made Big5: not written, kept")
            << gbPage << QByteArray("gb2312") << QByteArray("big5") << Ansi::encode(u"<meta charset=big5><p>中文</p>"_s)
            << PageEncoding::Gb18030;
        // A UTF-8 page wrongly labelled is kept as its bytes are: it is not the user's change.
        QTest::newRow("wrongly labelled, unchanged")
            << u"<meta charset=gb2312><p>中文</p>"_s.toUtf8() << QByteArray() << QByteArray()
            << u"<meta charset=gb2312><p>中文</p>!"_s.toUtf8() << PageEncoding::Utf8;
    }
    void aChangedDeclarationDecidesTheEncoding()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QByteArray, saved);
        QFETCH(PageEncoding, encoding);
        Fixture f;
        const QString path = f.open(u"page.htm"_s, page);
        if (from.isEmpty())
            f.view.type("!");
        else
            f.view.text.replace(from, to);
        f.view.markModified();
        f.document.savePage();
        QCOMPARE(TestFiles::read(path), saved);
        QCOMPARE(f.document.encoding(), encoding);
        QVERIFY(f.unexpected.isEmpty());
    }

    // A page labelled GB2312 or GBK is read by browsers as GBK: characters only GB18030 holds are said
    // at save, with the choice of UTF-8.
    void charactersBeyondGbkAreSaidAtSave_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QByteArray>("saved"); // empty: not saved
        QTest::newRow("yes: UTF-8") << u"yes"_s << u"<meta charset=\"utf-8\">\r\n<p>© € 😀</p>\r\n"_s.toUtf8();
        QTest::newRow("no: GB18030") << u"no"_s << Ansi::encode(u"<meta charset=\"gb2312\">\r\n<p>© € 😀</p>\r\n"_s);
        QTest::newRow("dismissed") << u"dismiss"_s << QByteArray();
    }
    void charactersBeyondGbkAreSaidAtSave()
    {
        QFETCH(QString, answer);
        QFETCH(QByteArray, saved);
        Fixture f;
        const QByteArray page = Ansi::encode(u"<meta charset=\"gb2312\">\r\n<p>中</p>\r\n"_s);
        const QString path = f.open(u"page.htm"_s, page);
        f.view.text.replace("\xE4\xB8\xAD", u"© € 😀"_s.toUtf8());
        f.view.markModified();
        f.dialogs.expect(Kind::Question, answer);
        f.document.savePage();
        QCOMPARE(f.dialogs.calls.last().text,
            u"网页声明的字符集是 gb2312，其中有 GB2312/GBK 无法表示的字符：©、€、😀（第 2 行起）。浏览器会把它们显示成乱码。\n"
            u"选“是”改用 UTF-8 保存，并把网页的声明改为 utf-8；选“否”仍按 GB18030 保存。"_s);
        QCOMPARE(f.dialogs.calls.last().icon, MessageIcon::Warning);
        QCOMPARE(TestFiles::read(path), saved.isEmpty() ? page : saved);
        QCOMPARE(f.view.isModified(), saved.isEmpty());
        QVERIFY(f.unexpected.isEmpty());
    }

    // Save As offers the encodings beside the name; the one chosen is what the page then says it is in.
    void saveAsWritesTheChosenEncoding_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<PageEncoding>("encoding");
        QTest::newRow("UTF-8") << 0 << u"<meta charset=utf-8><p>中</p>"_s.toUtf8() << PageEncoding::Utf8;
        QTest::newRow("UTF-8 BOM") << 1 << QByteArray("\xEF\xBB\xBF") + u"<meta charset=utf-8><p>中</p>"_s.toUtf8()
                                   << PageEncoding::Utf8Bom;
        QTest::newRow("GB18030, as it was")
            << 2 << Ansi::encode(u"<meta charset=gb2312><p>中</p>"_s) << PageEncoding::Gb18030;
        QTest::newRow("UTF-16") << 3
                                << QByteArray("\xFF\xFE")
                + QStringEncoder(QStringConverter::Utf16LE).encode(u"<meta charset=utf-16><p>中</p>"_s)
                                << PageEncoding::Utf16Le;
    }
    void saveAsWritesTheChosenEncoding()
    {
        QFETCH(int, choice);
        QFETCH(QByteArray, saved);
        QFETCH(PageEncoding, encoding);
        Fixture f;
        f.open(u"page.htm"_s, Ansi::encode(u"<meta charset=gb2312><p>中</p>"_s));
        f.dialogs.expect(Kind::SaveFile, f.path(u"other.htm|"_s) + QString::number(choice));
        f.document.savePageAs();
        const FileDialogRequest request = f.dialogs.calls.last().request;
        QCOMPARE(request.choiceLabel, u"编码："_s);
        QCOMPARE(request.choices, (QStringList { u"UTF-8"_s, u"UTF-8 BOM"_s, u"GB18030"_s, u"UTF-16 LE BOM"_s }));
        QCOMPARE(request.choice, 2);
        QCOMPARE(TestFiles::read(f.path(u"other.htm"_s)), saved);
        QCOMPARE(f.document.encoding(), encoding);
        QVERIFY(f.unexpected.isEmpty());
    }

    // A UTF-16 file without a mark, reopened as UTF-16, is saved without one.
    void aPageReopenedAsUtf16KeepsItsMarkOrItsLackOfOne()
    {
        Fixture f;
        const QByteArray bare("<\0p\0>\0\x2D\x4E", 8);
        f.open(u"bare.htm"_s, bare);
        f.document.reopenIn(PageEncoding::Utf16Le);
        QCOMPARE(f.view.text, u"<p>中"_s.toUtf8());
        QCOMPARE(f.document.encoding(), PageEncoding(u"UTF-16LE"_s, false));
        f.view.type("x");
        f.view.text.chop(1);
        f.document.savePage();
        QCOMPARE(TestFiles::read(f.path(u"bare.htm"_s)), bare);
        QVERIFY2(f.unexpected.isEmpty(), qPrintable(f.unexpected.join(u'|')));
    }

    // The save dialog offers first what a save would write: a changed declaration's encoding.
    void theSaveDialogOffersTheDeclaredEncodingFirst()
    {
        Fixture f;
        f.view.text.replace("charset=gb2312", "charset=utf-8");
        f.view.markModified();
        f.dialogs.expect(Kind::SaveFile, f.path(u"new.htm|2"_s)); // GB18030, chosen over UTF-8
        f.document.savePageAs();
        QCOMPARE(f.dialogs.calls.last().request.choice, 0);
        QCOMPARE(f.document.encoding(), PageEncoding::Gb18030);
        QVERIFY(TestFiles::read(f.path(u"new.htm"_s)).contains("charset=gb18030"));
        QVERIFY(f.unexpected.isEmpty());
    }

    void previewFileBesideTheDocument()
    {
        Fixture f;
        QCOMPARE(f.document.previewPath(), f.dir.path() + u"/TEM~~CHO.HTM"_s);
        QDir().mkpath(f.path(u"site"_s));
        f.view.setCaption(f.path(u"site/index.htm"_s));
        QCOMPARE(f.document.previewPath(), f.path(u"site/TEM~~CHO.HTM"_s));
        f.view.type("<p>预览</p>");
        f.document.writePreview();
        QVERIFY(f.view.isModified());
        f.view.setCaption(f.path(u"gone/index.htm"_s));
        QCOMPARE(
            f.error([&] { f.document.writePreview(); }), u"Cannot create file "_s + f.path(u"gone/TEM~~CHO.HTM"_s));
    }

    // The preview file goes when it is no longer shown, unless something else changed it since.
    void thePreviewFileGoesWhenItIsNoLongerShown()
    {
        Fixture f;
        const QString page = f.open(u"page.htm"_s, "<p>1</p>");
        const QString preview = f.path(u"TEM~~CHO.HTM"_s);
        f.document.writePreview();
        QVERIFY(QFile::exists(preview));
        f.document.removePreview();
        QVERIFY(!QFile::exists(preview));
        // Another page opened: the last page's preview goes.
        f.document.writePreview();
        f.open(u"other.htm"_s, "<p>2</p>");
        QVERIFY(!QFile::exists(preview));
        // A file another program wrote over it stays.
        f.document.writePreview();
        TestFiles::write(preview, "someone else's");
        f.document.removePreview();
        QCOMPARE(TestFiles::read(preview), QByteArray("someone else's"));
        QCOMPARE(TestFiles::read(page), QByteArray("<p>1</p>"));
        QVERIFY(f.unexpected.isEmpty());
    }

    // A browser reads the preview as the editor shows the page: the copy says which encoding it is in.
    void thePreviewSaysItsEncoding_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<QByteArray>("preview");
        QTest::newRow("labelled GB2312, holding ©")
            << Ansi::encode(u"<meta charset=\"gb2312\"><p>网页</p>"_s) << u"©"_s.toUtf8()
            << Ansi::encode(u"<meta charset=\"gb18030\"><p>网页</p>©"_s);
        QTest::newRow("UTF-8, labelled so") << u"<meta charset=utf-8><p>网页</p>"_s.toUtf8() << u"©"_s.toUtf8()
                                            << u"<meta charset=utf-8><p>网页</p>©"_s.toUtf8();
        QTest::newRow("UTF-8 with a doctype, labelled nothing")
            << u"<!doctype html><p>网页</p>"_s.toUtf8() << QByteArray()
            << u"<!doctype html><meta charset=\"utf-8\"><p>网页</p>"_s.toUtf8();
        QTest::newRow("UTF-16 with its mark")
            << QByteArray("\xFF\xFE<\0p\0>\0", 8) << QByteArray()
            << QByteArray("\xFF\xFE<\0m\0e\0t\0a\0 \0c\0h\0a\0r\0s\0e\0t\0=\0\"\0u\0t\0f\0"
                          "-\0\x31\0\x36\0\"\0>\0<\0p\0>\0",
                   54);
    }
    void thePreviewSaysItsEncoding()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, typed);
        QFETCH(QByteArray, preview);
        Fixture f;
        f.open(u"page.htm"_s, page);
        f.view.type(typed);
        f.document.writePreview();
        QCOMPARE(TestFiles::read(f.path(u"TEM~~CHO.HTM"_s)), preview);
        QCOMPARE(TestFiles::read(f.path(u"page.htm"_s)), page);
        QVERIFY(f.unexpected.isEmpty());
    }

    // Two-byte GB18030 characters are read with a table taken from the converter; everything else, and
    // the rest of the page after it, by the converter. However the page is cut into pieces, it reads as
    // the converter reads it whole.
    void gb18030ReadsAsTheConverterReads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray pairs = Ansi::encode(u"<p>网页特效，简单复制。</p>\r\n"_s);
        QTest::newRow("ASCII and pairs") << pairs.repeated(3);
        QTest::newRow("the last trail and the first") << QByteArray("\x81\x40\xFE\xFE\x81\x80\xA1\x7E");
        QTest::newRow("four bytes after pairs") << pairs + "\x81\x30\x81\x30" + pairs;
        QTest::newRow("mark after pairs") << pairs + "\x84\x31\x95\x33" + pairs;
        QTest::newRow("a lead without its trail") << pairs + "\x81\x7F" + pairs;
        QTest::newRow("a lead before a line break") << pairs + "\xB0\r\n" + pairs;
        QTest::newRow("bytes that lead nothing") << pairs + "\x80" + pairs + "\xFF";
        QTest::newRow("a lead ending the page") << pairs + "\xCD";
    }
    void gb18030ReadsAsTheConverterReads()
    {
        QFETCH(QByteArray, bytes);
        // The converter reading the whole page; a line feed makes it give up a character cut short.
        QStringDecoder converter("GB18030", QStringConverter::Flag::ConvertInitialBom);
        QString whole = converter.decode(bytes);
        const bool damagedBefore = converter.hasError();
        QString rest = converter.decode(QByteArrayView("\n", 1));
        rest.chop(1);
        if (rest.isEmpty() && !damagedBefore && converter.hasError())
            rest = QChar(QChar::ReplacementCharacter);
        whole += rest;
        const QByteArray expected = whole.toUtf8().replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
        const bool expectedClean = !converter.hasError() && !rest.contains(QChar(QChar::ReplacementCharacter));
        for (const qsizetype size : { qsizetype(1), qsizetype(2), qsizetype(3), qsizetype(7), bytes.size() }) {
            QByteArray out;
            PageCodec::Decoder decoder(PageEncoding::Gb18030, [&](QByteArrayView piece) { out += piece; });
            for (qsizetype at = 0; at < bytes.size(); at += size)
                decoder.feed(bytes.sliced(at, qMin(size, bytes.size() - at)));
            const bool clean = decoder.finish();
            QCOMPARE(clean, expectedClean);
            // Damage cut by a piece boundary may come out as a replacement character more or less.
            if (expectedClean || size == bytes.size())
                QCOMPARE(out, expected);
        }
    }

    // The page is decoded on a thread of its own; the view takes the pieces in order on its own thread.
    void theReaderHandsOverEveryPieceInOrder()
    {
        QList<QByteArray> pieces;
        QByteArray all;
        for (int i = 0; i < 40; ++i) {
            pieces << Ansi::encode(u"<p>第%1段</p>\r\n"_s.arg(i)).repeated(20000);
            all += pieces.back();
        }
        const PieceReader files(pieces, PieceReader::Fault::None);
        QByteArray out;
        bool allHere = true;
        const QThread *const here = QThread::currentThread();
        const auto result = PageReader::read(files, {}, PageEncoding::Gb18030, [&](QByteArrayView piece) {
            allHere = allHere && QThread::currentThread() == here;
            out += piece;
        });
        QVERIFY(result.read && result.clean);
        QVERIFY(allHere);
        QVERIFY(files.reader.load() != nullptr);
        QVERIFY(files.reader.load() != here);
        QByteArray expected;
        QVERIFY(PageCodec::toUtf8(all, PageEncoding::Gb18030, [&](QByteArrayView piece) { expected += piece; }));
        QCOMPARE(out, expected);
    }

    // A view that fails (no memory for the page, say) stops the reading, and its failure comes out;
    // so does a reading that fails or throws, after what was read.
    void failuresOnEitherSideEndTheReading()
    {
        const QList<QByteArray> pieces(60, QByteArray(1 << 20, 'a'));
        {
            const PieceReader files(pieces, PieceReader::Fault::None);
            int taken = 0;
            QVERIFY_THROWS_EXCEPTION(
                std::bad_alloc, PageReader::read(files, {}, PageEncoding::Utf8, [&](QByteArrayView) {
                    if (++taken == 2)
                        throw std::bad_alloc();
                }));
            QVERIFY2(files.handed < 10, qPrintable(QString::number(files.handed)));
        }
        {
            const PieceReader files(pieces.mid(0, 3), PieceReader::Fault::ReadFails);
            qsizetype taken = 0;
            const auto result
                = PageReader::read(files, {}, PageEncoding::Utf8, [&](QByteArrayView piece) { taken += piece.size(); });
            QVERIFY(!result.read);
            QCOMPARE(taken, 3 << 20);
        }
        {
            const PieceReader files(pieces.mid(0, 3), PieceReader::Fault::Throws);
            QVERIFY_THROWS_EXCEPTION(
                std::runtime_error, PageReader::read(files, {}, PageEncoding::Utf8, [](QByteArrayView) {}));
        }
    }

    void crLfSurvivesPieceBoundaries()
    {
        // A CR ending one piece and the LF starting the next are one line break.
        QByteArray big(PageCodec::PieceSize, 'a');
        big[PageCodec::PieceSize - 1] = '\r';
        big += "\nb";
        QByteArray out;
        QVERIFY(PageCodec::toUtf8(big, PageEncoding::Utf8, [&](QByteArrayView piece) { out += piece; }));
        QCOMPARE(out.size(), big.size());
        QVERIFY(out.endsWith("\r\nb"));
    }
};

QTEST_APPLESS_MAIN(TestDocument)
#include "tst_document.moc"
