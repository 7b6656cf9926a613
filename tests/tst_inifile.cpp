#include "library/inicache.h"
#include "library/inifile.h"
#include "platform/ansi.h"
#include "platform/vellumoerror.h"
#include "support/scriptedfilesystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

#include <sys/stat.h>
#include <utime.h>

using namespace Qt::StringLiterals;

namespace {
// Literal bytes, NULs included.
template <std::size_t N> QByteArray raw(const char (&bytes)[N])
{
    return QByteArray(bytes, qsizetype(N - 1));
}

QByteArray gb(const QString &text)
{
    return Ansi::encode(text);
}

struct Op
{
    QString section, key, value;
};

// A file clock with one-hour ticks, so that a rewrite of the same size keeps the stamp and every file
// counts as fresh; the first read of a file is followed at once by a rewrite, as if another process
// changed it just then.
class RewrittenAfterReading : public ScriptedFileSystem
{
public:
    explicit RewrittenAfterReading(const QByteArray &rewrite)
        : m_rewrite(rewrite)
    {
    }

    FileStamp stamp(const QString &path) const override
    {
        FileStamp s = ScriptedFileSystem::stamp(path);
        s.modifiedNs = tick(s.modifiedNs);
        s.changedNs = tick(s.changedNs);
        return s;
    }
    std::int64_t nowNs() const override { return tick(ScriptedFileSystem::nowNs()); }
    std::optional<QByteArray> readAll(const QString &path) const override
    {
        std::optional<QByteArray> bytes = ScriptedFileSystem::readAll(path);
        if (!m_rewrite.isEmpty()) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(m_rewrite);
            m_rewrite.clear();
        }
        return bytes;
    }

private:
    static std::int64_t tick(std::int64_t ns) { return ns - ns % 3'600'000'000'000; }
    mutable QByteArray m_rewrite;
};
}
Q_DECLARE_METATYPE(QList<Op>)

class TestIniFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedFileSystem m_files;
    QString path(const QString &name = u"test.ini"_s) const { return m_dir.filePath(name); }

private slots:
    void init()
    {
        IniCache::instance().clear();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        m_files = ScriptedFileSystem();
    }

    void readsAsTheRulesSay_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray v1 = "[Main]\r\n  Title \t=\t Hello World  \r\n";
        QTest::newRow("names and values trimmed, names without case")
            << v1 << u" main "_s << u"TITLE"_s << u"Hello World"_s;
        QTest::newRow("a tab in the asked name never matches") << v1 << u"\tMain"_s << u"Title"_s << QString();
        const QByteArray v3 = "[Q]\r\nA=  \"  x  \"  \r\nB='y'\r\nC=\"z'\r\nD=\"\"q\"\"\r\nE=\"\r\n";
        QTest::newRow("quotes A") << v3 << u"Q"_s << u"A"_s << u"  x  "_s;
        QTest::newRow("quotes B") << v3 << u"Q"_s << u"B"_s << u"y"_s;
        QTest::newRow("quotes C mixed stay") << v3 << u"Q"_s << u"C"_s << u"\"z'"_s;
        QTest::newRow("quotes D one pair only") << v3 << u"Q"_s << u"D"_s << u"\"q\""_s;
        QTest::newRow("quotes E lone quote stays") << v3 << u"Q"_s << u"E"_s << u"\""_s;
        const QByteArray v4 = "[S]\r\n  ;Title=c\r\n#Name=h\r\nV=a ;b\r\n";
        QTest::newRow("comment line is no key") << v4 << u"S"_s << u"Title"_s << QString();
        QTest::newRow("comment line is no key by its text") << v4 << u"S"_s << u";Title"_s << QString();
        QTest::newRow("hash starts nothing") << v4 << u"S"_s << u"#Name"_s << u"h"_s;
        QTest::newRow("no inline comments") << v4 << u"S"_s << u"V"_s << u"a ;b"_s;
        const QByteArray v5 = "[S]\r\nk=first\r\nk=second\r\n[S]\r\nj=other\r\n";
        QTest::newRow("first key wins") << v5 << u"S"_s << u"k"_s << u"first"_s;
        QTest::newRow("only first section searched") << v5 << u"S"_s << u"j"_s << QString();
        QTest::newRow("header with junk after")
            << QByteArray("  [ Main ]junk\r\nk=v\r\n") << u"Main"_s << u"k"_s << u"v"_s;
        const QByteArray v7 = "[a]b]\r\nk=v\r\n";
        QTest::newRow("name ends at first bracket") << v7 << u"a"_s << u"k"_s << u"v"_s;
        QTest::newRow("no name past the first bracket") << v7 << u"a]b"_s << u"k"_s << QString();
        QTest::newRow("unclosed header") << QByteArray("[Main   \r\nk=v\r\n") << u"Main"_s << u"k"_s << u"v"_s;
        QTest::newRow("empty section name") << QByteArray("key=val_no_section\r\n[]\r\nkey=val_e_section\r\n")
                                            << QString() << u"key"_s << u"val_e_section"_s;
        QTest::newRow("CR line ends") << QByteArray("[S]\rk=v\r") << u"S"_s << u"k"_s << u"v"_s;
        QTest::newRow("LF line ends") << QByteArray("[S]\nk=v\n") << u"S"_s << u"k"_s << u"v"_s;
        QTest::newRow("line without equals") << QByteArray("[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n")
                                             << u"s"_s << u"name3"_s << QString();
        QTest::newRow("UTF-8 mark honoured") << QByteArray("\xEF\xBB\xBF[S]\r\nk=v\r\n") << u"S"_s << u"k"_s << u"v"_s;
        QTest::newRow("cut at 2047 bytes") << QByteArray("[section1]\r\nname1=") + QByteArray(3000, 'a')
                                           << u"section1"_s << u"name1"_s << QString(2047, u'a');
        QTest::newRow("cut never inside a character")
            << QByteArray("[S]\r\nk=") + QByteArray(2046, 'a') + gb(u"中"_s) << u"S"_s << u"k"_s << QString(2046, u'a');
        QTest::newRow("quotes removed before the cut")
            << QByteArray("[S]\r\nk=\"") + QByteArray(2047, 'b') + "\"" << u"S"_s << u"k"_s << QString(2047, u'b');
        QTest::newRow("key letters without case")
            << QByteArray("[COMBOX]\r\nl4=x\r\n") << u"COMBOX"_s << u"L4"_s << u"x"_s;
        QTest::newRow("value stops at NUL") << raw("[S]\r\nk=ab\0cd\r\n") << u"S"_s << u"k"_s << u"ab"_s;
        QTest::newRow("lines before any section unreadable")
            << QByteArray("k=v\r\n[S]\r\n") << QString() << u"k"_s << QString();
        QTest::newRow("GB18030 names and values") << gb(u"[图片特效]\r\nTOTAL=2\r\n[system]\r\n图片特效渐变=2\r\n"_s)
                                                  << u"system"_s << u"图片特效渐变"_s << u"2"_s;
        // 0x5D (']') and 0x3D ('=') can be the second byte of a GB18030 character.
        QTest::newRow("bracket byte inside a character") << QByteArray("[\x81\x5D"
                                                                       "x]\r\nk=v\r\n")
                                                         << Ansi::decode("\x81\x5Dx") << u"k"_s << u"v"_s;
        QTest::newRow("UTF-16LE file") << raw("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0") << u"S"_s << u"k"_s
                                       << u"v"_s;
        QTest::newRow("invalid bytes do not break the rest")
            << QByteArray("[S]\r\nbad=\xFF\xFE\x80\r\nk=v\r\n") << u"S"_s << u"k"_s << u"v"_s;
        QTest::newRow("binary garbage") << raw("\x00\x01[\x02\x03\r\n\x7F=\x80") << u"S"_s << u"k"_s << QString();
    }

    void readsAsTheRulesSay()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        TestFiles::write(path(), file);
        QCOMPARE(IniFile(m_files, path()).readString(section, key), expected);
    }

    void missingFileReadsEmpty()
    {
        QCOMPARE(IniFile(m_files, path(u"none.ini"_s)).readString(u"S"_s, u"k"_s), QString());
    }

    void writesAsTheRulesSay_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QList<Op>>("ops");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file") << false << QByteArray() << QList<Op> { { u"Main"_s, u"Title"_s, u"Hello"_s } }
                                  << QByteArray("[Main]\r\nTitle=Hello\r\n");
        QTest::newRow("keys in the order written") << true << QByteArray()
                                                   << QList<Op> { { u"S"_s, u"z"_s, {} }, { u"S"_s, u"a"_s, {} },
                                                          { u"S"_s, u"y"_s, {} }, { u"S"_s, u"b"_s, {} } }
                                                   << QByteArray("[S]\r\nz=\r\na=\r\ny=\r\nb=\r\n");
        QTest::newRow("last line without break")
            << true << QByteArray("[Sec]\r\nKey=Old") << QList<Op> { { u"SEC"_s, u"KEY"_s, u"New"_s } }
            << QByteArray("[Sec]\r\nKey=New\r\n");
        QTest::newRow("after the last key, before trailing comments")
            << true << QByteArray(";top\r\n[S]\r\n;c1\r\nb=1\r\n;c2\r\na=2\r\n;tail\r\n[T]\r\nx=1\r\n")
            << QList<Op> { { u"S"_s, u"z"_s, u"3"_s } }
            << QByteArray(";top\r\n[S]\r\n;c1\r\nb=1\r\n;c2\r\na=2\r\nz=3\r\n;tail\r\n[T]\r\nx=1\r\n");
        QTest::newRow("before the blank line")
            << true << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n") << QList<Op> { { u"A"_s, u"z"_s, u"3"_s } }
            << QByteArray("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
        QTest::newRow("missing section appended")
            << true << QByteArray("[App1]\r\nkey1=string1\r\n[App2]\r\nkey4=string4\r\n")
            << QList<Op> { { u"App3"_s, u"key5"_s, u"string5"_s } }
            << QByteArray("[App1]\r\nkey1=string1\r\n[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n");
        QTest::newRow("binary without break gets one")
            << true << raw("Data \0 before \0 first \0 section")
            << QList<Op> { { u"section1"_s, u"key1"_s, u"string1"_s } }
            << raw("Data \0 before \0 first \0 section") + "\r\n[section1]\r\nkey1=string1\r\n";
        QTest::newRow("value written as given")
            << true << QByteArray() << QList<Op> { { u"S"_s, u"k"_s, u"  spaced  "_s } }
            << QByteArray("[S]\r\nk=  spaced  \r\n");
        QTest::newRow("names lose surrounding spaces")
            << true << QByteArray() << QList<Op> { { u" S "_s, u" k "_s, {} } } << QByteArray("[S]\r\nk=\r\n");
        QTest::newRow("first of two keys replaced")
            << true << QByteArray("[S]\r\nk=1\r\nk=2\r\n") << QList<Op> { { u"S"_s, u"k"_s, u"3"_s } }
            << QByteArray("[S]\r\nk=3\r\nk=2\r\n");
        QTest::newRow("text up to the equals kept")
            << true << QByteArray("[S]\r\nk  =  old\r\n") << QList<Op> { { u"S"_s, u"k"_s, u"new"_s } }
            << QByteArray("[S]\r\nk  =new\r\n");
        QTest::newRow("GB18030 key") << true << QByteArray("[system]\r\n")
                                     << QList<Op> { { u"system"_s, u"简单复制abc"_s, u"1"_s } }
                                     << QByteArray("[system]\r\n") + gb(u"简单复制abc=1"_s) + "\r\n";
        QTest::newRow("empty section gets key after header")
            << true << QByteArray("[S]\r\n[T]\r\n") << QList<Op> { { u"S"_s, u"k"_s, u"v"_s } }
            << QByteArray("[S]\r\nk=v\r\n[T]\r\n");
        QTest::newRow("header at end without break")
            << true << QByteArray("[S]") << QList<Op> { { u"S"_s, u"k"_s, u"v"_s } } << QByteArray("[S]\r\nk=v\r\n");
        QTest::newRow("other bytes untouched, invalid ones too")
            << true << QByteArray("\x80\xFFjunk\n[S]\na=1\n") << QList<Op> { { u"S"_s, u"b"_s, u"2"_s } }
            << QByteArray("\x80\xFFjunk\n[S]\na=1\nb=2\r\n");
        QTest::newRow("UTF-8 mark kept") << true << QByteArray("\xEF\xBB\xBF[S]\r\n")
                                         << QList<Op> { { u"S"_s, u"名"_s, u"值"_s } }
                                         << QByteArray("\xEF\xBB\xBF[S]\r\n") + u"名=值"_s.toUtf8() + "\r\n";
        QTest::newRow("UTF-16LE stays UTF-16LE")
            << true << raw("\xFF\xFE[\0S\0]\0\r\0\n\0") << QList<Op> { { u"S"_s, u"k"_s, u"v"_s } }
            << raw("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0");
    }

    void writesAsTheRulesSay()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, before);
        QFETCH(QList<Op>, ops);
        QFETCH(QByteArray, after);
        if (exists)
            TestFiles::write(path(), before);
        IniFile file(m_files, path());
        for (const Op &op : ops)
            file.writeString(op.section, op.key, op.value);
        QCOMPARE(TestFiles::read(path()), after);
    }

    void writeThenReadGivesTrimmedValue()
    {
        IniFile file(m_files, path());
        file.writeString(u"S"_s, u"k"_s, u"  spaced  "_s);
        QCOMPARE(file.readString(u"S"_s, u"k"_s), u"spaced"_s);
        file.writeString(u"S"_s, u"k"_s, u"中文值"_s);
        QCOMPARE(IniFile(m_files, path()).readString(u"s"_s, u"K"_s), u"中文值"_s);
    }

    void changesByOthersAreSeenAtOnce()
    {
        FileSystem &files = m_files;
        TestFiles::write(path(), "[Test]\nProfileInt=123\n");
        IniFile file(files, path());
        QCOMPARE(file.readString(u"Test"_s, u"ProfileInt"_s), u"123"_s);
        TestFiles::write(path(), "[Test]\nProfileInt=124\n"); // same size, same second
        QCOMPARE(file.readString(u"Test"_s, u"ProfileInt"_s), u"124"_s);
        QVERIFY(QFile::remove(path()));
        QCOMPARE(file.readString(u"Test"_s, u"ProfileInt"_s), QString());
    }

    void changeJustAfterAReadIsSeenNext()
    {
        // The stamp the cached file rests on must be the one from before the read.
        TestFiles::write(path(), "[T]\nk=1\n");
        RewrittenAfterReading files("[T]\nk=2\n");
        IniFile file(files, path());
        QCOMPARE(file.readString(u"T"_s, u"k"_s), u"1"_s);
        QCOMPARE(TestFiles::read(path()), QByteArray("[T]\nk=2\n"));
        QCOMPARE(file.readString(u"T"_s, u"k"_s), u"2"_s);
    }

    void sameSizeChangeOfAnOldFileIsSeen()
    {
        // A file last changed long ago is trusted by its stamp; an in-place rewrite changes the stamp.
        TestFiles::write(path(), "[T]\nk=1\n");
        const QByteArray name = QFile::encodeName(path());
        utimbuf old { 1000000000, 1000000000 };
        QCOMPARE(utime(name.constData(), &old), 0);
        IniFile file(m_files, path());
        QCOMPARE(file.readString(u"T"_s, u"k"_s), u"1"_s);
        TestFiles::write(path(), "[T]\nk=2\n");
        QCOMPARE(file.readString(u"T"_s, u"k"_s), u"2"_s);
    }

    void fileNamesMatchWithoutCase()
    {
        TestFiles::write(path(u"LINK2.INI"_s), "[S]\r\nk=v\r\n");
        QCOMPARE(IniFile(m_files, path(u"link2.ini"_s)).readString(u"S"_s, u"k"_s), u"v"_s);
        IniFile lower(m_files, path(u"link2.ini"_s));
        lower.writeString(u"S"_s, u"j"_s, u"w"_s);
        QVERIFY(!QFile::exists(path(u"link2.ini"_s)));
        QCOMPARE(TestFiles::read(path(u"LINK2.INI"_s)), QByteArray("[S]\r\nk=v\r\nj=w\r\n"));
    }

    void newFileKeepsTheSpellingAsked()
    {
        IniFile(m_files, path(u"New.Ini"_s)).writeString(u"S"_s, u"k"_s, u"v"_s);
        QVERIFY(QFile::exists(path(u"New.Ini"_s)));
    }

    void refusedWriteLeavesTheFileAsItWas()
    {
        const QByteArray before("[S]\r\nk=old\r\n");
        TestFiles::write(path(), before);
        m_files.refuseWritesUnder(m_dir.path());
        IniFile file(m_files, path());
        try {
            file.writeString(u"S"_s, u"k"_s, u"new"_s);
            QFAIL("a refused write must raise an error");
        } catch (const VellumoError &error) {
            QCOMPARE(error.message(), u"Unable to write to "_s + path());
        }
        QCOMPARE(TestFiles::read(path()), before);
        QCOMPARE(file.readString(u"S"_s, u"k"_s), u"old"_s);
    }

    void missingFolderIsUnableToWrite()
    {
        const QString inMissing = m_dir.filePath(u"no/such/folder/x.ini"_s);
        IniFile file(m_files, inMissing);
        QVERIFY_THROWS_EXCEPTION(VellumoError, file.writeString(u"S"_s, u"k"_s, u"v"_s));
        QVERIFY(!QFile::exists(inMissing));
    }

    void writeReplacesTheFileWholeAndKeepsPermissions()
    {
        TestFiles::write(path(), "[S]\r\nk=1\r\n");
        QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        const QFile::Permissions before = QFile::permissions(path());
        IniFile(m_files, path()).writeString(u"S"_s, u"k"_s, u"2"_s);
        QCOMPARE(QFile::permissions(path()), before);
        QCOMPARE(TestFiles::read(path()), QByteArray("[S]\r\nk=2\r\n"));
        // No temporary file is left beside it.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList { u"test.ini"_s });
    }

    void highestNumberedKeyCountsOnlyNumberedKeys()
    {
        TestFiles::write(path(), "[C]\r\nTOTAL=9\r\nL1=a\r\nl12=b\r\nLx=c\r\nL=d\r\nL5=e\r\n");
        QCOMPARE(IniFile(m_files, path()).highestNumberedKey(u"c"_s, u"L"_s), 12);
    }

    // How far a walk over numbered keys goes: never across a stray huge number.
    void reachedNumberedKeyStopsAtAHugeGap_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<int>("reached");
        QTest::newRow("dense") << QByteArray("L1=a\r\nL2=b\r\nL3=c\r\n") << 3;
        QTest::newRow("gaps within the allowance") << QByteArray("L2=a\r\nL50000=b\r\nL90000=c\r\n") << 90000;
        QTest::newRow("allowance used up") << QByteArray("L50000=a\r\nL100003=b\r\n") << 50000;
        QTest::newRow("stray huge number") << QByteArray("L1=a\r\nL2000000000=b\r\n") << 1;
        QTest::newRow("largest int") << QByteArray("L2147483647=b\r\n") << 0;
        QTest::newRow("none") << QByteArray("X1=a\r\n") << 0;
    }
    void reachedNumberedKeyStopsAtAHugeGap()
    {
        QFETCH(QByteArray, section);
        QFETCH(int, reached);
        TestFiles::write(path(), "[C]\r\n" + section + "[L7]\r\n[L9]\r\n");
        QCOMPARE(IniFile(m_files, path()).reachedNumberedKey(u"C"_s, u"L"_s), reached);
        QCOMPARE(IniFile(m_files, path()).reachedNumberedSection(u"L"_s), 9);
    }

    // A value cut off inside a character reads with a replacement character, not shortened; a damaged
    // character inside it is one replacement character, and what follows it stays.
    void damagedCharactersReadAsReplacement_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("read");
        QTest::newRow("cut after a lead byte") << QByteArray("ab\x83") << u"ab\uFFFD"_s;
        QTest::newRow("cut in a four-byte character") << QByteArray("ab\x81\x30\x81") << u"ab\uFFFD"_s;
        QTest::newRow("lead byte before a digit") << QByteArray("480,1\x99"
                                                                "20")
                                                  << u"480,1\uFFFD20"_s;
        QTest::newRow("cut before NUL") << QByteArray("\xD6\xD0\xD6\0x", 6) << u"中\uFFFD"_s;
        QTest::newRow("whole characters")
            << QByteArray("\xD6\xD0\x81\x30\x81\x30") << Ansi::decode("\xD6\xD0\x81\x30\x81\x30");
    }
    void damagedCharactersReadAsReplacement()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, read);
        TestFiles::write(path(), "[S]\r\nk=" + value + "\r\n");
        QCOMPARE(IniFile(m_files, path()).readString(u"S"_s, u"k"_s), read);
    }
};

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
