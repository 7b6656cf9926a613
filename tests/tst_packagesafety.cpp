// Update packages written by strangers, installed through the installer class and through the
// library tool: a hostile package is refused with its reason, and then nothing outside the
// application folder changes, no library file changes, the library still checks clean and lists as
// before. A package or library file changed between the judging and the copying changes nothing
// judged. Also the folder lock that keeps concurrent installs from losing entries, and the clearing
// of temporaries that killed writes leave behind.
#include "library/categoryindex.h"
#include "library/effectindex.h"
#include "library/inicache.h"
#include "library/librarycheck.h"
#include "library/librarynames.h"
#include "library/packageinstaller.h"
#include "platform/ansi.h"
#include "platform/folderlock.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include "testfiles.h"

using namespace Qt::StringLiterals;

namespace {
using Tree = QMap<QString, QByteArray>;
// Files a case lays out beside its package: name -> content; "@link:" + target makes a link,
// "@fifo" a named pipe, "@folder" a folder.
using PackageFiles = QMap<QString, QString>;

void put(const QString &path, const QString &text)
{
    TestFiles::write(path, Ansi::encode(text));
}

const QString Link1
    = u"[COMBOX]\r\nTOTAL=6\r\nL1=图片特效\r\nL2=CSS特效\r\nL3=菜单导航\r\nL4=简单复制\r\nL5=A\r\nL6=AB\r\n"_s;
const QString Link2
    = u"[图片特效]\r\nTOTAL=1\r\nl1=相册\r\n[CSS特效]\r\nTOTAL=0\r\n[菜单导航]\r\nTOTAL=2\r\nl1=下拉菜单\r\nl2=Drop\r\n"
      "[简单复制]\r\nTOTAL=1\r\nl1=问候\r\n[A]\r\nTOTAL=1\r\nl1=BC\r\n[AB]\r\nTOTAL=0\r\n"
      "[system]\r\n图片特效相册=2\r\n菜单导航下拉菜单=3\r\n菜单导航Drop=3\r\n简单复制问候=1\r\nABC=1\r\n"_s;
const QString Definition
    = u"[file]\r\nimgfilet=0\r\ntxtfilet=0\r\nft=0\r\nlt=0\r\n[abcd]\r\ntotal=0\r\n[list]\r\ntotal=0\r\n"_s;

QString packageText(const QString &body)
{
    return u"[files]\r\n"_s + body + u"\r\n"_s;
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// The message of the error the call raised; empty when it raised none.
QString errorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const VellumoError &e) {
        return e.message();
    }
    return {};
}

// A child process that runs as another account: as root "nobody", for whom the test's files are
// another account's; otherwise this account, and the test makes its files read-only instead.
struct OtherAccount
{
    pid_t pid = -1;
    int result = -1; // the read end of what the child's call returned

    explicit OtherAccount(const std::function<QString()> &call)
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        pid = ::fork();
        if (pid == 0) {
            ::close(out[0]);
            if (::geteuid() == 0) {
                const passwd *nobody = ::getpwnam("nobody");
                if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0
                    || ::setuid(nobody->pw_uid) != 0)
                    ::_exit(3);
            }
            const QByteArray text = call().toUtf8();
            ::_exit(::write(out[1], text.constData(), size_t(text.size())) == text.size() ? 0 : 4);
        }
        ::close(out[1]);
        result = out[0];
    }

    // What the call returned, once the child has ended.
    QString finish()
    {
        QByteArray text;
        char buffer[4096];
        for (ssize_t n; (n = ::read(result, buffer, sizeof buffer)) != 0;)
            if (n > 0)
                text.append(buffer, n);
            else if (errno != EINTR)
                break;
        ::close(result);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return u"the child ended with status %1"_s.arg(status);
        return QString::fromUtf8(text);
    }
};

// Moves a file's times by seconds from now, so that it is older or younger than a lock taken now.
void age(const QString &path, int seconds)
{
    const qint64 when = QDateTime::currentSecsSinceEpoch() + seconds;
    const timeval times[2] = { { when, 0 }, { when, 0 } };
    QCOMPARE(::utimes(QFile::encodeName(path).constData(), times), 0);
}
}

class TestPackageSafety : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    LocalFileSystem m_files;

    QString root() const { return m_dir->path(); }
    QString app() const { return root() + u"/app/"_s; }
    QString pkg() const { return root() + u"/pkg/"_s; }
    QString outside() const { return root() + u"/outside/"_s; }

    void layOut()
    {
        put(app() + u"LINK1.INI"_s, Link1);
        put(app() + u"LINK2.INI"_s, Link2);
        put(app() + u"图片特效/相册"_s, Definition);
        TestFiles::write(app() + u"图片特效/A.GIF"_s, "old gif");
        put(app() + u"菜单导航/下拉菜单"_s, Definition);
        put(app() + u"菜单导航/Drop"_s, Definition);
        put(app() + u"简单复制/问候.txt"_s, u"你好"_s);
        put(app() + u"A/BC.txt"_s, u"bc"_s);
        QDir().mkpath(app() + u"AB"_s);
        QDir().mkpath(app() + u"图片特效/images"_s);
        QVERIFY(QFile::link(u"images"_s, app() + u"图片特效/pics"_s));
        QDir().mkpath(app() + u"CSS特效"_s);
        TestFiles::write(outside() + u"keep.txt"_s, "outside");
        QVERIFY(QFile::link(outside().chopped(1), app() + u"CSS特效/shared"_s));
        QDir().mkpath(pkg());
    }

    void layOutPackage(const PackageFiles &files)
    {
        for (auto it = files.begin(); it != files.end(); ++it) {
            const QString path = pkg() + it.key();
            QDir().mkpath(QFileInfo(path).absolutePath());
            if (it.value().startsWith(u"@link:"_s))
                QVERIFY(
                    QFile::link(it.value().mid(6).replace(u"{outside}"_s, outside()).replace(u"{pkg}"_s, pkg()), path));
            else if (it.value() == u"@fifo"_s)
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
            else if (it.value() == u"@folder"_s)
                QVERIFY(QDir().mkpath(path));
            else
                put(path, it.value());
        }
    }

    // Every entry below the temporary folder, links not followed; the lock file holds nothing.
    Tree tree() const
    {
        Tree entries;
        for (QDirIterator it(root(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                 QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            if (path.endsWith(FolderLock::fileName()))
                continue;
            const QFileInfo info(path);
            if (info.isSymLink())
                entries[path] = "link to " + info.symLinkTarget().toUtf8();
            else if (info.isDir())
                entries[path] = "folder";
            else if (info.isFile())
                entries[path] = TestFiles::read(path) + " mode " + QByteArray::number(int(info.permissions()), 16);
            else
                entries[path] = "other";
        }
        return entries;
    }

    QString listing()
    {
        QString text;
        for (const QString &category : CategoryIndex(m_files, app()).categories())
            text += category + u": "_s
                + EffectIndex(m_files, app()).effects(category).value_or(QStringList()).join(u',') + u'\n';
        return text;
    }

    QStringList problems()
    {
        QStringList lines;
        for (const LibraryCheck::Problem &problem : LibraryCheck(m_files, app()).run())
            lines << problem.line();
        return lines;
    }

    struct Run
    {
        int status = 0; // the tool's exit status; for the class 0 installed, 1 not
        QString message; // what the user is told
        QStringList installed;
    };

    Run install(const QStringList &packages, bool throughTool)
    {
        IniCache::instance().clear();
        Run run;
        if (throughTool) {
            QProcess tool;
            tool.start(QStringLiteral(VELLUMO_LIBRARY_TOOL), QStringList { u"-C"_s, app(), u"install"_s } + packages);
            if (!tool.waitForFinished(60000))
                return { -1, u"the tool did not finish"_s, {} };
            run.status = tool.exitCode();
            run.message = QString::fromLocal8Bit(tool.readAllStandardError() + tool.readAllStandardOutput());
            return run;
        }
        PackageInstaller::Outcome outcome;
        try {
            PackageInstaller(m_files, app()).installAll(packages, outcome);
            run.message = PackageInstaller::finalMessage(outcome);
        } catch (const VellumoError &e) {
            run.message = e.message();
        }
        run.status
            = outcome.end == PackageInstaller::End::Installed || outcome.end == PackageInstaller::End::AlreadyInstalled
            ? 0
            : 1;
        run.installed = outcome.installed;
        return run;
    }

private slots:
    void init()
    {
        IniCache::instance().clear();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        layOut();
    }

    void theLibraryChecksClean() { QCOMPARE(problems(), QStringList()); }

    void hostilePackagesChangeNothing_data()
    {
        QTest::addColumn<QString>("package");
        QTest::addColumn<PackageFiles>("files");
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("throughTool");

        struct Case
        {
            const char *tag;
            QString package; // the .gx text; empty: the file named "p.gx" in files is used as it is
            PackageFiles files;
            QString told;
        };
        const QList<Case> cases = {
            // Links on the package's side.
            { "file is a link to a file outside",
                u"name=链接\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=链接.txt"_s,
                { { u"链接.txt"_s, u"@link:{outside}keep.txt"_s } }, u"经过链接指向升级文件所在文件夹之外"_s },
            { "file is a link to /etc/passwd",
                u"name=链接\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=链接.txt"_s,
                { { u"链接.txt"_s, u"@link:/etc/passwd"_s } }, u"经过链接指向升级文件所在文件夹之外"_s },
            { "file under a linked folder",
                u"name=链接\r\nflistno=2\r\nflist=图片特效\r\nft=1\r\nftname1=linked/keep.txt"_s,
                { { u"linked"_s, u"@link:{outside}"_s } }, u"经过链接指向升级文件所在文件夹之外"_s },
            // Links on the library's side, reached through another letter case.
            { "category in other case, link in the category",
                u"name=shared\r\nflistno=1\r\nflist=css特效\r\nft=1\r\nftname1=shared/evil.txt"_s,
                { { u"shared/evil.txt"_s, u"evil"_s } }, u"经过链接指向特效类别文件夹之外"_s },
            { "link in the category in other case",
                u"name=shared\r\nflistno=1\r\nflist=CSS特效\r\nft=1\r\nftname1=SHARED\\evil.txt"_s,
                { { u"SHARED/evil.txt"_s, u"evil"_s } }, u"经过链接指向特效类别文件夹之外"_s },
            // Names that leave their folder.
            { "file name climbs",
                u"name=爬\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=..\\..\\outside\\keep.txt"_s, {},
                u"指向特效类别文件夹之外"_s },
            { "absolute file name", u"name=爬\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=/etc/passwd"_s, {},
                u"指向特效类别文件夹之外"_s },
            { "definition names a piece outside", u"name=越界\r\nflistno=4\r\nflist=图片特效\r\nft=1\r\nftname1=越界"_s,
                { { u"越界"_s, u"[file]\r\nft=1\r\nfno1=../../../../etc/passwd\r\n"_s } },
                u"定义文件中的fno1=../../../../etc/passwd"_s },
            { "definition names a picture outside",
                u"name=越界\r\nflistno=2\r\nflist=图片特效\r\nft=1\r\nftname1=越界"_s,
                { { u"越界"_s, u"[file]\r\nimgfilet=1\r\nimgfilename1=/etc/passwd\r\n"_s } },
                u"定义文件中的imgfilename1=/etc/passwd"_s },
            { "definition named through ./", u"name=越界\r\nflistno=4\r\nflist=图片特效\r\nft=1\r\nftname1=./越界"_s,
                { { u"越界"_s, u"[file]\r\nft=1\r\nfno1=../../../../etc/passwd\r\n"_s } },
                u"定义文件中的fno1=../../../../etc/passwd"_s },
            { "definition named through .\\ in other case",
                u"name=Evil\r\nflistno=2\r\nflist=图片特效\r\nft=1\r\nftname1=.\\EVIL"_s,
                { { u"EVIL"_s, u"[file]\r\nimgfilet=1\r\nimgfilename1=/etc/passwd\r\n"_s } },
                u"定义文件中的imgfilename1=/etc/passwd"_s },
            { "definition names a text file outside",
                u"name=越界\r\nflistno=3\r\nflist=菜单导航\r\nft=1\r\nftname1=越界"_s,
                { { u"越界"_s, u"[FILE]\r\ntxtfilet=1\r\nTXTFILENAME1=..\\..\\x.js\r\n"_s } },
                u"定义文件中的txtfilename1=..\\..\\x.js"_s },
            // Installed effects stay as they are.
            { "named like an installed effect in other case, other kind",
                u"name=drop\r\nflistno=4\r\nflist=菜单导航\r\nft=1\r\nftname1=drop"_s, { { u"drop"_s, Definition } },
                u"类别“菜单导航”中已有特效“Drop”（种类3），它不会被改动"_s },
            { "named like an installed effect, same kind, other files",
                u"name=相册\r\nflistno=2\r\nflist=图片特效\r\nft=1\r\nftname1=相册"_s,
                { { u"相册"_s, u"[file]\r\nimgfilet=1\r\n"_s } }, u"类别“图片特效”中已有特效“相册”"_s },
            { "category and name make another effect's key", u"name=C\r\nflistno=4\r\nflist=AB\r\nft=1\r\nftname1=C"_s,
                { { u"C"_s, Definition } }, u"[system]中“ABC”已是另一个特效的种类“1”"_s },
            { "a.gif beside A.GIF", u"name=新图\r\nflistno=2\r\nflist=图片特效\r\nft=1\r\nftname1=a.gif"_s,
                { { u"a.gif"_s, u"new gif"_s } }, u"特效类别文件夹中已有另一个文件“a.gif”"_s },
            // One file named twice, however its name is spelt: the second copy could only fail.
            { "one file named twice",
                u"name=双\r\nflistno=1\r\nflist=图片特效\r\nft=2\r\nftname1=same.txt\r\nftname2=same.txt"_s,
                { { u"same.txt"_s, u"same"_s } }, u"ftname1“same.txt”和ftname2“same.txt”指同一个文件"_s },
            { "one file in two letter cases",
                u"name=双\r\nflistno=1\r\nflist=图片特效\r\nft=2\r\nftname1=same.txt\r\nftname2=SAME.TXT"_s,
                { { u"same.txt"_s, u"same"_s }, { u"SAME.TXT"_s, u"SAME"_s } },
                u"ftname1“same.txt”和ftname2“SAME.TXT”指同一个文件"_s },
            { "one file with and without ./",
                u"name=双\r\nflistno=1\r\nflist=图片特效\r\nft=2\r\nftname1=same.txt\r\nftname2=./same.txt"_s,
                { { u"same.txt"_s, u"same"_s } }, u"ftname1“same.txt”和ftname2“./same.txt”指同一个文件"_s },
            { "one file through a folder in two letter cases",
                u"name=双\r\nflistno=1\r\nflist=图片特效\r\nft=2\r\nftname1=images/x.gif\r\nftname2=IMAGES\\x.gif"_s,
                { { u"images/x.gif"_s, u"x"_s }, { u"IMAGES/x.gif"_s, u"X"_s } },
                u"ftname1“images/x.gif”和ftname2“IMAGES/x.gif”指同一个文件"_s },
            { "one file through a link inside the category",
                u"name=双\r\nflistno=1\r\nflist=图片特效\r\nft=2\r\nftname1=images/x.gif\r\nftname2=pics/x.gif"_s,
                { { u"images/x.gif"_s, u"x"_s }, { u"pics/x.gif"_s, u"X"_s } },
                u"ftname1“images/x.gif”和ftname2“pics/x.gif”指同一个文件"_s },
            // Names longer than an index file's value holds are refused, not cut.
            { "name of 2048 bytes",
                u"name="_s + QString(1024, u'汉') + u"\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=a.txt"_s,
                { { u"a.txt"_s, u"a"_s } }, u"特效名“"_s + QString(32, u'汉') + u"…”超过2047字节"_s },
            { "category of 2048 bytes",
                u"name=a\r\nflistno=1\r\nflist="_s + QString(1024, u'汉') + u"\r\nft=1\r\nftname1=a.txt"_s,
                { { u"a.txt"_s, u"a"_s } }, u"类别名“"_s + QString(32, u'汉') + u"…”超过2047字节"_s },
            { "file name of 2048 bytes",
                u"name=a\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1="_s + QString(2048, u'a'),
                { { u"a.txt"_s, u"a"_s } }, u"文件名“"_s + QString(32, u'a') + u"…”超过2047字节"_s },
            // Files that are no package.
            { "package missing", QString(), {}, u"Cannot open file "_s },
            { "package is a folder", QString(), { { u"p.gx"_s, u"@folder"_s } }, u"Cannot open file "_s },
            { "package is a pipe", QString(), { { u"p.gx"_s, u"@fifo"_s } }, u"Cannot open file "_s },
            { "package is empty", QString(), { { u"p.gx"_s, QString() } }, u"它不是升级文件"_s },
            { "package has no [files]", QString(), { { u"p.gx"_s, u"[other]\r\nname=x\r\nft=1\r\n"_s } },
                u"它不是升级文件"_s },
            // Names that would break the index.
            { "name with =", u"name=a=b\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=a.txt"_s,
                { { u"a.txt"_s, u"a"_s } }, u"特效名“a=b”含有“=”"_s },
            { "name with [", u"name=[a\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=a.txt"_s,
                { { u"a.txt"_s, u"a"_s } }, u"含有“[”"_s },
            { "category with ]", u"name=a\r\nflistno=1\r\nflist=简单复制]x\r\nft=1\r\nftname1=a.txt"_s,
                { { u"a.txt"_s, u"a"_s } }, u"类别名“简单复制]x”含有“]”"_s },
            { "name with a leading blank", u"name=\" a\"\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=a.txt"_s,
                { { u"a.txt"_s, u"a"_s } }, u"首尾有空白"_s },
            { "name starting a comment", u"name=;a\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=a.txt"_s,
                { { u"a.txt"_s, u"a"_s } }, u"以“;”开头"_s },
            { "empty name", u"flistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=a.txt"_s, { { u"a.txt"_s, u"a"_s } },
                u"特效名“”是空的"_s },
            // Packages that would enter an effect that cannot work.
            { "unknown kind", u"name=a\r\nflistno=9\r\nflist=简单复制\r\nft=1\r\nftname1=a.txt"_s,
                { { u"a.txt"_s, u"a"_s } }, u"特效种类“9”不是程序认识的种类"_s },
            { "category not listed", u"name=a\r\nflistno=1\r\nflist=新类别\r\nft=1\r\nftname1=a.txt"_s,
                { { u"a.txt"_s, u"a"_s } }, u"类别“新类别”不在LINK1.INI中"_s },
            { "copies nothing", u"name=a\r\nflistno=1\r\nflist=简单复制\r\nft=0"_s, {}, u"它不含任何文件"_s },
        };
        for (const bool tool : { false, true })
            for (const Case &c : cases)
                QTest::addRow("%s%s", c.tag, tool ? " (tool)" : "") << c.package << c.files << c.told << tool;
    }

    void hostilePackagesChangeNothing()
    {
        QFETCH(QString, package);
        QFETCH(PackageFiles, files);
        QFETCH(QString, told);
        QFETCH(bool, throughTool);
        layOutPackage(files);
        if (!package.isEmpty())
            put(pkg() + u"p.gx"_s, packageText(package));
        const Tree before = tree();
        const QString listed = listing();

        const Run run = install({ pkg() + u"p.gx"_s }, throughTool);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.message.contains(told), qPrintable(run.message));
        QVERIFY2(!run.message.contains(u"程序已经设置完毕"_s) && !run.message.startsWith(u"installed"_s),
            qPrintable(run.message));
        QCOMPARE(tree(), before);
        IniCache::instance().clear();
        QCOMPARE(problems(), QStringList());
        QCOMPARE(listing(), listed);
    }

    // What a package may do: links inside its own folder, files the library has already with the same
    // content, set-id sources; the copies then are ordinary files.
    void soundPackagesInstall_data()
    {
        QTest::addColumn<bool>("throughTool");
        QTest::newRow("class") << false;
        QTest::newRow("tool") << true;
    }

    void soundPackagesInstall()
    {
        QFETCH(bool, throughTool);
        layOutPackage({ { u"real.txt"_s, u"<b>真</b>"_s }, { u"好.txt"_s, u"@link:{pkg}real.txt"_s },
            { u"a.gif"_s, u"old gif"_s }, { u"b.gif"_s, u"b"_s } });
        QCOMPARE(::chmod(QFile::encodeName(pkg() + u"b.gif"_s).constData(), 06777), 0);
        put(pkg() + u"p.gx"_s, packageText(u"name=好\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=好.txt"_s));
        put(pkg() + u"q.gx"_s,
            packageText(
                u"name=新图\r\nflistno=1\r\nflist=图片特效\r\nft=3\r\nftname1=a.gif\r\nftname2=b.gif\r\nftname3=新图.txt"_s));
        put(pkg() + u"新图.txt"_s, u"新图"_s);
        const Run run = install({ pkg() + u"p.gx"_s, pkg() + u"q.gx"_s }, throughTool);
        QCOMPARE(run.status, 0);
        QCOMPARE(TestFiles::read(app() + u"简单复制/好.txt"_s), Ansi::encode(u"<b>真</b>"_s));
        QVERIFY(!QFileInfo(app() + u"简单复制/好.txt"_s).isSymLink());
        // The library's A.GIF is the package's a.gif: no second file of that name.
        QVERIFY(!QFile::exists(app() + u"图片特效/a.gif"_s));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(app() + u"图片特效/b.gif"_s).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0644));
        IniCache::instance().clear();
        QCOMPARE(problems(), QStringList());
        QCOMPARE(EffectIndex(m_files, app()).effects(u"简单复制"_s), QStringList({ u"问候"_s, u"好"_s }));

        // Installed again: already there, nothing changes.
        const Tree installed = tree();
        const Run again = install({ pkg() + u"p.gx"_s }, throughTool);
        QCOMPARE(again.status, 0);
        QVERIFY2(again.message.contains(throughTool ? u"already installed"_s : u"已经安装过了"_s),
            qPrintable(again.message));
        QCOMPARE(tree(), installed);
    }

    // After a refusal the user learns which packages of the batch went in before it.
    void aRefusalSaysWhatWasInstalledBeforeIt_data() { soundPackagesInstall_data(); }

    void aRefusalSaysWhatWasInstalledBeforeIt()
    {
        QFETCH(bool, throughTool);
        put(pkg() + u"a.txt"_s, u"a"_s);
        put(pkg() + u"good.gx"_s, packageText(u"name=甲\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=a.txt"_s));
        put(pkg() + u"bad.gx"_s, packageText(u"name=乙\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=../a.txt"_s));
        const Run run = install({ pkg() + u"good.gx"_s, pkg() + u"bad.gx"_s }, throughTool);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.message.contains(u"升级文件"_s + pkg() + u"bad.gx不安全"_s), qPrintable(run.message));
        QVERIFY2(run.message.contains(
                     throughTool ? u"installed before it: 简单复制/甲"_s : u"在它之前已经安装：简单复制/甲"_s),
            qPrintable(run.message));
        // An unreadable package is an error that names the file.
        const Run missing = install({ pkg() + u"missing.gx"_s }, throughTool);
        QVERIFY2(missing.message.contains(VellumoError::cannotOpen(pkg() + u"missing.gx"_s).message()),
            qPrintable(missing.message));
    }

    void aMissingFolderIsBadUsage()
    {
        QProcess tool;
        tool.start(QStringLiteral(VELLUMO_LIBRARY_TOOL), { u"-C"_s, root() + u"/nowhere"_s, u"list"_s });
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 2);
        QVERIFY(tool.readAllStandardError().contains("no such folder"));
    }

    // One damaged category is reported, and the others are still listed.
    void listGoesOnPastABadCategory()
    {
        put(app() + u"LINK2.INI"_s, QString(Link2).replace(u"[CSS特效]\r\nTOTAL=0"_s, u"[CSS特效]\r\nTOTAL=abc"_s));
        QProcess tool;
        tool.start(QStringLiteral(VELLUMO_LIBRARY_TOOL), { u"-C"_s, app(), u"list"_s });
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(tool.readAllStandardError()),
            u"vellumo-library: CSS特效: 'abc' is not a valid integer value\n"_s);
        QCOMPARE(QString::fromLocal8Bit(tool.readAllStandardOutput()),
            u"图片特效\n  相册\nCSS特效\n菜单导航\n  下拉菜单\n  Drop\n简单复制\n  问候\nA\n  BC\nAB\n"_s);
    }

    // A pack never writes outside its folder, whatever the definition file names.
    void packRefusesNamesLeadingOut()
    {
        put(app() + u"图片特效/相册"_s, u"[file]\r\nimgfilet=0\r\ntxtfilet=0\r\nft=1\r\nfno1=../LINK1.INI\r\n"_s);
        const QString out = root() + u"/made/"_s;
        const Tree before = tree();
        QProcess tool;
        tool.start(QStringLiteral(VELLUMO_LIBRARY_TOOL),
            { u"-C"_s, app(), u"pack"_s, u"图片特效"_s, u"相册"_s, u"-o"_s, out + u"相册.gx"_s });
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(tool.readAllStandardError()),
            u"vellumo-library: 图片特效/相册: ../LINK1.INI leads out of the category folder\n"_s);
        QVERIFY(!QFile::exists(root() + u"/LINK1.INI"_s));
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList());
        Tree after = tree();
        after.remove(out.chopped(1));
        QCOMPARE(after, before);
    }

    // Twenty installs started at once, as twenty program instances would: every entry arrives, also
    // where the lock file belongs to another account and cannot be opened for writing.
    void concurrentInstallsKeepEveryEntry_data()
    {
        QTest::addColumn<bool>("othersLockFile");
        QTest::newRow("own lock file") << false;
        QTest::newRow("another account's lock file") << true;
    }

    void concurrentInstallsKeepEveryEntry()
    {
        QFETCH(bool, othersLockFile);
        const int count = 20;
        for (int i = 0; i < count; ++i) {
            const QString name = u"并发%1"_s.arg(i);
            put(pkg() + name + u".txt"_s, name);
            put(pkg() + name + u".gx"_s,
                packageText(u"name=%1\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=%1.txt"_s.arg(name)));
        }
        std::function<void()> account;
        if (othersLockFile) {
            // The installs run as the other account (as root "nobody"), which may write the library but
            // not its lock file.
            const QString lock = app() + FolderLock::fileName();
            TestFiles::write(lock, QByteArray());
            QCOMPARE(::chmod(native(lock).constData(), 0444), 0);
            for (QDirIterator it(
                     root(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
                 it.hasNext();) {
                const QString path = it.next();
                if (!it.fileInfo().isSymLink() && path != lock)
                    QCOMPARE(::chmod(native(path).constData(), it.fileInfo().isDir() ? 0777 : 0666), 0);
            }
            QCOMPARE(::chmod(native(root()).constData(), 0777), 0);
            if (::geteuid() == 0) {
                const passwd *nobody = ::getpwnam("nobody");
                QVERIFY(nobody);
                const uid_t uid = nobody->pw_uid;
                const gid_t gid = nobody->pw_gid;
                account = [uid, gid] {
                    if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                        ::_exit(3);
                };
            }
        }
        QList<QProcess *> tools;
        for (int i = 0; i < count; ++i) {
            auto *tool = new QProcess(this);
            if (account)
                tool->setChildProcessModifier(account);
            tool->start(
                QStringLiteral(VELLUMO_LIBRARY_TOOL), { u"-C"_s, app(), u"install"_s, pkg() + u"并发%1.gx"_s.arg(i) });
            tools << tool;
        }
        for (QProcess *tool : tools) {
            QVERIFY(tool->waitForFinished(60000));
            QVERIFY2(tool->exitCode() == 0, tool->readAllStandardError().constData());
            delete tool;
        }
        IniCache::instance().clear();
        QStringList effects = EffectIndex(m_files, app()).effects(u"简单复制"_s).value_or(QStringList());
        QCOMPARE(effects.size(), count + 1);
        effects.sort();
        for (int i = 0; i < count; ++i)
            QVERIFY2(effects.contains(u"并发%1"_s.arg(i)), qPrintable(effects.join(u' ')));
        QCOMPARE(problems(), QStringList());
    }

    // A lock held elsewhere keeps a writer waiting, then it is told; nothing is written meanwhile.
    void aLockHeldElsewhereIsWaitedForThenReported()
    {
        QProcess holder;
        holder.start(u"flock"_s, { u"-x"_s, app() + FolderLock::fileName(), u"-c"_s, u"echo held; read line"_s });
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        const QByteArray index = TestFiles::read(app() + u"LINK2.INI"_s);
        bool refused = false;
        try {
            const FolderLock lock(app(), std::chrono::milliseconds(100));
        } catch (const VellumoError &e) {
            refused = e.message() == u"文件夹"_s + app() + u"正被另一个程序使用，等了10秒也没有结束，请稍后再试"_s;
        }
        QVERIFY(refused);
        // Start-up does not wait and leaves the temporaries to a later start.
        TestFiles::write(app() + u".LINK2.INI.vellumo-AbC123"_s, "half");
        age(app() + u".LINK2.INI.vellumo-AbC123"_s, -60);
        QCOMPARE(FolderLock::clearStaleTemporaries(app()), 0);
        QVERIFY(QFile::exists(app() + u".LINK2.INI.vellumo-AbC123"_s));
        holder.write("\n");
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(FolderLock::clearStaleTemporaries(app()), 1);
        QCOMPARE(TestFiles::read(app() + u"LINK2.INI"_s), index);
    }

    // Only the writers' own temporaries go, in the folder and in the category folders, and only stale
    // ones: a user's copies beside an index file stay, whatever they are named.
    void staleTemporariesAreCleared()
    {
        const QStringList stale = { u".LINK2.INI.vellumo-ab12CD"_s, u".MAIN.INI.vellumo-zzzzzz"_s,
            u"图片特效/.幻灯.js.vellumo-000000"_s, u"菜单导航/.下拉菜单.vellumo-Q1w2E3"_s };
        const QStringList kept = { u"LINK2.INI.backup"_s, u"MAIN.INI.before"_s, u"lines.txt.mine01"_s,
            u"LINK2.INI.AbC123"_s, u"LINK2.INI.vellumo-ab12CD"_s, u".LINK2.INI.vellumo-ab12C"_s,
            u".LINK2.INI.vellumo-ab12CDE"_s, u".LINK2.INI.vellumo-ab-2CD"_s, u"..vellumo-ab12CD"_s,
            u".LINK2.INI.Vellumo-ab12CD"_s, u".LINK2.INI.vellumo-Fresh1"_s, u"图片特效/.相册.vellumo-Fresh2"_s };
        put(app() + u"MAIN.INI"_s, u"[MAIN]\r\n"_s);
        put(app() + u"lines.txt"_s, u"a\r\n"_s);
        for (const QString &name : stale + kept) {
            TestFiles::write(app() + name, "half");
            age(app() + name, -60);
        }
        // Outside the folder, reached through a link in a category folder: not the program's.
        TestFiles::write(outside() + u".keep.txt.vellumo-ab12CD"_s, "outside");
        age(outside() + u".keep.txt.vellumo-ab12CD"_s, -60);
        // A folder of that form is no temporary.
        QVERIFY(QDir().mkpath(app() + u".A.vellumo-folder"_s));
        // Written after the lock was taken: writers of now, not killed ones.
        age(app() + u".LINK2.INI.vellumo-Fresh1"_s, 3600);
        age(app() + u"图片特效/.相册.vellumo-Fresh2"_s, 3600);
        QCOMPARE(FolderLock::clearStaleTemporaries(app()), stale.size());
        for (const QString &name : stale)
            QVERIFY2(!QFile::exists(app() + name), qPrintable(name));
        for (const QString &name : kept)
            QCOMPARE(TestFiles::read(app() + name), QByteArray("half"));
        QCOMPARE(TestFiles::read(outside() + u".keep.txt.vellumo-ab12CD"_s), QByteArray("outside"));
        QVERIFY(QFileInfo(app() + u".A.vellumo-folder"_s).isDir());
    }

    // Where the folder's lock file is something no lock can be taken on, nothing is written and the user
    // is told why: an index write, an install through the class and through the tool.
    void withoutALockNothingIsWritten_data()
    {
        QTest::addColumn<QString>("lockFile");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder") << u"@folder"_s << u"“.vellumo.lock”不是普通文件"_s;
        QTest::newRow("a link leading nowhere") << u"@link:{outside}none"_s << u"“.vellumo.lock”是一个链接"_s;
        QTest::newRow("a link to a file") << u"@link:{outside}keep.txt"_s << u"“.vellumo.lock”是一个链接"_s;
    }

    void withoutALockNothingIsWritten()
    {
        QFETCH(QString, lockFile);
        QFETCH(QString, reason);
        const QString lock = app() + FolderLock::fileName();
        if (lockFile == u"@folder"_s)
            QVERIFY(QDir().mkpath(lock));
        else
            QVERIFY(QFile::link(lockFile.mid(6).replace(u"{outside}"_s, outside()), lock));
        put(pkg() + u"a.txt"_s, u"a"_s);
        put(pkg() + u"p.gx"_s, packageText(u"name=甲\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=a.txt"_s));
        const Tree before = tree();
        const QString told = u"无法锁定文件夹"_s + app() + u"，没有写入任何文件："_s + reason;

        QCOMPARE(errorOf([&] { EffectIndex(m_files, app()).append(u"简单复制"_s, u"甲"_s, u"1"_s); }), told);
        const Run run = install({ pkg() + u"p.gx"_s }, false);
        QCOMPARE(run.message, told);
        QCOMPARE(run.installed, QStringList());
        const Run tool = install({ pkg() + u"p.gx"_s }, true);
        QCOMPARE(tool.status, 1);
        QVERIFY2(tool.message.startsWith(u"vellumo-library: "_s + told + u'\n'), qPrintable(tool.message));
        QCOMPARE(tree(), before);
        QCOMPARE(FolderLock::clearStaleTemporaries(app()), 0);
    }

    // A library two accounts share: the lock file is the other account's and cannot be opened for
    // writing, yet it keeps the two apart, since a lock needs no write permission.
    void aLockFileOfAnotherAccountStillLocks()
    {
        const QString lock = app() + FolderLock::fileName();
        TestFiles::write(lock, QByteArray());
        QCOMPARE(::chmod(native(lock).constData(), 0444), 0);
        QCOMPARE(::chmod(native(root()).constData(), 0755), 0);
        const int held = ::open(native(lock).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(held >= 0);
        QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);
        OtherAccount waiter(
            [this] { return errorOf([this] { const FolderLock lock(app(), std::chrono::milliseconds(0)); }); });
        QCOMPARE(waiter.finish(), u"文件夹"_s + app() + u"正被另一个程序使用，等了10秒也没有结束，请稍后再试"_s);

        // Let go here, taken there: then this process is the one kept out.
        QCOMPARE(::flock(held, LOCK_UN), 0);
        int taken[2], done[2];
        QCOMPARE(::pipe(taken), 0);
        QCOMPARE(::pipe(done), 0);
        OtherAccount holder([&] {
            return errorOf([&] {
                const FolderLock lock(app(), std::chrono::milliseconds(0));
                char c = 't';
                if (::write(taken[1], &c, 1) == 1)
                    while (::read(done[0], &c, 1) < 0 && errno == EINTR) { }
            });
        });
        ::close(taken[1]);
        ::close(done[0]);
        char c = 0;
        const bool holds = ::read(taken[0], &c, 1) == 1;
        const bool keptOut = ::flock(held, LOCK_EX | LOCK_NB) == -1 && errno == EWOULDBLOCK;
        QCOMPARE(::write(done[1], "d", 1), 1);
        ::close(taken[0]);
        ::close(done[1]);
        QCOMPARE(holder.finish(), QString());
        QVERIFY(holds);
        QVERIFY(keptOut);
        ::close(held);
    }

    // A read-only folder without a lock file: nothing can lock it, so nothing is written there.
    void aReadOnlyFolderWithoutALockFileIsNotWritten()
    {
        QCOMPARE(::chmod(native(root()).constData(), 0755), 0);
        QCOMPARE(::chmod(native(app()).constData(), 0555), 0);
        const QByteArray index = TestFiles::read(app() + u"LINK2.INI"_s);
        OtherAccount writer(
            [this] { return errorOf([this] { EffectIndex(m_files, app()).append(u"简单复制"_s, u"甲"_s, u"1"_s); }); });
        QCOMPARE(writer.finish(),
            u"无法锁定文件夹"_s + app() + u"，没有写入任何文件：不能建立“.vellumo.lock”：没有写入权限"_s);
        QCOMPARE(TestFiles::read(app() + u"LINK2.INI"_s), index);
        QVERIFY(!QFile::exists(app() + FolderLock::fileName()));
        QCOMPARE(::chmod(native(app()).constData(), 0755), 0);
    }

    // A kind-1 package may ship any file; a later package of another kind named like that file makes it
    // the effect's definition file, and it is judged as one then.
    void aDefinitionFileAnotherPackageShippedIsJudged_data() { soundPackagesInstall_data(); }

    void aDefinitionFileAnotherPackageShippedIsJudged()
    {
        QFETCH(bool, throughTool);
        put(pkg() + u"越界"_s, u"[file]\r\nft=1\r\nfno1=../../../../etc/passwd\r\n"_s);
        put(pkg() + u"越界.js"_s, u"var a;"_s);
        put(pkg() + u"first.gx"_s, packageText(u"name=先\r\nflistno=1\r\nflist=图片特效\r\nft=1\r\nftname1=越界"_s));
        put(pkg() + u"second.gx"_s,
            packageText(u"name=越界\r\nflistno=4\r\nflist=图片特效\r\nft=1\r\nftname1=越界.js"_s));
        QCOMPARE(install({ pkg() + u"first.gx"_s }, throughTool).status, 0);
        const Tree before = tree();
        const Run run = install({ pkg() + u"second.gx"_s }, throughTool);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.message.contains(
                     u"升级文件"_s + pkg() + u"second.gx不安全，没有安装：定义文件中的fno1=../../../../etc/passwd"_s),
            qPrintable(run.message));
        QCOMPARE(tree(), before);
    }

    // A package or library file changed after the package was judged, before its files are copied: what
    // is copied is what was judged, and nothing outside the library is read into it or written.
    void whatIsCopiedIsWhatWasJudged_data()
    {
        QTest::addColumn<QString>("package");
        QTest::addColumn<PackageFiles>("files");
        QTest::addColumn<QString>("change"); // what the hook does: a rename, a link or a rewrite
        QTest::addColumn<QString>("installed"); // where the package's file must be found afterwards

        const QString plain = u"name=换\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=换.txt"_s;
        const QString inFolder = u"name=换\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=sub/换.txt"_s;
        QTest::newRow("package file swapped for a link outside")
            << plain << PackageFiles { { u"换.txt"_s, u"<p>checked</p>"_s } } << u"link pkg:换.txt"_s
            << u"简单复制/换.txt"_s;
        QTest::newRow("package folder swapped for a link outside")
            << inFolder << PackageFiles { { u"sub/换.txt"_s, u"<p>checked</p>"_s } } << u"link pkg:sub"_s
            << u"简单复制/sub/换.txt"_s;
        QTest::newRow("category sub-folder swapped for a link outside")
            << inFolder << PackageFiles { { u"sub/换.txt"_s, u"<p>checked</p>"_s } } << u"link app:简单复制/sub"_s
            << u"简单复制/sub.checked/换.txt"_s;
        QTest::newRow("definition file rewritten in place")
            << u"name=改\r\nflistno=4\r\nflist=图片特效\r\nft=1\r\nftname1=改"_s
            << PackageFiles { { u"改"_s, u"[file]\r\nft=1\r\nfno1=改.txt\r\n"_s } } << u"rewrite pkg:改"_s
            << u"图片特效/改"_s;
        QTest::newRow("definition file replaced")
            << u"name=改\r\nflistno=4\r\nflist=图片特效\r\nft=1\r\nftname1=改"_s
            << PackageFiles { { u"改"_s, u"[file]\r\nft=1\r\nfno1=改.txt\r\n"_s } } << u"replace pkg:改"_s
            << u"图片特效/改"_s;
    }

    void whatIsCopiedIsWhatWasJudged()
    {
        QFETCH(QString, package);
        QFETCH(PackageFiles, files);
        QFETCH(QString, change);
        QFETCH(QString, installed);
        QVERIFY(QDir().mkpath(app() + u"简单复制/sub"_s));
        layOutPackage(files);
        put(pkg() + u"p.gx"_s, packageText(package));
        const QByteArray judged = Ansi::encode(files.first());
        // Outside: a secret where the link leads, and the folder a link would write into.
        const QByteArray secret = "root:x:0:0:secret";
        TestFiles::write(outside() + u"换.txt"_s, secret);
        QVERIFY(QDir().mkpath(outside() + u"made"_s));
        const QByteArray hostile = "[file]\r\nft=1\r\nfno1=../../../../etc/passwd\r\n";
        const Tree outsideBefore = [&] {
            Tree all = tree();
            for (auto it = all.begin(); it != all.end();)
                it = it.key().startsWith(outside()) ? std::next(it) : all.erase(it);
            return all;
        }();

        const QString what = change.section(u' ', 0, 0);
        const QString where = change.section(u' ', 1);
        const QString path = (where.startsWith(u"pkg:"_s) ? pkg() : app()) + where.section(u':', 1);
        int calls = 0;
        PackageInstaller installer(m_files, app());
        installer.setAfterJudging([&](const PackageInstaller::Package &) {
            ++calls;
            if (what == u"link"_s) {
                // The real one moves aside, so that what was checked is still there to be read. A package's
                // link leads to the secret, a library's to an empty folder outside.
                const bool folder = QFileInfo(path).isDir();
                QVERIFY(QFile::rename(path, path + u".checked"_s));
                QVERIFY(QFile::link(where.startsWith(u"app:"_s) ? outside() + u"made"_s
                        : folder                                ? outside().chopped(1)
                                                                : outside() + u"换.txt"_s,
                    path));
            } else if (what == u"rewrite"_s) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadWrite));
                QVERIFY(file.resize(0));
                QCOMPARE(file.write(hostile), hostile.size());
            } else {
                TestFiles::write(path + u".new"_s, hostile);
                QCOMPARE(::rename(native(path + u".new"_s).constData(), native(path).constData()), 0);
            }
        });
        IniCache::instance().clear();
        const PackageInstaller::Outcome outcome = installer.installAll({ pkg() + u"p.gx"_s });
        QCOMPARE(calls, 1);
        QCOMPARE(outcome.end, PackageInstaller::End::Installed);
        QCOMPARE(TestFiles::read(app() + installed), judged);
        Tree outsideAfter = tree();
        for (auto it = outsideAfter.begin(); it != outsideAfter.end();)
            it = it.key().startsWith(outside()) ? std::next(it) : outsideAfter.erase(it);
        QCOMPARE(outsideAfter, outsideBefore);
        for (QDirIterator it(app(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            const QString file = it.next();
            QVERIFY2(!TestFiles::read(file).contains("secret") && !TestFiles::read(file).contains("passwd"),
                qPrintable(file));
        }
    }

    void indexNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("usable");
        QTest::newRow("plain") << u"图片 轮换"_s << true;
        QTest::newRow("carriage return") << u"a\rb"_s << false;
        QTest::newRow("line feed") << u"a\nb"_s << false;
        QTest::newRow("nul") << QString(u"a"_s + QChar(0)) << false;
        QTest::newRow("equals") << u"a=b"_s << false;
        QTest::newRow("bracket") << u"a[b"_s << false;
        QTest::newRow("closing bracket") << u"a]b"_s << false;
        QTest::newRow("trailing tab") << u"a\t"_s << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("2047 bytes") << QString(1023, u'汉') + u"a"_s << true;
        QTest::newRow("2048 bytes") << QString(1024, u'汉') << false;
    }

    void indexNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, usable);
        QCOMPARE(LibraryNames::indexProblem(name).isEmpty(), usable);
    }
};

QTEST_APPLESS_MAIN(TestPackageSafety)
#include "tst_packagesafety.moc"
