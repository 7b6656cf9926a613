// Every command that writes, run again and again with its n-th write or copy failing for each n in
// turn: each file it touches is then whole as before or whole as after, the index files still read,
// no entry that was there is lost, and the user is told with the error text of the failed operation.
#include "editor/document.h"
#include "editor/stringdocumentview.h"
#include "effects/definitionfile.h"
#include "effects/setupflow.h"
#include "library/effectindex.h"
#include "library/inicache.h"
#include "library/inidocument.h"
#include "library/libraryupgrade.h"
#include "library/mainindex.h"
#include "library/packageinstaller.h"
#include "library/packagemaker.h"
#include "library/skinregistry.h"
#include "options/customeffect.h"
#include "options/templateshelf.h"
#include "platform/ansi.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"
#include "support/scripteddialogs.h"
#include "support/scriptedfilesystem.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

using namespace Qt::StringLiterals;

namespace {
using Tree = QMap<QString, QByteArray>;
const QByteArray Missing = "<missing>";

// What a command is run on: the application folder app/, packages in pkg/, the user's own files in
// user/ and a destination folder out/.
struct Folders
{
    QString root;
    QString app() const { return root + u"/app/"_s; }
    QString pkg() const { return root + u"/pkg/"_s; }
    QString user() const { return root + u"/user/"_s; }
    QString out() const { return root + u"/out/"_s; }
};

void put(const QString &path, const QString &text)
{
    TestFiles::write(path, Ansi::encode(text));
}

void layOut(const Folders &f)
{
    QDir(f.root).removeRecursively();
    put(f.app() + u"LINK1.INI"_s, u"[COMBOX]\r\nTOTAL=2\r\nL1=简单复制\r\nL2=图片特效\r\n"_s);
    put(f.app() + u"LINK2.INI"_s,
        u"[简单复制]\r\nTOTAL=1\r\nL1=旧特效\r\n[图片特效]\r\nTOTAL=1\r\nL1=相册\r\n"
        "[system]\r\n简单复制旧特效=1\r\n图片特效相册=2\r\n"_s);
    put(f.app() + u"MAIN.INI"_s,
        u"[main]\r\nMAINFORMIMG=\r\nLIMG=\r\nNAME=\r\n[model]\r\nTOTAL=1\r\nmfile0=/t/一.htm\r\nmfile1=/t/二.htm\r\n"_s);
    put(f.app() + u"SINKNAME"_s, u"[S]\r\nTOTAL=1\r\n[S1]\r\nSNAME=蓝天\r\nSPDIR=/p/m.jpg\r\nSLDIR=/p/s.jpg\r\n"_s);
    put(f.app() + u"简单复制/旧特效.txt"_s, u"<b>旧</b>\r\n"_s);
    put(f.app() + u"图片特效/相册"_s,
        u"[file]\r\nimgfilet=2\r\nimgfile1=a.jpg\r\nimgfile2=b.jpg\r\ntxtfilet=1\r\ntxtfile1=album.js\r\n"_s);
    put(f.app() + u"图片特效/a.jpg"_s, u"jpeg a"_s);
    put(f.app() + u"图片特效/b.jpg"_s, u"jpeg b"_s);
    put(f.app() + u"图片特效/album.js"_s, u"var album = 1;\r\n"_s);
    put(f.app() + u"模板/二.htm"_s, u"<p>旧模板</p>"_s);
    put(f.pkg() + u"一/p1.gx"_s,
        u"[files]\r\nname=幻灯\r\nflistno=2\r\nflist=图片特效\r\nft=2\r\nftname1=slide\r\nftname2=slide.css\r\n"_s);
    put(f.pkg() + u"一/slide"_s, u"[file]\r\nimgfilet=0\r\ntxtfilet=1\r\ntxtfile1=slide.css\r\n"_s);
    put(f.pkg() + u"一/slide.css"_s, u".slide{}\r\n"_s);
    put(f.pkg() + u"二/p2.gx"_s,
        u"[files]\r\nname=问候\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=问候.txt\r\n"_s);
    put(f.pkg() + u"二/问候.txt"_s, u"你好\r\n"_s);
    put(f.user() + u"二.htm"_s, u"<p>新模板</p>"_s);
    put(f.user() + u"三.htm"_s, u"<p>第三个</p>"_s);
    put(f.user() + u"照片.jpg"_s, u"jpeg user"_s);
    put(f.user() + u"page.htm"_s, u"<p>old page</p>"_s);
    QDir().mkpath(f.out());
}

Tree tree(const QString &root)
{
    Tree files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        files[path.mid(root.size())] = TestFiles::read(path);
    }
    return files;
}

bool isIndex(const QString &path)
{
    const QString name = QFileInfo(path).fileName().toUpper();
    return name.endsWith(u".INI"_s) || name == u"SINKNAME"_s || name.endsWith(u".GX"_s);
}

// section -> key -> value, as the lines of an index file written by this program hold them.
QMap<QString, QMap<QString, QString>> entries(const QByteArray &bytes)
{
    QMap<QString, QMap<QString, QString>> all;
    QString section;
    for (const QString &line : Ansi::decode(bytes).split(u"\r\n"_s)) {
        if (line.startsWith(u'[') && line.endsWith(u']'))
            section = line.mid(1, line.size() - 2);
        else if (const qsizetype eq = line.indexOf(u'='); eq > 0)
            all[section][line.left(eq)] = line.mid(eq + 1);
    }
    return all;
}

// A page as big as a long hand-written one, so that its save takes more than one block.
QByteArray largePage()
{
    QByteArray page = "<html><body>\n";
    while (page.size() < 3 * 1024 * 1024)
        page += "<p>一段相当长的文字, with some ASCII text too, 第" + QByteArray::number(page.size()) + "段</p>\n";
    return page + "</body></html>\n";
}

using Step = std::function<void(ScriptedFileSystem &, const Folders &)>;

struct Command
{
    QString name;
    QList<Step> steps;
    // The text the user sees when the operation on failedPath fails; empty when the failure is quiet.
    std::function<QString(const Folders &, const QString &failedPath)> error;
};

QString indexOrCreateError(const Folders &, const QString &failed)
{
    return isIndex(failed) ? VellumoError::unableToWrite(failed).message()
                           : VellumoError::cannotCreate(failed).message();
}

void savePage(ScriptedFileSystem &files, const Folders &f, bool preview)
{
    QStringList unexpected;
    ScriptedDialogs dialogs([&unexpected](const QString &what) { unexpected << what; });
    StringDocumentView view;
    Document document(view, dialogs, files, f.app());
    document.showDefaultPage();
    view.type(largePage());
    if (preview) {
        document.writePreview();
        return;
    }
    dialogs.expect(ScriptedDialogs::Kind::SaveFile, f.user() + u"page.htm"_s);
    dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
    document.savePage();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
}

QList<Command> commands()
{
    return {
        { u"own simple-copy effect"_s, { [](ScriptedFileSystem &fs, const Folders &f) {
             CustomEffect(fs, f.app()).define(u"新特效"_s, u"<i>新</i>\n"_s);
         } },
            indexOrCreateError },
        { u"skin saved"_s, { [](ScriptedFileSystem &fs, const Folders &f) {
             SkinRegistry(fs, f.app()).add({ u"暖阳"_s, u"/q/m.jpg"_s, u"/q/s.jpg"_s });
         } },
            indexOrCreateError },
        { u"skin changed"_s, { [](ScriptedFileSystem &fs, const Folders &f) {
             MainIndex(fs, f.app()).setSkin(u"/q/m.jpg"_s, u"/q/s.jpg"_s, u"暖阳"_s);
         } },
            indexOrCreateError },
        { u"template added and copied"_s,
            { [](ScriptedFileSystem &fs, const Folders &f) {
                 MainIndex(fs, f.app()).addTemplate(f.user() + u"三.htm"_s);
             },
                [](ScriptedFileSystem &fs, const Folders &f) {
                    TemplateShelf(fs, f.app()).copyIn(f.user() + u"三.htm"_s, false);
                } },
            indexOrCreateError },
        { u"template copy replaced"_s, { [](ScriptedFileSystem &fs, const Folders &f) {
             TemplateShelf(fs, f.app()).copyIn(f.user() + u"二.htm"_s, true);
         } },
            indexOrCreateError },
        { u"template deleted"_s, { [](ScriptedFileSystem &fs, const Folders &f) {
             MainIndex(fs, f.app()).rewriteTemplates({ u"/t/二.htm"_s });
         } },
            indexOrCreateError },
        { u"page saved"_s, { [](ScriptedFileSystem &fs, const Folders &f) { savePage(fs, f, false); } },
            indexOrCreateError },
        { u"preview written"_s, { [](ScriptedFileSystem &fs, const Folders &f) { savePage(fs, f, true); } },
            indexOrCreateError },
        // Each package is a step: what an earlier package installed stays when a later one fails.
        { u"two packages installed"_s,
            { [](ScriptedFileSystem &fs, const Folders &f) {
                 PackageInstaller(fs, f.app()).installAll({ f.pkg() + u"一/p1.gx"_s });
             },
                [](ScriptedFileSystem &fs, const Folders &f) {
                    PackageInstaller(fs, f.app()).installAll({ f.pkg() + u"二/p2.gx"_s });
                } },
            indexOrCreateError },
        // A failed copy of an effect's files is not reported; the other copies go on.
        { u"effect files copied"_s, { [](ScriptedFileSystem &fs, const Folders &f) {
             const DefinitionFile definition(fs, f.app(), u"图片特效"_s, u"相册"_s);
             const SetupFlow flow(fs, definition);
             SetupState state;
             flow.open(state);
             state.images << f.user() + u"照片.jpg"_s;
             QCOMPARE(state.images.size(), 3);
             flow.copyFiles(state, f.out());
         } },
            [](const Folders &, const QString &) { return QString(); } },
        { u"package made"_s, { [](ScriptedFileSystem &fs, const Folders &f) {
             const QStringList problems
                 = PackageMaker(fs, f.app()).make(u"图片特效"_s, u"相册"_s, f.out() + u"相册.gx"_s);
             if (!problems.isEmpty())
                 throw VellumoError(problems.join(u'\n'));
         } },
            [](const Folders &f, const QString &failed) {
                return failed.endsWith(u".gx"_s)
                    ? VellumoError::unableToWrite(failed).message()
                    : u"cannot copy "_s + f.app() + u"图片特效/"_s + QFileInfo(failed).fileName() + u" to "_s + failed;
            } },
    };
}

// A step of library maintenance that finds a folder it cannot make or read: what the user is told, and
// what must not look done afterwards.
struct Refusal
{
    QString name;
    std::function<void(ScriptedFileSystem &, const Folders &)> fault;
    // Runs the step and returns what the user is told.
    std::function<QStringList(ScriptedFileSystem &, const Folders &)> run;
    std::function<QStringList(const Folders &)> told;
};

// The user's folder that the application folder, as a shipped library, is brought into.
QString home(const Folders &f)
{
    return f.root + u"/home/"_s;
}

QStringList upgrade(ScriptedFileSystem &files, const Folders &f)
{
    return LibraryUpgrade(files, f.app(), home(f)).run();
}

QStringList install(ScriptedFileSystem &files, const Folders &f)
{
    try {
        PackageInstaller(files, f.app()).installAll({ f.pkg() + u"一/p1.gx"_s });
    } catch (const VellumoError &e) {
        return { e.message() };
    }
    return {};
}

QList<Refusal> refusals()
{
    return {
        { u"upgrade: the user's folder cannot be made"_s,
            [](ScriptedFileSystem &fs, const Folders &f) { fs.refuseWritesUnder(home(f)); }, upgrade,
            [](const Folders &f) { return QStringList { u"cannot create folder "_s + f.root + u"/home/"_s }; } },
        { u"upgrade: a library folder cannot be made"_s,
            [](ScriptedFileSystem &fs, const Folders &f) { fs.refuseWritesUnder(home(f) + u"图片特效"_s); }, upgrade,
            [](const Folders &f) {
                const QString folder = f.root + u"/home/图片特效"_s;
                return QStringList { u"cannot create folder "_s + folder, u"cannot write "_s + folder + u"/a.jpg"_s,
                    u"cannot write "_s + folder + u"/album.js"_s, u"cannot write "_s + folder + u"/b.jpg"_s,
                    u"cannot write "_s + folder + u"/相册"_s };
            } },
        { u"upgrade: a folder of the shipped library cannot be read"_s,
            [](ScriptedFileSystem &fs, const Folders &f) { fs.failListing(f.app() + u"图片特效"_s); }, upgrade,
            [](const Folders &f) { return QStringList { u"cannot read folder "_s + f.root + u"/app/图片特效/"_s }; } },
        { u"upgrade: the record's folder cannot be made"_s,
            [](ScriptedFileSystem &fs, const Folders &f) { fs.refuseWritesUnder(home(f) + u".vellumo-shipped"_s); },
            upgrade,
            [](const Folders &f) {
                return QStringList { u"cannot create folder "_s + f.root + u"/home/.vellumo-shipped/"_s };
            } },
        { u"package: the category folder cannot be read"_s,
            [](ScriptedFileSystem &fs, const Folders &f) { fs.failListing(f.app() + u"图片特效"_s); }, install,
            [](const Folders &f) { return QStringList { u"Cannot open file "_s + f.root + u"/app/图片特效/"_s }; } },
    };
}

QString runSteps(const Command &command, int steps, ScriptedFileSystem &files, const Folders &f)
{
    try {
        for (int i = 0; i < steps; ++i)
            command.steps[i](files, f);
    } catch (const VellumoError &e) {
        return e.message();
    }
    return {};
}
}

class TestFaultInjection : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_faults = 0;

    Folders fresh()
    {
        IniCache::instance().clear();
        Folders f { m_dir.path() + u"/run"_s };
        layOut(f);
        return f;
    }

private slots:
    void everyFailedOperationLeavesWholeFiles_data()
    {
        QTest::addColumn<int>("index");
        const QList<Command> all = commands();
        for (int i = 0; i < all.size(); ++i)
            QTest::addRow("%s", qPrintable(all[i].name)) << i;
    }

    void everyFailedOperationLeavesWholeFiles()
    {
        QFETCH(int, index);
        const Command command = commands()[index];

        // The versions a file may be in: before the command and after each of its steps.
        QList<Tree> versions;
        int operations = 0;
        for (int steps = 0; steps <= command.steps.size(); ++steps) {
            const Folders f = fresh();
            ScriptedFileSystem files;
            QCOMPARE(runSteps(command, steps, files, f), QString());
            versions << tree(f.root);
            operations = files.operations;
        }
        QVERIFY2(versions.first() != versions.last(), "the command changes nothing");
        QVERIFY(operations > 0);

        for (int n = 1; n <= operations; ++n) {
            const Folders f = fresh();
            ScriptedFileSystem files;
            files.failOperation(n);
            const QString error = runSteps(command, command.steps.size(), files, f);
            ++m_faults;
            QVERIFY2(!files.failedPath.isEmpty(), qPrintable(u"operation %1 never came"_s.arg(n)));
            QCOMPARE(error, command.error(f, files.failedPath));

            const Tree now = tree(f.root);
            QStringList paths = now.keys();
            for (const Tree &version : versions)
                paths += version.keys();
            paths.removeDuplicates();
            for (const QString &path : paths) {
                const QByteArray bytes = now.value(path, Missing);
                bool known = false;
                for (const Tree &version : versions)
                    known = known || version.value(path, Missing) == bytes;
                QVERIFY2(known, qPrintable(u"operation %1 failed: %2 is neither before nor after"_s.arg(n).arg(path)));
                if (!isIndex(path) || bytes == Missing)
                    continue;
                // Every entry the index had is still there, read by the program's own reader.
                const IniDocument document(bytes);
                const auto before = entries(versions.first().value(path));
                for (auto section = before.begin(); section != before.end(); ++section)
                    for (auto key = section->begin(); key != section->end(); ++key)
                        QVERIFY2(document.hasKey(section.key(), key.key()),
                            qPrintable(u"%1 lost [%2] %3"_s.arg(path, section.key(), key.key())));
            }
        }
    }

    void aFolderThatCannotBeMadeOrReadIsSaidAndNothingLooksDone_data()
    {
        QTest::addColumn<int>("index");
        const QList<Refusal> all = refusals();
        for (int i = 0; i < all.size(); ++i)
            QTest::addRow("%s", qPrintable(all[i].name)) << i;
    }

    void aFolderThatCannotBeMadeOrReadIsSaidAndNothingLooksDone()
    {
        QFETCH(int, index);
        const Refusal refusal = refusals()[index];
        const Folders f = fresh();
        QStringList hidden;
        TestFiles::write(
            f.app() + LibraryUpgrade::manifestName(), *LibraryUpgrade::manifestOf(LocalFileSystem(), f.app(), hidden));
        // The folder's lock is the only file that a step leaves behind whatever it finds.
        const auto withoutLock = [&f] {
            Tree files = tree(f.app());
            files.remove(u".vellumo.lock"_s);
            return files;
        };
        const Tree before = withoutLock();

        ScriptedFileSystem faulty;
        refusal.fault(faulty, f);
        QCOMPARE(refusal.run(faulty, f), refusal.told(f));
        ++m_faults;

        // Nothing is recorded as done: no package is entered, no upgrade recorded.
        QCOMPARE(withoutLock(), before);
        const QString record = home(f) + u".vellumo-shipped/"_s + LibraryUpgrade::manifestName();
        QVERIFY(!QFileInfo::exists(record));
        // So the same step, when nothing stands in its way, does it all.
        ScriptedFileSystem healthy;
        QCOMPARE(refusal.run(healthy, f), QStringList());
        if (refusal.name.startsWith(u"upgrade"_s)) {
            QVERIFY(QFileInfo::exists(record));
            for (const QString &file : { u"LINK1.INI"_s, u"图片特效/相册"_s, u"图片特效/a.jpg"_s, u"模板/二.htm"_s })
                QCOMPARE(TestFiles::read(home(f) + file), TestFiles::read(f.app() + file));
        } else {
            QCOMPARE(TestFiles::read(f.app() + u"图片特效/slide.css"_s), QByteArray(".slide{}\r\n"));
        }
    }

    void cleanupTestCase() { qInfo("faults injected: %d", m_faults); }
};

QTEST_GUILESS_MAIN(TestFaultInjection)
#include "tst_faultinjection.moc"
