#include "platform/ansi.h"
#include "platform/dialogfolders.h"
#include "platform/errorguard.h"
#include "platform/heldfile.h"
#include "platform/heldfolder.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"
#include "support/scripteddialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
// A folder's entries, hidden ones included, links not followed.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
}

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void dialogFoldersOfferTheLastFolderOutsideTheLibrary_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("start");
        QTest::newRow("nothing chosen yet") << QStringList() << QString() << u"/home/u"_s;
        QTest::newRow("the caller's folder wins") << QStringList { u"/w/a.htm"_s } << u"/p/"_s << u"/p/"_s;
        QTest::newRow("last file's folder") << QStringList { u"/w/a.htm"_s, u"/x/b.jpg"_s } << QString() << u"/x"_s;
        QTest::newRow("library file skipped")
            << QStringList { u"/w/a.htm"_s, u"/lib/模板/t.htm"_s } << QString() << u"/w"_s;
        QTest::newRow("library in other letter case")
            << QStringList { u"/w/a.htm"_s, u"/LIB/x.gx"_s } << QString() << u"/w"_s;
        QTest::newRow("a sibling of the library is the user's")
            << QStringList { u"/lib2/a.htm"_s } << QString() << u"/lib2"_s;
    }
    void dialogFoldersOfferTheLastFolderOutsideTheLibrary()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QString, requested);
        QFETCH(QString, start);
        DialogFolders folders(u"/home/u"_s);
        folders.setLibraryFolder(u"/lib/"_s);
        for (const QString &path : chosen)
            folders.fileChosen(path);
        QCOMPARE(folders.startFolder(requested), start);
    }

    void errorBoxAppendsFullStopByLastCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << u"'x' is not a valid integer value"_s << u"'x' is not a valid integer value."_s;
        QTest::newRow("closing parenthesis")
            << u"Unknown picture file extension (.txt)"_s << u"Unknown picture file extension (.txt)"_s;
        QTest::newRow("digit") << u"JPEG error #53"_s << u"JPEG error #53."_s;
        QTest::newRow("Chinese") << u"文件"_s << u"文件."_s;
        QTest::newRow("full stop") << u"done."_s << u"done."_s;
        QTest::newRow("blank") << u"ends "_s << u"ends "_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void errorBoxAppendsFullStopByLastCharacter()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        ScriptedDialogs dialogs;
        dialogs.expect(ScriptedDialogs::Kind::Error);
        bool after = false;
        QVERIFY(!ErrorGuard::run(dialogs, [&] {
            throw VellumoError(text);
            after = true;
        }));
        QVERIFY(!after);
        QCOMPARE(dialogs.calls.size(), 1);
        QCOMPARE(dialogs.calls[0].text, shown);
        QVERIFY(dialogs.unexpected.isEmpty());
    }

    void guardKeepsWhatWasDone()
    {
        ScriptedDialogs dialogs;
        dialogs.expect(ScriptedDialogs::Kind::Error);
        QStringList done;
        ErrorGuard::run(dialogs, [&] {
            done << u"first"_s;
            throw VellumoError::unableToWrite(u"/x/LINK2.INI"_s);
        });
        QCOMPARE(done, QStringList { u"first"_s });
        QCOMPARE(dialogs.calls[0].text, u"Unable to write to /x/LINK2.INI."_s);
    }

    void scriptedDialogsReportTheUnexpected()
    {
        QStringList reported;
        ScriptedDialogs dialogs([&](const QString &what) { reported << what; });
        dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        QVERIFY(dialogs.question(u"询问"_s, u"真的?"_s, MessageIcon::Question));
        QVERIFY(!dialogs.question(u"询问"_s, u"again"_s, MessageIcon::None));
        QCOMPARE(reported.size(), 1);
        dialogs.expect(ScriptedDialogs::Kind::OpenFile, QString());
        QCOMPARE(dialogs.openFile({}), std::optional<QString>());
    }

    void ansiUpperCasesAsciiLettersOnly() { QCOMPARE(Ansi::upper(u"abc中文xyzé"_s), u"ABC中文XYZé"_s); }

    void ansiRoundTripsChinese()
    {
        const QString text = u"简单复制 图片特效 €𠀀"_s;
        QCOMPARE(Ansi::decode(Ansi::encode(text)), text);
        QCOMPARE(Ansi::encode(u"中"_s), QByteArray("\xD6\xD0"));
    }

    void ansiReadsAsTheConverterDoes()
    {
        // Every lead and trail pair, alone and between ASCII, and mixed with four-byte characters,
        // cut-off and damaged bytes: the same text as the converter gives.
        const auto converter = [](QByteArrayView bytes) {
            QStringDecoder decoder("GB18030");
            QString text = decoder.decode(bytes);
            QString rest = decoder.decode(QByteArrayView("\n", 1));
            rest.chop(1);
            return text + rest;
        };
        for (int lead = 0x80; lead <= 0xFF; ++lead)
            for (int trail = 0x00; trail <= 0xFF; ++trail) {
                const QByteArray pair { char(lead), char(trail) };
                for (const QByteArray &bytes : { pair, QByteArray("a") + pair + "b" })
                    if (Ansi::decode(bytes) != converter(bytes))
                        QFAIL(qPrintable(QString::fromLatin1(bytes.toHex())));
            }
        for (const QByteArray &bytes : { QByteArray("\xD6\xD0\x81\x30\x81\x30\xB0\xA1"), QByteArray("\xB0\xA1\xB0"),
                 QByteArray("\xB0\xA1\x81\x30"), QByteArray("\x80\xFF\xB0\xA1"),
                 QByteArray("\xB0\xA1\x95\x32\x82\x36") })
            QCOMPARE(Ansi::decode(bytes), converter(bytes));
    }

    void copyNeverOverwritesAndFoldersAreNoFiles()
    {
        QTemporaryDir dir;
        LocalFileSystem files;
        const QString a = dir.filePath(u"a.gif"_s), b = dir.filePath(u"b.gif"_s);
        QFile fa(a);
        QVERIFY(fa.open(QIODevice::WriteOnly));
        fa.write("A");
        fa.close();
        QFile fb(b);
        QVERIFY(fb.open(QIODevice::WriteOnly));
        fb.write("B");
        fb.close();
        QVERIFY(!files.copyWithoutOverwrite(a, b));
        QCOMPARE(files.readAll(b).value(), QByteArray("B"));
        QVERIFY(files.copyWithoutOverwrite(a, dir.filePath(u"c.gif"_s)));
        QVERIFY(files.fileExists(a));
        QVERIFY(!files.fileExists(dir.path()));
        QVERIFY(files.folderExists(dir.path()));
        QCOMPARE(files.resolveName(dir.filePath(u"A.GIF"_s)), a);
        QCOMPARE(files.resolveName(dir.filePath(u"new.gif"_s)), dir.filePath(u"new.gif"_s));
    }

    // A listing names each entry with what it is, links by what they lead to, and an unreadable
    // folder gives none rather than passing for an empty one.
    void foldersAreMadeOnTheirWayAndListedWithTheKindOfEachEntry()
    {
        QTemporaryDir dir;
        LocalFileSystem files;
        const QString library = dir.filePath(u"库/图片特效"_s);
        QVERIFY(files.makeFolder(library));
        QVERIFY(files.makeFolder(library));
        TestFiles::write(library + u"/相册"_s, "[file]\r\n");
        TestFiles::write(library + u"/.hidden"_s, "h");
        QVERIFY(files.makeFolder(library + u"/子"_s));
        QVERIFY(QFile::link(library + u"/子"_s, library + u"/到子"_s));
        QVERIFY(QFile::link(library + u"/相册"_s, library + u"/到相册"_s));
        QVERIFY(QFile::link(library + u"/无"_s, library + u"/断"_s));
        QVERIFY(!files.makeFolder(library + u"/相册/下"_s));

        const auto entries = files.list(library);
        QVERIFY(entries);
        // name, file, folder, link
        const QList<FolderEntry> expected { { u".hidden"_s, true, false, false }, { u"到子"_s, false, true, true },
            { u"到相册"_s, true, false, true }, { u"子"_s, false, true, false }, { u"断"_s, false, false, true },
            { u"相册"_s, true, false, false } };
        QCOMPARE(entries->size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(entries->at(i).name, expected[i].name);
            QVERIFY2(entries->at(i) == expected[i], qPrintable(expected[i].name));
        }
        QVERIFY(!files.list(library + u"/无"_s));
        QVERIFY(!files.list(library + u"/相册"_s));
    }

    // A name as long as a file name may be still takes a temporary beside it: the temporary's name is
    // cut to fit, never the file's.
    void longNamesAreWrittenAndCopied_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("255 ASCII bytes") << QString(251, u'a') + u".INI"_s;
        QTest::newRow("255 bytes, a character cut in the temporary") << u"a"_s + QString(83, u'汉') + u".txt1"_s;
    }

    void longNamesAreWrittenAndCopied()
    {
        QFETCH(QString, name);
        QCOMPARE(QFile::encodeName(name).size(), 255);
        QTemporaryDir dir;
        LocalFileSystem files;
        const QString path = dir.filePath(name);
        QVERIFY(files.writeAtomically(path, "first"));
        QVERIFY(files.writeAtomically(path, "second"));
        QCOMPARE(TestFiles::read(path), QByteArray("second"));
        QVERIFY(QDir().mkpath(dir.filePath(u"copy"_s)));
        QVERIFY(files.copyWithoutOverwrite(path, dir.filePath(u"copy/"_s + name)));
        QCOMPARE(TestFiles::read(dir.filePath(u"copy/"_s + name)), QByteArray("second"));
        QCOMPARE(entries(dir.path()), (QStringList { name, u"copy"_s }));
    }

    // A copy into a held folder never replaces what is there under its name in any letter case, a link
    // leading nowhere included; what it makes is an ordinary file with the bytes of the source.
    void heldCopiesNeverOverwrite()
    {
        QTemporaryDir dir;
        LocalFileSystem files;
        TestFiles::write(dir.filePath(u"src/b.gif"_s), "new");
        QCOMPARE(::chmod(QFile::encodeName(dir.filePath(u"src/b.gif"_s)).constData(), 06777), 0);
        TestFiles::write(dir.filePath(u"lib/A.GIF"_s), "old");
        QVERIFY(QFile::link(dir.filePath(u"nowhere"_s), dir.filePath(u"lib/dangling"_s)));
        const HeldFile source = HeldFile::open(HeldFolder::open(dir.filePath(u"src"_s)), u"b.gif"_s);
        const HeldFolder library = HeldFolder::open(dir.filePath(u"lib"_s));
        QVERIFY(source.isOpen() && library.isOpen());

        QVERIFY(!files.copyHeld(source, library, u"a.gif"_s));
        QVERIFY(!files.createHeld(library, u"a.GIF"_s, "bytes"));
        QVERIFY(!files.copyHeld(source, library, u"dangling"_s));
        QVERIFY(!files.createHeld(library, u"DANGLING"_s, "bytes"));
        QVERIFY(!files.copyHeld(source, library, u"sub/b.gif"_s));
        QCOMPARE(TestFiles::read(dir.filePath(u"lib/A.GIF"_s)), QByteArray("old"));
        QVERIFY(!QFile::exists(dir.filePath(u"nowhere"_s)));

        QVERIFY(files.copyHeld(source, library, u"b.gif"_s));
        QVERIFY(files.createHeld(library, u"c.js"_s, "var c;"));
        QCOMPARE(TestFiles::read(dir.filePath(u"lib/b.gif"_s)), QByteArray("new"));
        QCOMPARE(TestFiles::read(dir.filePath(u"lib/c.js"_s)), QByteArray("var c;"));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(dir.filePath(u"lib/b.gif"_s)).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0644));
        QCOMPARE(entries(dir.filePath(u"lib"_s)), (QStringList { u"A.GIF"_s, u"b.gif"_s, u"c.js"_s, u"dangling"_s }));

        // Removal takes files only, never what a link leads to.
        QVERIFY(!files.removeHeld(library, u"dangling"_s));
        QVERIFY(files.removeHeld(library, u"c.js"_s));
        QCOMPARE(entries(dir.filePath(u"lib"_s)), (QStringList { u"A.GIF"_s, u"b.gif"_s, u"dangling"_s }));
    }

    // Names below a held folder are opened without following links; a held file keeps giving what was
    // opened whatever its name becomes.
    void heldNamesFollowNoLinks()
    {
        QTemporaryDir dir;
        TestFiles::write(dir.filePath(u"outside/secret.txt"_s), "secret");
        TestFiles::write(dir.filePath(u"pkg/sub/a.txt"_s), "checked");
        QVERIFY(QFile::link(dir.filePath(u"outside"_s), dir.filePath(u"pkg/linked"_s)));
        QVERIFY(QFile::link(dir.filePath(u"outside/secret.txt"_s), dir.filePath(u"pkg/secret.txt"_s)));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"pkg/pipe"_s)).constData(), 0644), 0);
        QVERIFY(QFile::link(dir.filePath(u"pkg"_s), dir.filePath(u"pkglink"_s)));
        const HeldFolder package = HeldFolder::open(dir.filePath(u"pkg"_s));
        QVERIFY(package.isOpen());
        QCOMPARE(package.path(), dir.filePath(u"pkg/"_s));

        QVERIFY(!HeldFolder::open(dir.filePath(u"pkglink/"_s)).isOpen());
        QVERIFY(!package.below(u"linked"_s).isOpen());
        QVERIFY(!package.below(u"sub/.."_s).isOpen());
        QVERIFY(package.below(u"./sub/"_s).isOpen());
        for (const QString &name :
            { u"secret.txt"_s, u"linked/secret.txt"_s, u"pipe"_s, u"sub"_s, u"sub/../sub/a.txt"_s })
            QVERIFY2(!HeldFile::open(package, name).isOpen(), qPrintable(name));
        QCOMPARE(HeldFile::open(package, u"secret.txt"_s).error(), ELOOP);

        const HeldFile held = HeldFile::open(package, u"sub/a.txt"_s);
        QVERIFY(held.isOpen());
        QVERIFY(QFile::rename(dir.filePath(u"pkg/sub"_s), dir.filePath(u"pkg/old"_s)));
        QVERIFY(QFile::link(dir.filePath(u"outside"_s), dir.filePath(u"pkg/sub"_s)));
        QVERIFY(QFile::link(dir.filePath(u"outside/secret.txt"_s), dir.filePath(u"outside/a.txt"_s)));
        QCOMPARE(held.readAll(), std::optional<QByteArray>("checked"));
        QVERIFY(!HeldFile::open(package, u"sub/a.txt"_s).isOpen());
        QCOMPARE(package.entriesNamed(u"SECRET.TXT"_s), QStringList { u"secret.txt"_s });
    }
};

QTEST_APPLESS_MAIN(TestPlatform)
#include "tst_platform.moc"
