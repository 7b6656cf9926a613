#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

// Tells whether a file may have changed without looking at it, from the kernel's change notices
// (inotify). The notice of a change is queued inside the changing call itself, so a change that
// ended before a question is always in the answer. Every folder on the way to the file is watched
// for its entry being renamed, replaced or removed, and the mount table for mounts, so a path that
// comes to mean another file is noticed too.
//
// A question costs no system call while nothing happened: an io_uring poll on the notice queue
// raises a flag in memory shared with the kernel inside the very call that queues a notice. Only
// the thread that made the instance can use it; other threads, and kernels without it, poll the
// queue at each question instead (one system call, a little cheaper than a look at the file).
class FileChanges
{
public:
    // The one instance the machine's file system asks.
    static FileChanges &instance();

    // maxWatches caps the kernel watches taken: they are shared by all programs of the user.
    explicit FileChanges(int maxWatches = DefaultMaxWatches);
    ~FileChanges();
    FileChanges(const FileChanges &) = delete;
    FileChanges &operator=(const FileChanges &) = delete;

    // A number that moves whenever the file at path (absolute) may have changed since the number was
    // last given; nullopt when that cannot be told and the file itself must be looked at: no inotify,
    // no watch left, a folder on the way missing or on a network or FUSE file system whose changes
    // made elsewhere raise no notice, or a relative path.
    std::optional<quint64> changeCount(const QString &path);

    static constexpr int DefaultMaxWatches = 1024;
    static constexpr int MaxPaths = 256;
    // Even a watched file is looked at once a second, against changes no notice is raised for
    // (through a shared memory map, on a file system not known to be remote).
    static constexpr std::chrono::milliseconds RecheckAfter{1000};
    // A path that could not be watched is tried again after this long, not at every question.
    static constexpr std::chrono::milliseconds RetryAfter{1000};

private:
    using Clock = std::chrono::steady_clock;

    // One path's use of one watch: the entry name it goes through in a watched folder, or
    // an empty name for the watch on the file itself.
    struct Use
    {
        int wd = -1;
        QString name;
    };
    struct Path
    {
        quint64 count = 0;
        bool stale = true; // its watches must be taken again before its count can be trusted
        bool failed = false;
        Clock::time_point since; // when count was given, or when watching failed
        QVector<Use> uses;
        quint64 lastUse = 0;
    };
    struct Watch
    {
        QHash<QString, QStringList> names; // folded entry name -> paths through that entry
        QStringList files;                 // paths whose file this is
    };

    struct Ring;

    void drain();
    void pollQueue();
    void readQueue();
    void take(quint32 mask, int wd, const char *name);
    void change(const QString &path, bool stale);
    void changeAll();
    bool watch(const QString &path, Path &entry);
    bool resolve(const QByteArray &path, const QString &owner, QVector<Use> &uses);
    int addWatch(const QByteArray &target, quint32 mask);
    void attach(int wd, const QString &name, const QString &owner, QVector<Use> &uses);
    void detach(const QVector<Use> &uses, const QString &owner);
    void evictOldest();

    std::mutex m_mutex;
    int m_fd = -1;
    int m_mounts = -1; // the mount table, which polls as changed after a mount or unmount
    int m_epoll = -1;  // both, for the threads the ring does not serve
    std::unique_ptr<Ring> m_ring;
    quint64 m_owner = 0; // the serial of the thread the ring belongs to
    int m_maxWatches;
    QHash<int, Watch> m_watches;
    QHash<QString, Path> m_paths;
    quint64 m_counter = 0;
    quint64 m_uses = 0;
};
