// What an effect's preview assembles and writes, without a display: the window's own state stays as
// it is, samples stand in only for what is missing, and the scratch page goes where nothing else is.
#include "effects/definitionfile.h"
#include "effects/imageeffect.h"
#include "effects/menueffect.h"
#include "effects/previewassembly.h"
#include "effects/previewfolder.h"
#include "effects/texteffect.h"
#include "library/inicache.h"
#include "platform/ansi.h"
#include "platform/vellumoerror.h"
#include "support/scriptedfilesystem.h"

#include "platform/localfilesystem.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testfiles.h"

using namespace Qt::StringLiterals;

namespace {
const QString Category = u"测试"_s;
const QString Effect = u"测试特效"_s;

const QString ImageDefinition = u"[file]\nimgfilet=2\nimgfilename1=own.gif\nimgfilename2=0\ntxtfilet=1\n"
                                "txtfilename1=fx.js\nft=0\nintop2=<i>\ninbu2=</i>\nimmtop2=<img\nimmbu2=\">\n"
                                "[abcd]\ntotal=2\nopen1=inname2\nopen2=imain2\n"_s;
const QString MenuDefinition = u"[file]\nimgfilet=x\ntxtfilet=0\nmm=1\nlino=0\ntxty=1\nft=0\n"
                               "mmtop=<b>\nmmbu=</b>\nlitop=<a href=\"\nlibu=\">\ncatop=\ncabu=</a>\n"
                               "txtmto=<nav\ntxtmbu=>\n[list]\ntotal=2\nlist1=txtli\nlist2=txtca\n"
                               "[abcd]\ntotal=2\nopen1=txtm\nopen2=list\n"_s;
const QString TextDefinition = u"[file]\nimgfilet=0\ntxtfilet=0\nft=0\ntxttop=<p>\ntxtbu=</p>\n"
                               "[list]\ntotal=1\nlist1=txt\n[abcd]\ntotal=1\nopen1=list\n"_s;
}

class TestPreviewAssembly : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedFileSystem m_files;
    QString app() const { return m_dir.path() + u"/app/"_s; }
    void define(const QString &text) { TestFiles::write(app() + Category + u'/' + Effect, Ansi::encode(text)); }
    DefinitionFile definition() { return DefinitionFile(m_files, app(), Category, Effect); }
    PreviewAssembly assembly() const { return PreviewAssembly({ u"/s/one.jpg"_s, u"/s/two.jpg"_s }); }

private slots:
    void init()
    {
        IniCache::instance().clear();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(app() + Category);
    }

    void imagePreviewFillsOnlyWhatIsMissing()
    {
        define(ImageDefinition);
        const DefinitionFile file = definition();
        ImageEffect effect(m_files, file);
        effect.open();
        // The empty slot gets its own sample picture, the boxes' size counts for the first picture and
        // the second gets the sample size.
        const PreviewContent content = assembly().image(effect, u"77"_s, u"55"_s);
        QCOMPARE(content.code,
            u"<i>own.gif</i>\r\n<i>two.jpg</i>\r\n<img WIDTH=\"77\" HEIGHT=\"55\">\r\n<img WIDTH=\"160\" HEIGHT=\"120\">\r\n"_s);
        QVERIFY(content.samples);
        QStringList names;
        for (const SetupFlow::FileToCopy &f : content.files)
            names << f.name;
        QCOMPARE(names, (QStringList { u"own.gif"_s, u"two.jpg"_s, u"fx.js"_s }));
        // The window's effect is as it was.
        QCOMPARE(effect.state.images.size(), 1);
        QVERIFY(effect.widths.isEmpty());
        QCOMPARE(effect.state.sizeCounter, 0);

        // What the user has set shows as set, and nothing is a sample any more.
        effect.state.images.append(u"/mine/pic.gif"_s);
        QCOMPARE(effect.setSize(u"10"_s, u"20"_s), ImageEffect::SizeResult::Set);
        QCOMPARE(effect.setSize(u"30"_s, u"40"_s), ImageEffect::SizeResult::Set);
        const PreviewContent mine = assembly().image(effect, u"0"_s, u"0"_s);
        QVERIFY(!mine.samples);
        QVERIFY(mine.code.contains(u"<i>pic.gif</i>"_s));
        QVERIFY(mine.code.contains(u"WIDTH=\"30\" HEIGHT=\"40\""_s));
    }

    void menuPreviewLeavesTheRunsParentMenuFlagAlone()
    {
        define(MenuDefinition);
        const DefinitionFile file = definition();
        bool parentMenuNeeded = true;
        MenuEffect effect(m_files, file, parentMenuNeeded);
        effect.open();
        MenuInputs inputs = PreviewAssembly::openingMenuInputs();
        // Nothing entered: the sample menu, in the sample size.
        const PreviewContent samples = assembly().menu(effect, inputs, QString());
        QVERIFY(samples.samples);
        QVERIFY(samples.code.startsWith(u"<nav width=160 height=30 ><b>栏目</b><a href=\"#\">首页</a>"_s));
        QVERIFY(parentMenuNeeded);
        // A parent menu and a submenu being typed count as added.
        inputs.parentName = u"产品"_s;
        inputs.submenuName = u"手机"_s;
        inputs.link = u"phone.htm"_s;
        const PreviewContent typed = assembly().menu(effect, inputs, QString());
        QVERIFY(typed.code.endsWith(u"<b>产品</b><a href=\"phone.htm\">手机</a>"_s));
        QVERIFY(parentMenuNeeded);
        QCOMPARE(effect.submenusText(), u"0"_s);
    }

    void textPreviewCountsTheTypedTextAsARow()
    {
        define(TextDefinition);
        const DefinitionFile file = definition();
        TextEffect effect(m_files, file);
        effect.open();
        TextInputs inputs = PreviewAssembly::openingTextInputs();
        inputs.text = u"你好"_s;
        QCOMPARE(assembly().text(effect, inputs, u"<p>第一行</p>"_s).code, u"<p>第一行</p><p>你好</p>"_s);
        QVERIFY(!effect.hasRows());
        // An empty box and no rows yet: a sample row.
        inputs.text.clear();
        const PreviewContent sample = assembly().text(effect, inputs, QString());
        QCOMPARE(sample.code, u"<p>示例文字</p>"_s);
        QVERIFY(sample.samples);
    }

    void damagedDefinitionsRaiseTheirError()
    {
        define(QString(TextDefinition).replace(u"[abcd]\ntotal=1"_s, u"[abcd]\ntotal=zz"_s));
        const DefinitionFile file = definition();
        TextEffect effect(m_files, file);
        effect.open();
        try {
            assembly().text(effect, PreviewAssembly::openingTextInputs(), QString());
            QFAIL("no error");
        } catch (const VellumoError &error) {
            QCOMPARE(error.message(), u"'zz' is not a valid integer value"_s);
        }
    }

    void defaultsFollowTheEffectsKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("code");
        QTest::newRow("simple copy") << u"1"_s << u"<b>copied</b>\r\n"_s;
        QTest::newRow("text") << u"4"_s << u"<p>示例文字</p>"_s;
        QTest::newRow("unusable") << u"0"_s << QString();
    }

    void defaultsFollowTheEffectsKind()
    {
        QFETCH(QString, kind);
        QFETCH(QString, code);
        TestFiles::write(app() + u"LINK2.INI"_s,
            Ansi::encode(u"[测试]\r\nTOTAL=1\r\nl1=测试特效\r\n[system]\r\n测试测试特效=%1\r\n"_s.arg(kind)));
        define(TextDefinition);
        TestFiles::write(app() + Category + u"/测试特效.txt"_s, "<b>copied</b>\n");
        QCOMPARE(assembly().defaults(m_files, app(), Category, Effect).code, code);
    }

    void theScratchPageIsTheNewPageWithTheCode()
    {
        ScriptedFileSystem files;
        const QString picture = m_dir.path() + u"/pics/a.jpg"_s;
        TestFiles::write(picture, "jpeg");
        QString folderPath;
        {
            PreviewFolder folder(files);
            PreviewContent content;
            content.code = u"<p>预览</p>\r\n"_s;
            content.files = { { picture, u"图.jpg"_s } };
            // The scratch page says it is GB18030, which it is written in: a page labelled GB2312 is read
            // as GBK, which has no ©.
            content.code = u"<p>预览 ©</p>\r\n"_s;
            const Explained<QString> page
                = folder.writePage(content, u"<html><head><meta charset=\"gb2312\"></head><body>\r\n</BODY></html>"_s);
            QVERIFY2(page, qPrintable(page.why()));
            folderPath = folder.path();
            QVERIFY(folderPath.startsWith(QDir::tempPath()));
            QCOMPARE(*page, folderPath + PreviewFolder::pageName());
            QCOMPARE(TestFiles::read(*page),
                Ansi::encode(
                    u"<html><head><meta charset=\"gb18030\"></head><body>\r\n<p>预览 ©</p>\r\n</BODY></html>"_s));
            QCOMPARE(TestFiles::read(folderPath + u"图.jpg"_s), QByteArray("jpeg"));
            // A new-page text that declares nothing is given the declaration.
            QVERIFY(folder.writePage(content, u"<!DOCTYPE html>\r\n<html><body></body></html>"_s));
            QCOMPARE(TestFiles::read(*page),
                Ansi::encode(
                    u"<!DOCTYPE html><meta charset=\"gb18030\">\r\n<html><body><p>预览 ©</p>\r\n</body></html>"_s));
            // Without a new-page text, a bare page that declares the same encoding.
            QVERIFY(folder.writePage(content, QString()));
            QVERIFY(TestFiles::read(*page).contains("<meta charset=\"gb18030\">"));
        }
        QVERIFY(!QFileInfo::exists(folderPath));
        QCOMPARE(TestFiles::read(picture), QByteArray("jpeg"));
    }

    void aRefusedWriteIsAProblemNotACrash()
    {
        ScriptedFileSystem files;
        files.refuseWritesUnder(QDir::tempPath());
        PreviewFolder folder(files);
        const Explained<QString> page = folder.writePage(PreviewContent(), QString());
        QVERIFY(!page);
        QVERIFY(page.why().startsWith(u"无法写入预览页："_s));
    }

    // Ended by the session (SIGTERM, SIGHUP) or by Ctrl+C, the program takes its scratch folders with
    // it and still ends by the signal.
    void anEndingSignalTakesTheScratchFolder_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("session end") << int(SIGTERM);
        QTest::newRow("hang-up") << int(SIGHUP);
        QTest::newRow("interrupt") << int(SIGINT);
    }

    void anEndingSignalTakesTheScratchFolder()
    {
        QFETCH(int, signal);
        QProcess holder;
        holder.start(QStringLiteral(VELLUMO_SCRATCHHOLDER), {});
        QVERIFY(holder.waitForReadyRead(30000));
        const QString folder = QString::fromLocal8Bit(holder.readLine().trimmed());
        QVERIFY(QFileInfo::exists(folder + PreviewFolder::pageName()));
        QCOMPARE(::kill(pid_t(holder.processId()), signal), 0);
        QVERIFY(holder.waitForFinished(30000));
        QCOMPARE(holder.exitStatus(), QProcess::CrashExit);
        QCOMPARE(holder.exitCode(), signal);
        QVERIFY(!QFileInfo::exists(folder));
    }

    // Only what ended programs' previews left: this program's name pattern, this user's, a day old.
    void startUpClearsOnlyStaleScratchFolders()
    {
        QTemporaryDir temporary;
        const QString at = temporary.path() + u'/';
        const auto make = [&](const QString &name, qint64 ageSeconds) {
            TestFiles::write(at + name + u"/preview.htm"_s, "x");
            const timespec when[2] = { { time(nullptr) - ageSeconds, 0 }, { time(nullptr) - ageSeconds, 0 } };
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(at + name).constData(), when, AT_SYMLINK_NOFOLLOW), 0);
        };
        const qint64 twoDays = 2 * 24 * 3600;
        make(u"vellumo-preview-ab12CD"_s, twoDays);
        make(u"vellumo-preview-fresh1"_s, 3600);
        make(u"vellumo-preview-toolong"_s, twoDays);
        make(u"vellumo-preview-ab12"_s, twoDays);
        make(u"my-vellumo-preview-ab12CD"_s, twoDays);
        make(u"kept/target"_s, twoDays);
        QVERIFY(QFile::link(at + u"kept"_s, at + u"vellumo-preview-link01"_s));
        TestFiles::write(at + u"vellumo-preview-file01"_s, "a user's file");
        QStringList expected { u"kept"_s, u"my-vellumo-preview-ab12CD"_s, u"vellumo-preview-ab12"_s,
            u"vellumo-preview-file01"_s, u"vellumo-preview-fresh1"_s, u"vellumo-preview-link01"_s,
            u"vellumo-preview-toolong"_s };
        // Another user's stale folder; only the administrator can make one to try.
        if (::geteuid() == 0) {
            make(u"vellumo-preview-other1"_s, twoDays);
            QCOMPARE(::chown(QFile::encodeName(at + u"vellumo-preview-other1"_s).constData(), 65534, 65534), 0);
            expected << u"vellumo-preview-other1"_s;
            expected.sort();
        }

        QCOMPARE(PreviewFolder::clearStale(temporary.path()), 1);
        QStringList left = QDir(at).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        left.sort();
        QCOMPARE(left, expected);
        QVERIFY(QFileInfo::exists(at + u"kept/target/preview.htm"_s));
    }

    // A folder cleared away by another program's start-up gives the next page a new one.
    void aScratchFolderTakenAwayIsMadeAgain()
    {
        LocalFileSystem local;
        PreviewFolder folder(local);
        QVERIFY(folder.writePage({ u"<b>1</b>"_s, {}, false }, QString()));
        QVERIFY(QDir(folder.path()).removeRecursively());
        const Explained<QString> page = folder.writePage({ u"<b>2</b>"_s, {}, false }, QString());
        QVERIFY2(page, qPrintable(page.why()));
        QVERIFY(Ansi::decode(TestFiles::read(*page)).contains(u"<b>2</b>"_s));
    }
};

QTEST_APPLESS_MAIN(TestPreviewAssembly)
#include "tst_previewassembly.moc"
