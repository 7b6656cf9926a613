// A save keeps what the page's file was: owner, group, mode, extended attributes and ACLs, and its
// other hard links; where a new file could not keep them, or the folder takes no new file, the page is
// rewritten in place and the copy that stood behind it is gone afterwards.
#include "platform/localfilesystem.h"
#include "platform/saveway.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

#include <functional>

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;
constexpr gid_t Daemon = 1;

// Makes a page's case on the disk as the saver will find it; a reason to skip when this machine cannot.
using Prepare = std::function<QString(const QString &folder, const QString &page, uid_t saver)>;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

struct stat statOf(const QString &path)
{
    struct stat st
    {
    };
    if (::lstat(native(path).constData(), &st) != 0)
        st.st_ino = 0;
    return st;
}

// What a save must keep of a file, as text, so that a difference is shown whole.
QString keptFacts(const QString &path)
{
    const struct stat st = statOf(path);
    QString facts = u"owner %1:%2 mode %3 links %4"_s.arg(st.st_uid)
                        .arg(st.st_gid)
                        .arg(st.st_mode & 07777, 4, 8, QChar(u'0'))
                        .arg(st.st_nlink);
    QByteArray names(qMax<ssize_t>(0, ::llistxattr(native(path).constData(), nullptr, 0)), '\0');
    ::llistxattr(native(path).constData(), names.data(), size_t(names.size()));
    QMap<QByteArray, QByteArray> attributes;
    for (const QByteArray &name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        QByteArray value(qMax<ssize_t>(0, ::lgetxattr(native(path).constData(), name.constData(), nullptr, 0)), '\0');
        ::lgetxattr(native(path).constData(), name.constData(), value.data(), size_t(value.size()));
        attributes.insert(name, value);
    }
    for (auto it = attributes.cbegin(); it != attributes.cend(); ++it)
        facts += u" %1=%2"_s.arg(QString::fromLatin1(it.key()), QString::fromLatin1(it.value().toHex()));
    return facts;
}

QString owned(const QString &path, uid_t owner, gid_t group, mode_t mode)
{
    if (::chown(native(path).constData(), owner, group) != 0 || ::chmod(native(path).constData(), mode) != 0)
        return u"cannot give "_s + path + u" its owner: "_s + QString::fromLocal8Bit(strerror(errno));
    return {};
}

QString attributeSet(const QString &path, const char *name, const QByteArray &value)
{
    if (::setxattr(native(path).constData(), name, value.constData(), size_t(value.size()), 0) == 0)
        return {};
    return u"the test folder's file system refuses %1: "_s.arg(QLatin1StringView(name))
        + QString::fromLocal8Bit(strerror(errno));
}

// An access ACL as the kernel stores it: owner rw, the user daemon r, group r, mask r, others nothing.
QByteArray aclGrantingDaemonRead()
{
    QByteArray acl;
    const auto add32 = [&acl](quint32 v) { acl.append(reinterpret_cast<const char *>(&v), 4); };
    const auto entry = [&](quint16 tag, quint16 perm, quint32 id) {
        acl.append(reinterpret_cast<const char *>(&tag), 2);
        acl.append(reinterpret_cast<const char *>(&perm), 2);
        add32(id);
    };
    add32(2);
    entry(0x01, 6, quint32(-1));
    entry(0x02, 4, Daemon);
    entry(0x04, 4, quint32(-1));
    entry(0x10, 4, quint32(-1));
    entry(0x20, 0, quint32(-1));
    return acl;
}

// Runs the save in this process, or as nobody (in the groups given) in a child when asked to while
// root; false when it failed.
bool saveAs(bool asNobody, const QList<gid_t> &groups, const std::function<bool()> &save)
{
    if (!asNobody)
        return save();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(size_t(groups.size()), groups.constData()) == 0 && ::setgid(NoGroup) == 0
            && ::setuid(Nobody) == 0;
        ::_exit(dropped ? (save() ? 0 : 1) : 2);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
}
Q_DECLARE_METATYPE(Prepare)
Q_DECLARE_METATYPE(FileFacts)
Q_DECLARE_METATYPE(SaveWay)

class TestSaveKeeps : public QObject
{
    Q_OBJECT

private slots:
    void saveWayFollowsWhatTheFileIs_data()
    {
        QTest::addColumn<FileFacts>("facts");
        QTest::addColumn<SaveWay>("way");
        const FileFacts own { 1, 1000, 1000, 1000, false, true, true };
        QTest::newRow("the saver's own file") << own << SaveWay::Replace;
        FileFacts linked = own;
        linked.links = 2;
        QTest::newRow("a second hard link") << linked << SaveWay::InPlace;
        FileFacts readOnlyFolder = own;
        readOnlyFolder.folderWritable = false;
        QTest::newRow("a folder that takes no new file") << readOnlyFolder << SaveWay::InPlace;
        FileFacts team { 1, 0, 1, 1000, false, true, true };
        QTest::newRow("another owner, the saver in the group") << team << SaveWay::InPlace;
        FileFacts otherGroup = own;
        otherGroup.inGroup = false;
        QTest::newRow("the saver's file, a group the saver left") << otherGroup << SaveWay::InPlace;
        FileFacts root { 1, Nobody, NoGroup, 0, true, false, true };
        QTest::newRow("another owner, saved by root") << root << SaveWay::Replace;
        root.links = 3;
        QTest::newRow("root saving a linked file") << root << SaveWay::InPlace;
    }
    void saveWayFollowsWhatTheFileIs()
    {
        QFETCH(FileFacts, facts);
        QFETCH(SaveWay, way);
        QCOMPARE(chooseSaveWay(facts), way);
    }

    void saveKeepsWhatTheFileWas_data()
    {
        QTest::addColumn<Prepare>("prepare");
        QTest::addColumn<bool>("needsRoot");
        // As root, the save runs as nobody in these groups; otherwise as this user.
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<QList<gid_t>>("groups");
        QTest::addColumn<QString>("otherLink");
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<bool>("backupUsed");

        QTest::newRow("another user's page, saved by root: owner and group")
            << Prepare([](const QString &, const QString &page, uid_t) { return owned(page, Nobody, NoGroup, 0640); })
            << true << false << QList<gid_t>() << QString() << false << false;
        QTest::newRow("a user attribute") << Prepare(
            [](const QString &, const QString &page, uid_t) { return attributeSet(page, "user.x", "kept value"); })
                                          << false << false << QList<gid_t>() << QString() << false << false;
        QTest::newRow("an ACL granting a user read") << Prepare([](const QString &, const QString &page, uid_t) {
            return attributeSet(page, "system.posix_acl_access", aclGrantingDaemonRead());
        }) << false << false << QList<gid_t>() << QString()
                                                     << false << false;
        QTest::newRow("a second hard link") << Prepare([](const QString &folder, const QString &page, uid_t) {
            return ::link(native(page).constData(), native(folder + u"other.htm"_s).constData()) == 0
                ? QString()
                : u"no hard links here"_s;
        }) << false << false << QList<gid_t>()
                                            << u"other.htm"_s << true << false;
        QTest::newRow("a writable page in a read-only folder")
            << Prepare([](const QString &folder, const QString &page, uid_t saver) {
                   const QString refused = owned(page, saver, ::getgid(), 0644);
                   return refused.isEmpty() ? owned(folder, saver, ::getgid(), 0555) : refused;
               })
            << false << true << QList<gid_t>() << QString() << true << true;
        QTest::newRow("a team's page in a group-writable folder")
            << Prepare([](const QString &folder, const QString &page, uid_t) {
                   const QString refused = owned(page, 0, Daemon, 0664);
                   return refused.isEmpty() ? owned(folder, 0, Daemon, 0775) : refused;
               })
            << true << true << QList<gid_t> { Daemon } << QString() << true << false;
        QTest::newRow("the saver's page of a group the saver is in")
            << Prepare([](const QString &folder, const QString &page, uid_t) {
                   const QString refused = owned(page, Nobody, Daemon, 0664);
                   return refused.isEmpty() ? owned(folder, Nobody, NoGroup, 0755) : refused;
               })
            << true << true << QList<gid_t> { Daemon } << QString() << false << false;
    }
    void saveKeepsWhatTheFileWas()
    {
        QFETCH(Prepare, prepare);
        QFETCH(bool, needsRoot);
        QFETCH(bool, asNobody);
        QFETCH(QList<gid_t>, groups);
        QFETCH(QString, otherLink);
        QFETCH(bool, inPlace);
        QFETCH(bool, backupUsed);
        const bool root = ::geteuid() == 0;
        if (needsRoot && !root)
            QSKIP("giving a file to another user needs root");
        asNobody = asNobody && root;

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Nobody reaches the folders below.
        QCOMPARE(::chmod(native(dir.path()).constData(), 0755), 0);
        const QString folder = dir.path() + u"/pages/"_s;
        const QString page = folder + u"page.htm"_s;
        const QString data = dir.path() + u"/data/"_s;
        const QString backups = data + u"backups/"_s;
        TestFiles::write(page, "<p>old text</p>\r\n");
        QVERIFY(QDir().mkpath(data));
        if (asNobody)
            QCOMPARE(::chown(native(data).constData(), Nobody, NoGroup), 0);
        const QString refused = prepare(folder, page, asNobody ? Nobody : ::geteuid());
        if (!refused.isEmpty())
            QSKIP(qPrintable(refused));
        const QString factsBefore = keptFacts(page);
        const ino_t inode = statOf(page).st_ino;
        const QStringList entriesBefore = entries(folder);

        const QByteArray text = "<p>new text, longer than the old one</p>\r\n";
        LocalFileSystem files(backups);
        QString keptCopy;
        QVERIFY(saveAs(asNobody, groups, [&] { return files.writeKeeping(page, text, &keptCopy); }));
        // The folder may take entries again, so that the temporary folder goes.
        ::chmod(native(folder).constData(), 0755);

        QCOMPARE(TestFiles::read(page), text);
        if (!otherLink.isEmpty())
            QCOMPARE(TestFiles::read(folder + otherLink), text);
        QCOMPARE(keptFacts(page), factsBefore);
        QCOMPARE(statOf(page).st_ino == inode, inPlace);
        QCOMPARE(entries(folder), entriesBefore);
        QCOMPARE(QDir(backups).exists(), backupUsed);
        QCOMPARE(entries(backups), QStringList());
        QCOMPARE(keptCopy, QString());
    }

    // A rewrite in place that fails part-way (here at the file size limit, after the space was
    // reserved) puts the old bytes back and leaves no copy; the same save within the limit then
    // reaches both names.
    void failedRewritePutsTheOldBytesBack()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString page = dir.filePath(u"page.htm"_s);
        const QString other = dir.filePath(u"other.htm"_s);
        const QByteArray old(100, 'o');
        const QByteArray text(64 * 1024, 'n');
        TestFiles::write(page, old);
        QCOMPARE(::link(native(page).constData(), native(other).constData()), 0);
        const ino_t inode = statOf(page).st_ino;
        LocalFileSystem files(dir.filePath(u"backups"_s));

        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit { 16 * 1024, 16 * 1024 };
            QString keptCopy;
            const bool saved = ::setrlimit(RLIMIT_FSIZE, &limit) == 0 && files.writeKeeping(page, text, &keptCopy);
            ::_exit(saved ? 0 : keptCopy.isEmpty() ? 1 : 2);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 1);
        QCOMPARE(TestFiles::read(page), old);
        QCOMPARE(statOf(page).st_ino, inode);
        QCOMPARE(entries(dir.path()), (QStringList { u"other.htm"_s, u"page.htm"_s }));

        QString keptCopy;
        QVERIFY(files.writeKeeping(page, text, &keptCopy));
        QCOMPARE(TestFiles::read(other), text);
        QCOMPARE(statOf(page).st_ino, inode);
        QCOMPARE(entries(dir.path()), (QStringList { u"other.htm"_s, u"page.htm"_s }));
    }
};

QTEST_APPLESS_MAIN(TestSaveKeeps)
#include "tst_savekeeps.moc"
