#include "filechanges.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <limits.h>
#include <linux/io_uring.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {
// Changes to the file or to its entry.
constexpr quint32 FolderMask = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM
    | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
// A folder further up matters only for which entry its name leads to, and for its permissions.
constexpr quint32 AncestorMask = IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF
    | IN_MOVE_SELF;
// The file itself, also changed through a hard link in another folder.
constexpr quint32 FileMask = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr quint32 EntryMoved = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr int MaxLinks = 40;

// File systems whose files other machines or a user-space server change without a local notice.
bool changedElsewhere(decltype(statfs::f_type) type)
{
    switch (static_cast<unsigned long>(type) & 0xFFFFFFFFul) {
    case 0x6969:     // NFS
    case 0x517B:     // SMB
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
    case 0x65735546: // FUSE (sshfs, virtiofs, ...)
    case 0x01021997: // 9P (WSL, virtual machine shares)
    case 0x00C36400: // Ceph
    case 0x5346414F: // AFS
    case 0x6B414653: // kAFS
    case 0x73757245: // Coda
    case 0x564C:     // NCP
    case 0x01161970: // GFS2
    case 0x7461636F: // OCFS2
    case 0x47504653: // GPFS
    case 0x0BD00BD0: // Lustre
    case 0x20030528: // OrangeFS
    case 0x786F4256: // VirtualBox shared folder
        return true;
    default:
        return false;
    }
}

QString fold(const QByteArray &name)
{
    // Letter case is ignored in case a differently spelt name is the one opened.
    return QFile::decodeName(name).toCaseFolded();
}

bool meaningful(const QByteArray &component)
{
    return !component.isEmpty() && component != ".";
}

// Unlike a thread id, never given again to a later thread.
quint64 threadSerial()
{
    static std::atomic<quint64> last{0};
    thread_local const quint64 serial = ++last;
    return serial;
}
}

// Two one-shot polls, on the notice queue and on the mount table, kept in an io_uring whose work
// runs only when its thread asks (DEFER_TASKRUN): a wake-up by the kernel then does nothing but set
// IORING_SQ_TASKRUN in the shared ring, before the waking call returns. While no poll has fired,
// both flags and completions stay empty, and reading them is the whole question.
struct FileChanges::Ring
{
    enum Poll : unsigned { Queue, Mounts, Polls };

    static std::unique_ptr<Ring> open(int queue)
    {
        auto ring = std::make_unique<Ring>();
        ring->watched[Queue] = queue;
        ring->watched[Mounts] = ::open("/proc/self/mounts", O_RDONLY | O_CLOEXEC);
        io_uring_params params{};
        params.flags = IORING_SETUP_SINGLE_ISSUER | IORING_SETUP_DEFER_TASKRUN | IORING_SETUP_TASKRUN_FLAG;
        ring->fd = int(::syscall(__NR_io_uring_setup, 4u, &params));
        if (ring->watched[Mounts] < 0 || ring->fd < 0 || !(params.features & IORING_FEAT_SINGLE_MMAP))
            return nullptr;
        ring->ringsSize = std::max<size_t>(params.sq_off.array + params.sq_entries * sizeof(unsigned),
                                           params.cq_off.cqes + params.cq_entries * sizeof(io_uring_cqe));
        ring->rings = ::mmap(nullptr, ring->ringsSize, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, ring->fd,
                             IORING_OFF_SQ_RING);
        ring->sqesSize = params.sq_entries * sizeof(io_uring_sqe);
        void *sqes = ::mmap(nullptr, ring->sqesSize, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, ring->fd,
                            IORING_OFF_SQES);
        ring->sqes = sqes == MAP_FAILED ? nullptr : static_cast<io_uring_sqe *>(sqes);
        if (ring->rings == MAP_FAILED || !ring->sqes)
            return nullptr;
        char *base = static_cast<char *>(ring->rings);
        ring->sqTail = reinterpret_cast<unsigned *>(base + params.sq_off.tail);
        ring->sqMask = *reinterpret_cast<unsigned *>(base + params.sq_off.ring_mask);
        ring->sqArray = reinterpret_cast<unsigned *>(base + params.sq_off.array);
        ring->sqFlags = reinterpret_cast<unsigned *>(base + params.sq_off.flags);
        ring->cqHead = reinterpret_cast<unsigned *>(base + params.cq_off.head);
        ring->cqTail = reinterpret_cast<unsigned *>(base + params.cq_off.tail);
        ring->cqMask = *reinterpret_cast<unsigned *>(base + params.cq_off.ring_mask);
        ring->cqes = reinterpret_cast<io_uring_cqe *>(base + params.cq_off.cqes);
        if (!ring->arm())
            return nullptr;
        return ring;
    }

    ~Ring()
    {
        if (sqes)
            ::munmap(sqes, sqesSize);
        if (rings != MAP_FAILED)
            ::munmap(rings, ringsSize);
        if (fd >= 0)
            ::close(fd);
        if (watched[Mounts] >= 0)
            ::close(watched[Mounts]);
    }

    // Nothing queued since both polls were armed.
    bool quiet() const
    {
        return armed[Queue] && armed[Mounts] && __atomic_load_n(sqFlags, __ATOMIC_ACQUIRE) == 0
            && __atomic_load_n(cqTail, __ATOMIC_ACQUIRE) == *cqHead;
    }

    // Runs the work the wake-ups left and takes the polls that fired; false when the ring fails.
    bool collect(bool &mountsChanged)
    {
        if (__atomic_load_n(sqFlags, __ATOMIC_ACQUIRE) & (IORING_SQ_TASKRUN | IORING_SQ_CQ_OVERFLOW)) {
            if (enter(0, IORING_ENTER_GETEVENTS) < 0)
                return false;
        }
        bool failed = false;
        unsigned head = *cqHead;
        const unsigned tail = __atomic_load_n(cqTail, __ATOMIC_ACQUIRE);
        for (; head != tail; ++head) {
            const io_uring_cqe &done = cqes[head & cqMask];
            if (done.user_data < Polls)
                armed[done.user_data] = false;
            if (done.user_data == Mounts)
                mountsChanged = true;
            // A poll that fails would fail again at once, at every question.
            if (done.res < 0)
                failed = true;
        }
        __atomic_store_n(cqHead, head, __ATOMIC_RELEASE);
        return !failed;
    }

    // Queues again the polls that fired; a poll whose file is ready at once completes at once.
    bool arm()
    {
        unsigned tail = *sqTail;
        unsigned queued = 0;
        for (unsigned poll = 0; poll < Polls; ++poll) {
            if (armed[poll])
                continue;
            const unsigned index = tail & sqMask;
            io_uring_sqe &entry = sqes[index];
            entry = io_uring_sqe{};
            entry.opcode = IORING_OP_POLL_ADD;
            entry.fd = watched[poll];
            quint32 events = poll == Queue ? POLLIN : POLLPRI;
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
            events = (events << 16) | (events >> 16);
#endif
            entry.poll32_events = events;
            entry.user_data = poll;
            sqArray[index] = index;
            ++tail;
            ++queued;
        }
        if (!queued)
            return true;
        __atomic_store_n(sqTail, tail, __ATOMIC_RELEASE);
        if (enter(queued, 0) != int(queued))
            return false;
        for (bool &poll : armed)
            poll = true;
        return true;
    }

    int enter(unsigned submit, unsigned flags) const
    {
        for (;;) {
            const int done = int(::syscall(__NR_io_uring_enter, fd, submit, 0u, flags, nullptr, 0));
            if (done >= 0 || errno != EINTR)
                return done;
        }
    }

    int fd = -1;
    int watched[Polls] = {-1, -1};
    bool armed[Polls] = {false, false};
    void *rings = MAP_FAILED;
    size_t ringsSize = 0;
    io_uring_sqe *sqes = nullptr;
    size_t sqesSize = 0;
    unsigned *sqTail = nullptr;
    unsigned sqMask = 0;
    unsigned *sqArray = nullptr;
    unsigned *sqFlags = nullptr;
    unsigned *cqHead = nullptr;
    unsigned *cqTail = nullptr;
    unsigned cqMask = 0;
    io_uring_cqe *cqes = nullptr;
};

FileChanges &FileChanges::instance()
{
    static FileChanges changes;
    return changes;
}

FileChanges::FileChanges(int maxWatches) : m_maxWatches(maxWatches)
{
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    m_mounts = ::open("/proc/self/mounts", O_RDONLY | O_CLOEXEC);
    m_epoll = epoll_create1(EPOLL_CLOEXEC);
    epoll_event queue{};
    queue.events = EPOLLIN;
    queue.data.fd = m_fd;
    epoll_event mounts{};
    mounts.events = EPOLLPRI;
    mounts.data.fd = m_mounts;
    if (m_mounts < 0 || m_epoll < 0 || epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_fd, &queue) != 0
        || epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_mounts, &mounts) != 0) {
        // Without the mount table a mount over a watched folder would go unseen.
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_ring = Ring::open(m_fd);
    m_owner = threadSerial();
}

FileChanges::~FileChanges()
{
    m_ring.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_mounts >= 0)
        ::close(m_mounts);
    if (m_epoll >= 0)
        ::close(m_epoll);
}

std::optional<quint64> FileChanges::changeCount(const QString &path)
{
    if (m_fd < 0 || !path.startsWith(u'/'))
        return std::nullopt;
    std::lock_guard<std::mutex> lock(m_mutex);
    drain();
    auto it = m_paths.find(path);
    if (it == m_paths.end()) {
        if (m_paths.size() >= MaxPaths)
            evictOldest();
        it = m_paths.insert(path, Path());
    }
    Path &entry = *it;
    entry.lastUse = ++m_uses;
    const Clock::time_point now = Clock::now();
    if (entry.failed) {
        if (now - entry.since < RetryAfter)
            return std::nullopt;
        entry.failed = false;
        entry.stale = true;
    }
    if (entry.stale) {
        if (!watch(path, entry)) {
            entry.failed = true;
            entry.since = now;
            return std::nullopt;
        }
        entry.stale = false;
        entry.count = ++m_counter;
        entry.since = now;
    } else if (now - entry.since >= RecheckAfter) {
        entry.count = ++m_counter;
        entry.since = now;
    }
    return entry.count;
}

void FileChanges::drain()
{
    if (!m_ring || threadSerial() != m_owner) {
        pollQueue();
        return;
    }
    if (m_ring->quiet())
        return;
    // The notices are read after the fired polls are taken and before they are armed again, so
    // that any notice after the last read fires a poll.
    bool mountsChanged = false;
    const bool ok = m_ring->collect(mountsChanged);
    if (mountsChanged)
        changeAll();
    readQueue();
    if (!ok || !m_ring->arm()) {
        // The ring broke down; every question polls from now on, and what it may have missed counts
        // as changed.
        m_ring.reset();
        changeAll();
    }
}

void FileChanges::pollQueue()
{
    epoll_event ready[2];
    const int count = epoll_wait(m_epoll, ready, 2, 0);
    bool queued = false;
    for (int i = 0; i < count; ++i) {
        if (ready[i].data.fd == m_mounts)
            changeAll();
        else
            queued = true;
    }
    if (queued)
        readQueue();
}

void FileChanges::readQueue()
{
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno != EAGAIN) {
            changeAll();
            return;
        }
        if (got <= 0)
            return;
        for (ssize_t at = 0; at < got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            take(event->mask, event->wd, event->len ? event->name : nullptr);
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
}

void FileChanges::take(quint32 mask, int wd, const char *name)
{
    if (mask & IN_Q_OVERFLOW) {
        changeAll();
        return;
    }
    const auto watch = m_watches.find(wd);
    if (watch == m_watches.end())
        return;
    if (mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
        // The watch follows an inode that no longer stands at its place: every path through it is
        // looked up again, with a new watch.
        const Watch gone = watch.value();
        m_watches.erase(watch);
        if (!(mask & IN_IGNORED))
            inotify_rm_watch(m_fd, wd);
        for (const QStringList &paths : gone.names)
            for (const QString &path : paths)
                change(path, true);
        for (const QString &path : gone.files)
            change(path, true);
        return;
    }
    if (name && *name) {
        const auto named = watch->names.constFind(fold(QByteArray(name)));
        if (named == watch->names.constEnd())
            return;
        // The name may now lead to another file, whose own watch is still to be taken.
        const bool moved = mask & EntryMoved;
        const QStringList paths = named.value();
        for (const QString &path : paths)
            change(path, moved);
        return;
    }
    // The watched inode itself: the file's bytes or attributes, or a folder's permissions.
    const Watch &changed = watch.value();
    const QStringList files = changed.files;
    QStringList through;
    for (const QStringList &paths : changed.names)
        through += paths;
    for (const QString &path : files)
        change(path, false);
    for (const QString &path : through)
        change(path, false);
}

void FileChanges::change(const QString &path, bool stale)
{
    const auto it = m_paths.find(path);
    if (it == m_paths.end())
        return;
    it->count = ++m_counter;
    if (stale)
        it->stale = true;
}

void FileChanges::changeAll()
{
    for (Path &entry : m_paths) {
        entry.count = ++m_counter;
        entry.stale = true;
    }
}

bool FileChanges::watch(const QString &path, Path &entry)
{
    // The new watches are taken before the old ones are let go, so that a watch both need is kept.
    QVector<Use> uses;
    const bool ok = resolve(QFile::encodeName(path), path, uses);
    const QVector<Use> old = std::exchange(entry.uses, QVector<Use>());
    detach(old, path);
    if (!ok) {
        detach(uses, path);
        return false;
    }
    entry.uses = uses;
    return true;
}

// Walks the path as the kernel would, taking a watch on each folder before looking at the entry in
// it, so that any later change to the entry raises a notice. Symbolic links are followed the same way.
bool FileChanges::resolve(const QByteArray &path, const QString &owner, QVector<Use> &uses)
{
    QVector<QByteArray> pending; // components still to walk, the next one last
    const QList<QByteArray> parts = path.split('/');
    for (auto part = parts.crbegin(); part != parts.crend(); ++part)
        pending.append(*part);
    QByteArray folder("/");
    int links = 0;
    while (!pending.isEmpty()) {
        const QByteArray name = pending.takeLast();
        if (!meaningful(name))
            continue;
        if (name == "..") {
            // The folder is known without links, so its parent is the one the kernel goes to.
            folder.truncate(std::max<qsizetype>(folder.lastIndexOf('/'), 1));
            continue;
        }
        const bool last = std::none_of(pending.cbegin(), pending.cend(), meaningful);
        const int wd = addWatch(folder, (last ? FolderMask : AncestorMask) | IN_ONLYDIR);
        if (wd < 0)
            return false;
        attach(wd, fold(name), owner, uses);
        const QByteArray entry = folder == "/" ? folder + name : folder + '/' + name;
        struct stat st;
        if (::lstat(entry.constData(), &st) != 0)
            return last && errno == ENOENT; // a missing file is watched for in its folder
        if (S_ISLNK(st.st_mode)) {
            if (++links > MaxLinks)
                return false;
            QByteArray target(PATH_MAX, Qt::Uninitialized);
            const ssize_t length = ::readlink(entry.constData(), target.data(), size_t(target.size()));
            if (length <= 0 || length >= target.size())
                return false;
            target.truncate(length);
            if (target.startsWith('/'))
                folder = "/";
            const QList<QByteArray> inTarget = target.split('/');
            for (auto part = inTarget.crbegin(); part != inTarget.crend(); ++part)
                pending.append(*part);
            continue;
        }
        if (last) {
            if (S_ISREG(st.st_mode)) {
                const int file = addWatch(entry, FileMask);
                if (file < 0)
                    return false;
                attach(file, QString(), owner, uses);
            }
            return true;
        }
        if (!S_ISDIR(st.st_mode))
            return false;
        folder = entry;
    }
    return false; // the path names a folder
}

int FileChanges::addWatch(const QByteArray &target, quint32 mask)
{
    struct statfs fs;
    if (::statfs(target.constData(), &fs) != 0 || changedElsewhere(fs.f_type))
        return -1;
    const int wd = inotify_add_watch(m_fd, target.constData(), mask | IN_MASK_ADD | IN_DONT_FOLLOW);
    if (wd < 0)
        return -1;
    if (!m_watches.contains(wd) && m_watches.size() >= m_maxWatches) {
        inotify_rm_watch(m_fd, wd);
        return -1;
    }
    return wd;
}

void FileChanges::attach(int wd, const QString &name, const QString &owner, QVector<Use> &uses)
{
    Watch &watch = m_watches[wd];
    if (name.isEmpty())
        watch.files.append(owner);
    else
        watch.names[name].append(owner);
    uses.append(Use{wd, name});
}

void FileChanges::detach(const QVector<Use> &uses, const QString &owner)
{
    for (const Use &use : uses) {
        const auto watch = m_watches.find(use.wd);
        if (watch == m_watches.end())
            continue; // already dropped by the kernel
        if (use.name.isEmpty()) {
            watch->files.removeOne(owner);
        } else {
            const auto named = watch->names.find(use.name);
            if (named != watch->names.end()) {
                named->removeOne(owner);
                if (named->isEmpty())
                    watch->names.erase(named);
            }
        }
        if (watch->files.isEmpty() && watch->names.isEmpty()) {
            m_watches.erase(watch);
            inotify_rm_watch(m_fd, use.wd);
        }
    }
}

void FileChanges::evictOldest()
{
    auto oldest = m_paths.begin();
    for (auto it = m_paths.begin(); it != m_paths.end(); ++it)
        if (it->lastUse < oldest->lastUse)
            oldest = it;
    if (oldest == m_paths.end())
        return;
    const QString path = oldest.key();
    const QVector<Use> uses = oldest->uses;
    m_paths.erase(oldest);
    detach(uses, path);
}
