#include "library/effectkind.h"
#include "library/effectsearch.h"
#include "library/inicache.h"
#include "library/linebreaks.h"
#include "library/resultline.h"
#include "platform/ansi.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(EffectKind)

class TestEffectSearch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    LocalFileSystem m_files;
    QString folder() const { return m_dir.path() + u'/'; }
    void link2(const QString &text)
    {
        IniCache::instance().clear();
        QFile file(folder() + u"LINK2.INI"_s);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(Ansi::encode(text));
    }
    // The lines found, and the error that ended the search early (empty when none did).
    struct Found
    {
        QStringList lines;
        QString error;
    };
    Found searchUntilError(const QStringList &categories, const QString &text)
    {
        Found found;
        try {
            EffectSearch(m_files, folder()).run(categories, text, [&](const QString &l) { found.lines << l; });
        } catch (const VellumoError &e) {
            found.error = e.message();
        }
        return found;
    }
    QStringList search(const QStringList &categories, const QString &text)
    {
        return searchUntilError(categories, text).lines;
    }

private slots:
    void searchFindsInCategoryAndIndexOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("letters without case") << u"ab"_s << QStringList { u"图片.xABy"_s, u"文字.cab"_s, u"文字.ab"_s };
        QTest::newRow("upper case typed") << u"AB"_s << QStringList { u"图片.xABy"_s, u"文字.cab"_s, u"文字.ab"_s };
        QTest::newRow("Chinese") << u"渐变"_s << QStringList { u"图片.渐变图片"_s };
        QTest::newRow("empty finds nothing") << QString() << QStringList();
        QTest::newRow("initial text") << u"特效名称..."_s << QStringList { u"文字.特效名称...之一"_s };
        QTest::newRow("dot in a name") << u"b.c"_s << QStringList { u"图片.B.C"_s };
    }
    void searchFindsInCategoryAndIndexOrder()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        link2(
            u"[图片]\r\nTOTAL=3\r\nL1=xABy\r\nL2=渐变图片\r\nL3=B.C\r\n[文字]\r\nTOTAL=3\r\nL1=cab\r\nL2=特效名称...之一\r\nL3=ab\r\n"
            "[空]\r\nTOTAL=\r\n[不在索引]\r\nTOTAL=1\r\nL1=ab\r\n"_s);
        QCOMPARE(search({ u"图片"_s, u"空"_s, u"无节"_s, u"文字"_s }, text), lines);
    }

    void searchMatchesWholeCharactersOnly()
    {
        // 中 is D6 D0 and 文 is CE C4 in GB18030: the bytes "D0 CE" stand across the two characters.
        const QString across = Ansi::decode(QByteArray("\xD0\xCE"));
        link2(u"[c]\r\nTOTAL=1\r\nL1=中文\r\n"_s);
        QVERIFY(!across.isEmpty());
        QCOMPARE(search({ u"c"_s }, across), QStringList());
        QCOMPARE(search({ u"c"_s }, u"中文"_s), QStringList { u"c.中文"_s });
    }

    void damagedCounterKeepsEarlierLines()
    {
        link2(u"[a]\r\nTOTAL=1\r\nL1=xx\r\n[b]\r\nTOTAL=x1\r\nL1=xx\r\n[c]\r\nTOTAL=1\r\nL1=xx\r\n"_s);
        const Found found = searchUntilError({ u"a"_s, u"b"_s, u"c"_s }, u"x"_s);
        QCOMPARE(found.lines, QStringList { u"a.xx"_s });
        QCOMPARE(found.error, u"'x1' is not a valid integer value"_s);
    }

    void missingIndexFindsNothing()
    {
        QFile::remove(folder() + u"LINK2.INI"_s);
        IniCache::instance().clear();
        QCOMPARE(search({ u"a"_s }, u"x"_s), QStringList());
    }

    void resultLinesSplitAtTheLastSeparator_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("effect");
        QTest::newRow("plain") << u"图片特效.渐变"_s << u"图片特效"_s << u"渐变"_s;
        QTest::newRow("dot in the effect") << u"A.B.C"_s << u"A.B"_s << u"C"_s;
        QTest::newRow("backslash after the dot") << u"A.B\\C"_s << u"A.B\\C"_s << QString();
        QTest::newRow("colon after the dot") << u"A.B:C"_s << u"A.B:C"_s << QString();
        QTest::newRow("no separator") << u"ABC"_s << u"ABC"_s << QString();
        QTest::newRow("slash is a plain character") << u"A/B.C/D"_s << u"A/B"_s << u"C/D"_s;
        QTest::newRow("ends with a dot") << u"A."_s << u"A"_s << QString();
    }
    void resultLinesSplitAtTheLastSeparator()
    {
        QFETCH(QString, line);
        QFETCH(QString, category);
        QFETCH(QString, effect);
        const ResultLine split = ResultLine::split(line);
        QCOMPARE(split.category, category);
        QCOMPARE(split.effect, effect);
    }

    void kindsCompareExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<EffectKind>("kind");
        QTest::newRow("empty") << QString() << EffectKind::Unusable;
        QTest::newRow("0") << u"0"_s << EffectKind::Unusable;
        QTest::newRow("1") << u"1"_s << EffectKind::SimpleCopy;
        QTest::newRow("2") << u"2"_s << EffectKind::Image;
        QTest::newRow("3") << u"3"_s << EffectKind::Menu;
        QTest::newRow("4") << u"4"_s << EffectKind::Text;
        QTest::newRow("01") << u"01"_s << EffectKind::Unknown;
        QTest::newRow("1a") << u"1a"_s << EffectKind::Unknown;
        QTest::newRow("5") << u"5"_s << EffectKind::Unknown;
    }
    void kindsCompareExactly()
    {
        QFETCH(QString, text);
        QFETCH(EffectKind, kind);
        QCOMPARE(EffectKinds::fromText(text), kind);
    }

    void lineBreaksBecomeCrLf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("crlf");
        QTest::newRow("LF") << u"a\nb\n"_s << u"a\r\nb\r\n"_s;
        QTest::newRow("CR") << u"a\rb"_s << u"a\r\nb"_s;
        QTest::newRow("CR LF kept") << u"a\r\nb"_s << u"a\r\nb"_s;
        QTest::newRow("mixed") << u"\r\r\n\n"_s << u"\r\n\r\n\r\n"_s;
    }
    void lineBreaksBecomeCrLf()
    {
        QFETCH(QString, text);
        QFETCH(QString, crlf);
        QCOMPARE(LineBreaks::toCrLf(text), crlf);
    }
};

QTEST_APPLESS_MAIN(TestEffectSearch)
#include "tst_effectsearch.moc"
