#include "recoverykeeper.h"

#include "recoveryfolder.h"

#include <QDateTime>
#include <QMetaObject>

#include <utility>

RecoveryKeeper::RecoveryKeeper(
    RecoveryFolder &folder, Snapshot snapshot, Unsaved unsaved, PageSize pageSize, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_snapshot(std::move(snapshot))
    , m_unsaved(std::move(unsaved))
    , m_pageSize(std::move(pageSize))
{
    m_disk.setMaxThreadCount(1);
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    m_longest.setSingleShot(true);
    m_longest.setInterval(LongestSmallPageMs);
    connect(&m_pause, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
    connect(&m_longest, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
}

RecoveryKeeper::~RecoveryKeeper()
{
    m_pause.stop();
    m_longest.stop();
    m_disk.waitForDone();
    // A window that closes has nothing unsaved, or the user threw it away; a copy left means the
    // program was ended some other way, and it is offered at the next start.
    if (!m_unsaved() || m_discarded)
        m_folder.remove();
}

void RecoveryKeeper::setIntervals(int pauseMs, int longestSmallPageMs, int longestMs)
{
    m_pause.setInterval(pauseMs);
    m_longest.setInterval(longestSmallPageMs);
    m_longestSmallPageMs = longestSmallPageMs;
    m_longestMs = longestMs;
}

void RecoveryKeeper::pageChanged()
{
    m_discarded = false;
    m_pause.start();
    if (!m_longest.isActive())
        m_longest.start();
    prepareSpare();
}

void RecoveryKeeper::prepareSpare()
{
    // Once a copy is kept, each one comes back from the disk's thread for the next.
    if (m_copyKept || m_spareComing || m_spare.capacity() > 0 || !m_pageSize)
        return;
    const qint64 size = m_pageSize();
    if (size <= SmallPage)
        return;
    m_spareComing = true;
    m_disk.start([this, size] {
        // Touched here, so that the window's thread finds the memory there when it copies.
        QByteArray room(size + size / 8, '\0');
        room.resize(0);
        QMetaObject::invokeMethod(
            this,
            [this, room = std::move(room)]() mutable {
                m_spareComing = false;
                if (m_spare.capacity() == 0 && !m_discarded)
                    m_spare = std::move(room);
            },
            Qt::QueuedConnection);
    });
}

void RecoveryKeeper::pageStateChanged()
{
    // A page with changes is copied with the next pause, never in the middle of a keystroke; changes
    // the user threw away are not copied again (the page stays when what was to replace it failed).
    if (m_discarded)
        return;
    if (m_unsaved())
        pageChanged();
    else
        writeNow();
}

void RecoveryKeeper::discard()
{
    m_pause.stop();
    m_longest.stop();
    m_spare = QByteArray();
    RecoveryFolder *folder = &m_folder;
    m_disk.start([folder] { folder->remove(); });
    m_copyKept = false;
    m_discarded = true;
}

void RecoveryKeeper::waitForDisk()
{
    m_disk.waitForDone();
}

void RecoveryKeeper::writeNow()
{
    m_pause.stop();
    m_longest.stop();
    std::optional<RecoveryCopy> copy = m_snapshot(std::exchange(m_spare, {}));
    RecoveryFolder *folder = &m_folder;
    if (!copy) {
        if (m_copyKept)
            m_disk.start([folder] { folder->remove(); });
        m_copyKept = false;
        return;
    }
    copy->written = QDateTime::currentDateTimeUtc();
    m_copyKept = true;
    m_longest.setInterval(copy->utf8.size() > SmallPage ? m_longestMs : m_longestSmallPageMs);
    // The keeper outlives every write (it waits for them), and a queued call to it is dropped once it is gone.
    m_disk.start([this, folder, copy = std::move(*copy)]() mutable {
        const bool written = folder->write(copy);
        QMetaObject::invokeMethod(
            this,
            [this, written, spare = std::move(copy.utf8)]() mutable {
                if (m_copyKept)
                    m_spare = std::move(spare);
                emit copyWritten(written);
            },
            Qt::QueuedConnection);
    });
}
