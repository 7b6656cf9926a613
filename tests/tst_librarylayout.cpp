#include "library/libraryupgrade.h"
#include "librarylayout.h"
#include "platform/ansi.h"
#include "platform/localfilesystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestLibraryLayout : public QObject
{
    Q_OBJECT

    static void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private slots:
    void textBecomesAnsiWithCrLfAndTheManifestListsEveryFile()
    {
        QTemporaryDir source, app;
        write(source.filePath(u"LINK1.INI"_s), u"[COMBOX]\nTOTAL=1\nL1=图片特效\n"_s.toUtf8());
        write(source.filePath(u"LINK2.INI"_s), "[system]\n");
        write(source.filePath(u"图片特效/渐变"_s), u"[imgfile]\r\nTOTAL=0\n"_s.toUtf8());
        write(source.filePath(u"图片特效/pic.gif"_s), "GIF89a\n\x80");
        write(source.filePath(u"模板/.keep"_s), "");

        QVERIFY(LibraryLayout(source.path(), app.path()).run().isEmpty());
        QCOMPARE(read(app.filePath(u"LINK1.INI"_s)), Ansi::encode(u"[COMBOX]\r\nTOTAL=1\r\nL1=图片特效\r\n"_s));
        QCOMPARE(read(app.filePath(u"图片特效/渐变"_s)), QByteArray("[imgfile]\r\nTOTAL=0\r\n"));
        QCOMPARE(read(app.filePath(u"图片特效/pic.gif"_s)), QByteArray("GIF89a\n\x80"));
        QVERIFY(QFileInfo(app.filePath(u"模板"_s)).isDir());
        QVERIFY(!QFile::exists(app.filePath(u"模板/.keep"_s)));

        // The manifest lists every file with its hash, sorted by path.
        const QByteArray manifest = read(app.filePath(LibraryUpgrade::manifestName()));
        QCOMPARE(manifest.count('\n'), 4);
        QVERIFY(manifest.contains(" LINK1.INI\n") && manifest.contains(" 图片特效/pic.gif\n"));
        QStringList hidden;
        const LocalFileSystem files;
        QCOMPARE(manifest, *LibraryUpgrade::manifestOf(files, app.path(), hidden));
        QCOMPARE(hidden, QStringList());

        // The next build writes only what changed, and the manifest with it.
        write(source.filePath(u"LINK1.INI"_s), "[COMBOX]\nTOTAL=0\n");
        LibraryLayout again(source.path(), app.path());
        QVERIFY(again.run().isEmpty());
        QCOMPARE(read(app.filePath(u"LINK1.INI"_s)), QByteArray("[COMBOX]\r\nTOTAL=0\r\n"));
        QCOMPARE(again.written, 1);
        QVERIFY(read(app.filePath(LibraryUpgrade::manifestName())) != manifest);
    }

    // Only the placeholders that keep empty folders in the repository are left out without a word;
    // any other name starting with "." would be in no manifest, so it is said.
    void hiddenNamesAreSaidNotLeftOut()
    {
        QTemporaryDir source, app;
        write(source.filePath(u"LINK1.INI"_s), "[COMBOX]\n");
        write(source.filePath(u"模板/.keep"_s), "");
        write(source.filePath(u"图片特效/.effect.js"_s), "var a;");
        write(source.filePath(u".git/config"_s), "[core]");
        write(app.filePath(u"图片特效/.stale"_s), "left from before");

        const QStringList problems = LibraryLayout(source.path(), app.path()).run();
        QCOMPARE(problems,
            (QStringList { u"name starts with \".\", not laid out: "_s + source.filePath(u".git"_s),
                u"name starts with \".\", not laid out: "_s + source.filePath(u"图片特效/.effect.js"_s),
                u"name starts with \".\", not in the manifest: "_s + app.filePath(u"图片特效/.stale"_s) }));
        QVERIFY(!QFile::exists(app.filePath(u"图片特效/.effect.js"_s)));
        QVERIFY(!QFile::exists(app.filePath(u".git"_s)));
        QCOMPARE(read(app.filePath(LibraryUpgrade::manifestName())).count('\n'), 1);
    }
};

QTEST_APPLESS_MAIN(TestLibraryLayout)
#include "tst_librarylayout.moc"
