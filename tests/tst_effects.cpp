#include "recordingsink.h"

#include "effects/buffersink.h"
#include "effects/definitionfile.h"
#include "effects/imageeffect.h"
#include "effects/menueffect.h"
#include "effects/setupflow.h"
#include "effects/simplecopyeffect.h"
#include "effects/texteffect.h"
#include "effects/textpiece.h"
#include "library/effecttokens.h"
#include "library/inicache.h"
#include "library/inifile.h"
#include "platform/ansi.h"
#include "platform/vellumoerror.h"
#include "support/memoryclipboard.h"
#include "support/scriptedfilesystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

using namespace Qt::StringLiterals;

namespace {
const QString Category = u"图片特效"_s;
const QString Effect = u"测试特效"_s;

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const VellumoError &e) {
        return e.message();
    }
    return {};
}
}

class TestEffects : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedFileSystem m_files;
    QString app() const { return m_dir.path() + u"/app/"_s; }
    QString category() const { return app() + Category + u'/'; }
    void define(const QString &text) { TestFiles::write(category() + Effect, Ansi::encode(text)); }
    DefinitionFile definition() { return DefinitionFile(m_files, app(), Category, Effect); }

private slots:
    void init()
    {
        IniCache::instance().clear();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(category());
        m_files = ScriptedFileSystem();
    }

    void assemblyMatchesGoldenFolders_data()
    {
        QTest::addColumn<QString>("folder");
        const QString root = QFINDTESTDATA("fixtures/imageeffects");
        QVERIFY(!root.isEmpty());
        for (const QString &name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QTest::newRow(qPrintable(name)) << root + u'/' + name;
    }

    void assemblyMatchesGoldenFolders()
    {
        QFETCH(QString, folder);
        for (const QString &name : QDir(folder).entryList(QDir::Files)) {
            if (name == u"inputs.ini"_s || name == u"expected.txt"_s)
                continue;
            const QByteArray bytes = TestFiles::read(folder + u'/' + name);
            const bool text = name == u"effect"_s || name.endsWith(u".txt"_s);
            TestFiles::write(category() + (name == u"effect"_s ? Effect : name),
                text ? Ansi::encode(QString::fromUtf8(bytes)) : bytes);
        }
        IniFile inputs(m_files, folder + u"/inputs.ini"_s);
        const DefinitionFile file = definition();
        ImageEffect effect(m_files, file);
        effect.open();
        for (const QString &image : inputs.readString(u"inputs"_s, u"images"_s).split(u';', Qt::SkipEmptyParts)) {
            TestFiles::write(m_dir.path() + u"/pics/"_s + image, "picture");
            QVERIFY(SetupFlow::canAddImage(effect.state));
            effect.state.images.append(m_dir.path() + u"/pics/"_s + image);
        }
        for (const QString &size : inputs.readString(u"inputs"_s, u"sizes"_s).split(u';', Qt::SkipEmptyParts)) {
            const QStringList pair = size.split(u'x');
            QCOMPARE(effect.setSize(pair[0], pair[1]), ImageEffect::SizeResult::Set);
        }
        QVERIFY(effect.readyToCopy());
        RecordingSink sink;
        effect.assemble(sink);
        QString expected = QString::fromUtf8(TestFiles::read(folder + u"/expected.txt"_s));
        expected.replace(u"\n"_s, u"\r\n"_s);
        QCOMPARE(sink.text, expected);
        // Into the program's own snippet buffer: the clipboard holds the whole code, given at every addition.
        QString buffer;
        MemoryClipboard clipboard;
        BufferSink snippets(buffer, clipboard);
        effect.assemble(snippets);
        QCOMPARE(buffer, expected);
        QCOMPARE(clipboard.text(), expected);
        QCOMPARE(clipboard.setCount, sink.clipboards.size());
    }

    void openingListsFilesAndWritesTheStatusLine_data()
    {
        QTest::addColumn<QString>("fileSection");
        QTest::addColumn<QStringList>("images");
        QTest::addColumn<QStringList>("textFiles");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("sizeCounter");
        QTest::newRow("no counts") << u"hbu=提示"_s << QStringList() << QStringList()
                                   << u"本特效需图像文件0个，需文本文件0个。提示"_s << 0;
        QTest::newRow("own image and a slot")
            << u"imgfilet=2\nimgfilename1=a.gif\nimgfilename2=0\nszwc=1"_s << QStringList { u"a.gif"_s }
            << QStringList() << u"本特效需图像文件2个，需文本文件0个。"_s << 1;
        QTest::newRow("missing name is no zero")
            << u"imgfilet=1\ntxtfilet=2\ntxtfilename1=x.js\ntxtfilename2=0"_s << QStringList { QString() }
            << QStringList { u"x.js"_s } << u"本特效需图像文件1个，需文本文件2个。"_s << 0;
    }

    void openingListsFilesAndWritesTheStatusLine()
    {
        QFETCH(QString, fileSection);
        QFETCH(QStringList, images);
        QFETCH(QStringList, textFiles);
        QFETCH(QString, status);
        QFETCH(int, sizeCounter);
        define(u"[file]\n"_s + fileSection + u"\n"_s);
        const DefinitionFile file = definition();
        SetupState state;
        SetupFlow(m_files, file).open(state);
        QVERIFY(state.opened);
        QStringList expectedImages, expectedTexts;
        for (const QString &name : images)
            expectedImages << category() + name;
        for (const QString &name : textFiles)
            expectedTexts << category() + name;
        QCOMPARE(state.images, expectedImages);
        QCOMPARE(state.textFiles, expectedTexts);
        QCOMPARE(state.status, status);
        QCOMPARE(state.sizeCounter, sizeCounter);
    }

    void damagedCountsStopWithTheConversionError_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("imagesListed");
        QTest::newRow("image count") << u"[file]\nimgfilet=two\n"_s << u"'two' is not a valid integer value"_s << 0;
        QTest::newRow("text count after images") << u"[file]\nimgfilet=1\nimgfilename1=a.gif\ntxtfilet=9x\n"_s
                                                 << u"'9x' is not a valid integer value"_s << 1;
        QTest::newRow("size counter") << u"[file]\nszwc=many\n"_s << u"'many' is not a valid integer value"_s << 0;
        QTest::newRow("huge count") << u"[file]\nimgfilet=99999999999\n"_s
                                    << u"'99999999999' is not a valid integer value"_s << 0;
    }

    void damagedCountsStopWithTheConversionError()
    {
        QFETCH(QString, text);
        QFETCH(QString, error);
        QFETCH(int, imagesListed);
        define(text);
        const DefinitionFile file = definition();
        SetupState state;
        QCOMPARE(errorOf([&] { SetupFlow(m_files, file).open(state); }), error);
        QCOMPARE(state.images.size(), imagesListed);
    }

    void hugeCountsWalkOnlyTheKeysPresent()
    {
        define(u"[file]\nimgfilet=2000000000\nimgfilename1=0\nimgfilename3=a.gif\ntxtfilet=2000000000\nft=2000000000\n"
               "fno2000000000=p.txt\n[abcd]\ntotal=2000000000\nopen1=fno2000000000\nopen2=x\n"_s);
        TestFiles::write(category() + u"p.txt"_s, "piece");
        const DefinitionFile file = definition();
        ImageEffect effect(m_files, file);
        effect.open();
        QCOMPARE(effect.state.images, (QStringList { category(), category() + u"a.gif"_s }));
        QVERIFY(effect.state.textFiles.isEmpty());
        QVERIFY(!effect.readyToCopy());
        RecordingSink sink;
        effect.assemble(sink);
        QCOMPARE(sink.text, u"piece\r\n"_s);
    }

    void missingDefinitionFileOpensNothing()
    {
        const DefinitionFile file = definition();
        SetupState state;
        SetupFlow(m_files, file).open(state);
        QVERIFY(!state.opened);
        QVERIFY(state.images.isEmpty());
        QCOMPARE(state.status, QString());
    }

    void definitionFileFoundWithoutLetterCase()
    {
        TestFiles::write(category() + u"Effect"_s, "[file]\nimgfilet=1\n");
        const DefinitionFile file(m_files, app(), Category, u"EFFECT"_s);
        SetupState state;
        SetupFlow(m_files, file).open(state);
        QVERIFY(state.opened);
        QCOMPARE(state.imageCount, u"1"_s);
    }

    void stepCountErrorComesAfterTheAdditionsBeforeIt()
    {
        define(u"[file]\nft=1\nfno1=p.txt\n[abcd]\ntotal=\n"_s);
        TestFiles::write(category() + u"p.txt"_s, "x");
        const DefinitionFile file = definition();
        ImageEffect effect(m_files, file);
        effect.open();
        RecordingSink sink;
        QCOMPARE(errorOf([&] { effect.assemble(sink); }), u"'' is not a valid integer value"_s);
        define(u"[file]\nft=x\n[abcd]\ntotal=1\nopen1=fno1\n"_s);
        QCOMPARE(errorOf([&] { effect.assemble(sink); }), u"'x' is not a valid integer value"_s);
        QVERIFY(sink.text.isEmpty());
    }

    // An empty piece file adds nothing: no element, and the clipboard is not set for it.
    void emptyPiecesAddNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("image") << u"image"_s;
        QTest::newRow("menu") << u"menu"_s;
        QTest::newRow("text") << u"text"_s;
    }
    void emptyPiecesAddNothing()
    {
        QFETCH(QString, kind);
        define(u"[file]\nimgfilet=0\nft=2\nfno1=empty.txt\nfno2=p.txt\n[abcd]\ntotal=2\nopen1=fno1\nopen2=fno2\n"_s);
        TestFiles::write(category() + u"empty.txt"_s, "");
        TestFiles::write(category() + u"p.txt"_s, "p");
        const DefinitionFile file = definition();
        RecordingSink sink;
        bool parentMenuNeeded = false;
        if (kind == u"image"_s) {
            ImageEffect effect(m_files, file);
            effect.open();
            effect.assemble(sink);
        } else if (kind == u"menu"_s) {
            MenuEffect effect(m_files, file, parentMenuNeeded);
            effect.open();
            effect.assemble({}, QString(), sink);
        } else {
            TextEffect effect(m_files, file);
            effect.open();
            effect.assemble({}, QString(), sink);
        }
        QCOMPARE(sink.text, u"p\r\n"_s);
        QCOMPARE(sink.clipboards, QStringList { u"p\r\n"_s });
    }

    void sizePairsFollowTheListedImages()
    {
        define(u"[file]\nimgfilet=1\nimgfilename1=0\n"_s);
        const DefinitionFile file = definition();
        ImageEffect effect(m_files, file);
        effect.open();
        QCOMPARE(effect.setSize(u"10"_s, u"10"_s), ImageEffect::SizeResult::Saturated); // no image yet
        effect.state.images << u"/p/a.gif"_s;
        QCOMPARE(effect.setSize(u"0"_s, u"10"_s), ImageEffect::SizeResult::Zero);
        QCOMPARE(effect.setSize(u"10"_s, u"0"_s), ImageEffect::SizeResult::Zero);
        QVERIFY(!effect.readyToCopy());
        QCOMPARE(effect.setSize(u"-5"_s, u"1.5"_s), ImageEffect::SizeResult::Set);
        QCOMPARE(effect.setSize(u"00"_s, QString()), ImageEffect::SizeResult::Saturated);
        QCOMPARE(effect.widths, QStringList { u"-5"_s });
        QCOMPARE(effect.heights, QStringList { u"1.5"_s });
        QVERIFY(effect.readyToCopy());
    }

    void sizeCounterFromTheDefinitionCountsAsSet()
    {
        define(u"[file]\nimgfilet=2\nimgfilename1=0\nimgfilename2=0\nszwc=2\n"_s);
        const DefinitionFile file = definition();
        ImageEffect effect(m_files, file);
        effect.open();
        effect.state.images << u"/p/a.gif"_s << u"/p/b.gif"_s;
        QCOMPARE(effect.setSize(u"1"_s, u"1"_s), ImageEffect::SizeResult::Saturated);
        QVERIFY(effect.readyToCopy());
        effect.state.textFiles << u"/extra"_s;
        QVERIFY(!effect.readyToCopy());
    }

    void copiesNeverOverwriteAndSkipFailures()
    {
        define(u"[file]\ntxtfilet=2\ntxtfilename1=a.js\ntxtfilename2=gone.js\n"_s);
        TestFiles::write(category() + u"a.js"_s, "script");
        const QString destination = m_dir.path() + u"/site/"_s;
        QDir().mkpath(destination);
        TestFiles::write(destination + u"sun.gif"_s, "old sun");
        TestFiles::write(m_dir.path() + u"/one/sun.gif"_s, "new sun");
        TestFiles::write(m_dir.path() + u"/two/sun.gif"_s, "other sun");
        TestFiles::write(m_dir.path() + u"/one/moon.gif"_s, "moon");
        const DefinitionFile file = definition();
        SetupState state;
        SetupFlow flow(m_files, file);
        flow.open(state);
        state.images << m_dir.path() + u"/one/sun.gif"_s << m_dir.path() + u"/one/moon.gif"_s
                     << m_dir.path() + u"/two/moon.gif"_s;
        QCOMPARE(flow.copyFiles(state, destination), 2);
        QCOMPARE(TestFiles::read(destination + u"sun.gif"_s), QByteArray("old sun"));
        QCOMPARE(TestFiles::read(destination + u"moon.gif"_s), QByteArray("moon"));
        QCOMPARE(TestFiles::read(destination + u"a.js"_s), QByteArray("script"));
        QVERIFY(!QFile::exists(destination + u"gone.js"_s));
    }

    // The effect's own pictures and text files are found whatever the letter case of their names,
    // and copied under the name the definition file writes (which the assembled code uses).
    void ownFilesAreCopiedWhateverTheirLetterCase()
    {
        define(u"[file]\nimgfilet=1\nimgfilename1=Sun.GIF\ntxtfilet=1\ntxtfilename1=Show.JS\n"_s);
        TestFiles::write(category() + u"sun.gif"_s, "sun");
        TestFiles::write(category() + u"show.js"_s, "script");
        const QString destination = m_dir.path() + u"/site/"_s;
        QDir().mkpath(destination);
        const DefinitionFile file = definition();
        SetupState state;
        SetupFlow flow(m_files, file);
        flow.open(state);
        QCOMPARE(flow.copyFiles(state, destination), 2);
        QCOMPARE(TestFiles::read(destination + u"Sun.GIF"_s), QByteArray("sun"));
        QCOMPARE(TestFiles::read(destination + u"Show.JS"_s), QByteArray("script"));
    }

    void destinationGetsOneSeparator_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("destination");
        QTest::newRow("folder") << u"/home/u/site"_s << u"/home/u/site/"_s;
        QTest::newRow("root") << u"/"_s << u"/"_s;
        QTest::newRow("already ends") << u"/media/usb/"_s << u"/media/usb/"_s;
    }
    void destinationGetsOneSeparator()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, destination);
        QCOMPARE(SetupFlow::destinationFolder(chosen), destination);
    }

    void numberedTokensAreExact_data()
    {
        QTest::addColumn<QString>("token");
        QTest::addColumn<int>("number");
        QTest::newRow("fno1") << u"fno1"_s << 1;
        QTest::newRow("fno12") << u"fno12"_s << 12;
        QTest::newRow("leading zero") << u"fno01"_s << 0;
        QTest::newRow("upper case") << u"FNO1"_s << 0;
        QTest::newRow("no number") << u"fno"_s << 0;
        QTest::newRow("zero") << u"fno0"_s << 0;
        QTest::newRow("sign") << u"fno+1"_s << 0;
        QTest::newRow("trailing text") << u"fno1a"_s << 0;
    }
    void numberedTokensAreExact()
    {
        QFETCH(QString, token);
        QFETCH(int, number);
        QCOMPARE(EffectTokens::numbered(token, u"fno"_s), number);
    }

    // Names that lead out of the category folder are listed, but never read or copied: the effect
    // then works as with a missing file.
    void namesLeadingOutAreMissingFiles()
    {
        const QString secret = m_dir.path() + u"/secret.txt"_s;
        TestFiles::write(secret, "secret");
        define(u"[file]\nimgfilet=1\nimgfilename1=../../secret.txt\ntxtfilet=2\ntxtfilename1=a.js\n"
               "txtfilename2=..\\..\\secret.txt\nft=2\nfno1=../../secret.txt\nfno2=p.txt\n"_s);
        TestFiles::write(category() + u"a.js"_s, "script");
        TestFiles::write(category() + u"p.txt"_s, "piece");
        TestFiles::write(category() + u"secret.txt"_s, "the category's own");
        const DefinitionFile file = definition();
        SetupState state;
        SetupFlow flow(m_files, file);
        flow.open(state);
        QCOMPARE(state.images, QStringList { category() + u"../../secret.txt"_s });
        QCOMPARE(state.textFiles.size(), 2);
        const QString destination = m_dir.path() + u"/site/"_s;
        QDir().mkpath(destination);
        QCOMPARE(flow.copyFiles(state, destination), 1);
        QCOMPARE(QDir(destination).entryList(QDir::Files), QStringList { u"a.js"_s });
        QVERIFY(!flow.piece(u"fno1"_s));
        const Explained<QString> text = flow.piece(u"fno2"_s);
        QVERIFY(text);
        QCOMPARE(*text, u"piece\r\n"_s);
    }

    void textPiecesEndEveryLineWithCrLf_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("piece");
        QTest::newRow("LF") << QByteArray("a\nb\n") << u"a\r\nb\r\n"_s;
        QTest::newRow("no last break") << QByteArray("a\r\nb") << u"a\r\nb\r\n"_s;
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("blank lines") << QByteArray("\n\n") << u"\r\n\r\n"_s;
        QTest::newRow("GB18030") << Ansi::encode(u"中文\r"_s) << u"中文\r\n"_s;
        QTest::newRow("long line") << QByteArray(10000, 'x') << QString(10000, u'x') + u"\r\n"_s;
    }
    void textPiecesEndEveryLineWithCrLf()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, piece);
        TestFiles::write(category() + u"piece.txt"_s, file);
        const auto loaded = TextPiece::load(m_files, category() + u"piece.txt"_s);
        QVERIFY(loaded);
        QCOMPARE(*loaded, piece);
        QVERIFY(!TextPiece::load(m_files, category() + u"none.txt"_s));
    }

    // One submenu row of the tokens given, after one image was added; the wrapper pairs are named
    // after their kind so the row shows which rule took each token.
    void menuRowTokens_data()
    {
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QString>("tokens");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("error");
        QTest::newRow("rule A in any case")
            << QString() << u"TxtCa,nils,TXTLI"_s << u"<ca>名</ca> <li>u.htm</li>"_s << QString();
        QTest::newRow("number by iii 0 and 1")
            << u"iii=1"_s << u"iii,IMG"_s << u"<n>1</n><img>p.gif</img>"_s << QString();
        QTest::newRow("number by place otherwise") << u"iii=7"_s << u"nils,nils,iii"_s << u"  <n>3</n>"_s << QString();
        QTest::newRow("fixed links in any case")
            << u"lt=2\nlinks2=<hr>"_s << u"LINKS2,links3,links02"_s << u"<hr>"_s << QString();
        QTest::newRow("empty lt counts none") << u"lt="_s << u"links1,txtca"_s << u"<ca>名</ca>"_s << QString();
        QTest::newRow("pieces exact only")
            << u"ft=1\nfno1=p.txt"_s << u"fno1,FNO1,txtca"_s << u"段\r\n<ca>名</ca>"_s << QString();
        QTest::newRow("unknown token repeats nothing")
            << QString() << u"txtca,what,nils"_s << u"<ca>名</ca> "_s << QString();
        QTest::newRow("lt no number") << u"lt=x"_s << u"txtca,links1"_s << u"<ca>名</ca>"_s
                                      << u"'x' is not a valid integer value"_s;
        QTest::newRow("empty ft stops rule A")
            << u"ft="_s << u"txtca,img"_s << u"<ca>名</ca>"_s << u"'' is not a valid integer value"_s;
    }

    void menuRowTokens()
    {
        QFETCH(QString, extra);
        QFETCH(QString, tokens);
        QFETCH(QString, row);
        QFETCH(QString, error);
        QString list = u"[list]\ntotal=%1\n"_s.arg(tokens.split(u',').size());
        for (int i = 0; i < tokens.split(u',').size(); ++i)
            list += u"list%1=%2\n"_s.arg(i + 1).arg(tokens.split(u',')[i]);
        QString fileSection
            = u"[file]\nimgfilet=1\nimgfilename1=0\nmm=0\niii=0\nft=0\ncatop=<ca>\ncabu=</ca>\nlitop=<li>\n"
              "libu=</li>\nimgtop=<img>\nimgbu=</img>\niiitop=<n>\niiibu=</n>\n"_s;
        for (const QString &line : extra.split(u'\n', Qt::SkipEmptyParts))
            fileSection.replace(
                QRegularExpression(u"^"_s + line.section(u'=', 0, 0) + u"=.*$"_s, QRegularExpression::MultilineOption),
                QString());
        define(fileSection + extra + u"\n"_s + list);
        TestFiles::write(category() + u"p.txt"_s, Ansi::encode(u"段"_s));
        const DefinitionFile file = definition();
        bool parentMenuNeeded = true;
        MenuEffect menu(m_files, file, parentMenuNeeded);
        menu.open();
        QVERIFY(!parentMenuNeeded);
        menu.state.images.append(m_dir.path() + u"/pics/p.gif"_s);
        RecordingSink rows;
        MenuInputs inputs { u"0"_s, u"0"_s, QString(), u"名"_s, u"u.htm"_s, u"5"_s };
        QCOMPARE(errorOf([&] { QCOMPARE(menu.addSubmenu(inputs, rows), MenuEffect::AddResult::Added); }), error);
        QCOMPARE(rows.text, row);
    }

    void menuStepsTryEveryKindInOrder()
    {
        define(u"[file]\nimgfilet=x\nmm=0\nlt=1\nlinks1=<L>\nft=1\nfno1=p.txt\ntxtmto=<t\ntxtmbu=>\n"
               "[abcd]\ntotal=5\nopen1=Links1\nopen2=fno1\nopen3=TXTM\nopen4=List\nopen5=fno2\n"_s);
        TestFiles::write(category() + u"p.txt"_s, "p");
        const DefinitionFile file = definition();
        bool parentMenuNeeded = false;
        MenuEffect menu(m_files, file, parentMenuNeeded);
        menu.open();
        RecordingSink sink;
        menu.assemble({ u"120"_s, u"30"_s, {}, {}, {}, u"1"_s }, u"<rows>"_s, sink);
        QCOMPARE(sink.text, u"<L>p\r\n<t width=120 height=30 ><rows>"_s);
        QCOMPARE(sink.clipboards.size(), 4);
    }

    void textCountsFollowIiiAndTtt_data()
    {
        QTest::addColumn<QString>("iii");
        QTest::addColumn<QString>("ttt");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("steps");
        QTest::newRow("from 0") << u"0"_s << u"0"_s << u"[0][1][2]"_s << u"[3](3)"_s;
        QTest::newRow("from 1") << u"1"_s << u"1"_s << u"[1][2][3]"_s << u"[4](4)"_s;
        QTest::newRow("undefined values add nothing") << u"2"_s << QString() << QString() << QString();
    }

    void textCountsFollowIiiAndTtt()
    {
        QFETCH(QString, iii);
        QFETCH(QString, ttt);
        QFETCH(QString, rows);
        QFETCH(QString, steps);
        define(u"[file]\nft=0\niii=%1\nttt=%2\niiitop=[\niiibu=]\nttttop=(\ntttbu=)\n[list]\ntotal=1\nlist1=III\n"
               "[abcd]\ntotal=3\nopen1=list\nopen2=iii\nopen3=ttt\n"_s.arg(iii, ttt));
        const DefinitionFile file = definition();
        TextEffect text(m_files, file);
        text.open();
        RecordingSink rowBuffer;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(text.addRow({ u"t"_s, u"f"_s, u"c"_s, u"3"_s }, rowBuffer), TextEffect::RowResult::Added);
        QCOMPARE(text.addRow({ u"t"_s, u"f"_s, u"c"_s, u"3"_s }, rowBuffer), TextEffect::RowResult::CountReached);
        QCOMPARE(rowBuffer.text, rows);
        RecordingSink sink;
        text.assemble({}, u"R"_s, sink);
        QCOMPARE(sink.text, u"R"_s + steps);
    }
    // A simple-copy effect's file goes to the clipboard as ANSI text with CR LF line ends; without a
    // file the clipboard keeps what it had.
    void simpleCopyPutsItsFileOnTheClipboard_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("copied");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("each line end becomes CR LF")
            << u"顶部.txt"_s << QByteArray("<a>\n<b>\r<c>\r\n</c>") << true << u"<a>\r\n<b>\r\n<c>\r\n</c>"_s;
        QTest::newRow("read as ANSI") << u"顶部.txt"_s << QByteArray("\xb6\xa5\xb2\xbf") << true << u"顶部"_s;
        QTest::newRow("name in other letter case") << u"顶部.TXT"_s << QByteArray("x") << true << u"x"_s;
        QTest::newRow("empty file") << u"顶部.txt"_s << QByteArray() << true << QString();
        QTest::newRow("no file") << u"底部.txt"_s << QByteArray("x") << false << u"before"_s;
        QTest::newRow("a folder is no file") << u"顶部.txt/"_s << QByteArray() << false << u"before"_s;
    }
    void simpleCopyPutsItsFileOnTheClipboard()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, copied);
        QFETCH(QString, clipboard);
        if (fileName.endsWith(u'/'))
            QVERIFY(QDir().mkpath(category() + fileName));
        else
            TestFiles::write(category() + fileName, bytes);
        MemoryClipboard board;
        board.setText(u"before"_s);
        const SimpleCopyEffect effect(m_files, app(), Category, u"顶部"_s);
        QCOMPARE(effect.copyTo(board), copied);
        QCOMPARE(board.text(), clipboard);
        QCOMPARE(board.setCount, copied ? 2 : 1);
    }
};

QTEST_APPLESS_MAIN(TestEffects)
#include "tst_effects.moc"
