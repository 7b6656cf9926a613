#include "librarylayout.h"
#include "platform/ansi.h"

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
    void textBecomesAnsiWithCrLfAndUserFilesSurvive()
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

        // The user's effect index is kept on the next build; shipped files are brought up to date.
        write(app.filePath(u"LINK2.INI"_s), "[system]\r\nmine=1\r\n");
        write(source.filePath(u"LINK1.INI"_s), "[COMBOX]\nTOTAL=0\n");
        LibraryLayout again(source.path(), app.path());
        QVERIFY(again.run().isEmpty());
        QCOMPARE(read(app.filePath(u"LINK2.INI"_s)), QByteArray("[system]\r\nmine=1\r\n"));
        QCOMPARE(read(app.filePath(u"LINK1.INI"_s)), QByteArray("[COMBOX]\r\nTOTAL=0\r\n"));
        QCOMPARE(again.written, 1);
    }

    void aFreshLayoutListsTheShippedSkinsAndTemplates()
    {
        QTemporaryDir source, app;
        write(source.filePath(u"MAIN.INI"_s), "[MAIN]\nMAINFORMIMG=\nLIMG=\nNAME=\n[model]\nTOTAL=-1\n");
        for (const QString skin : { u"湖蓝"_s, u"暖阳"_s }) {
            write(source.filePath(u"皮肤/%1/主界面.jpg"_s.arg(skin)), "jpeg");
            write(source.filePath(u"皮肤/%1/状态栏.jpg"_s.arg(skin)), "jpeg");
        }
        write(source.filePath(u"皮肤/半成品/主界面.jpg"_s), "only one picture: not a skin");
        write(source.filePath(u"模板/文章.htm"_s), "<html>");
        write(source.filePath(u"模板/说明.txt"_s), "not a page");
        QVERIFY(LibraryLayout(source.path(), app.path()).run().isEmpty());
        const QString skins = app.path() + u"/皮肤/"_s;
        QCOMPARE(read(app.filePath(u"SINKNAME"_s)),
            Ansi::encode(
                u"[S]\r\nTOTAL=2\r\n[S1]\r\nSNAME=暖阳\r\nSPDIR=%1暖阳/主界面.jpg\r\nSLDIR=%1暖阳/状态栏.jpg\r\n"
                "[S2]\r\nSNAME=湖蓝\r\nSPDIR=%1湖蓝/主界面.jpg\r\nSLDIR=%1湖蓝/状态栏.jpg\r\n"_s.arg(skins)));
        const QByteArray mainIndex = read(app.filePath(u"MAIN.INI"_s));
        QCOMPARE(mainIndex,
            Ansi::encode(
                u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=\r\nNAME=\r\n[model]\r\nTOTAL=0\r\nmfile0=%1/模板/文章.htm\r\n"_s.arg(
                    app.path())));

        // The user's registries are theirs from then on: a later layout registers nothing again.
        write(app.filePath(u"SINKNAME"_s), "[S]\r\nTOTAL=0\r\n");
        QVERIFY(LibraryLayout(source.path(), app.path()).run().isEmpty());
        QCOMPARE(read(app.filePath(u"SINKNAME"_s)), QByteArray("[S]\r\nTOTAL=0\r\n"));
        QCOMPARE(read(app.filePath(u"MAIN.INI"_s)), mainIndex);
    }
};

QTEST_APPLESS_MAIN(TestLibraryLayout)
#include "tst_librarylayout.moc"
