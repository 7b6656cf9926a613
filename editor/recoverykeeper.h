#pragma once

#include "recoverycopy.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <optional>

class RecoveryFolder;

// Keeps the recovery copy of the page up to date while it has unsaved changes: written a moment after
// typing pauses, and at least every few seconds while it goes on, by a thread of its own so that the
// window never waits for the disk. The copy goes as soon as the page has nothing unsaved.
class RecoveryKeeper : public QObject
{
    Q_OBJECT

public:
    // The page as it is now, its text made in the buffer given when that has the room; nothing when it
    // has no unsaved changes.
    using Snapshot = std::function<std::optional<RecoveryCopy>(QByteArray reuse)>;
    // Whether the page has unsaved changes, asked without copying it.
    using Unsaved = std::function<bool()>;
    // The page's size in bytes, asked without copying it.
    using PageSize = std::function<qint64()>;

    RecoveryKeeper(
        RecoveryFolder &folder, Snapshot snapshot, Unsaved unsaved, PageSize pageSize = {}, QObject *parent = nullptr);
    // Waits for the last write; the copy stays only when the page still has unsaved changes.
    ~RecoveryKeeper() override;

    static constexpr int PauseMs = 600;
    // While typing goes on: a page up to SmallPage bytes is copied every LongestSmallPageMs, as its copy
    // costs nothing; a larger one every LongestMs, as each copy of it takes the window's thread a moment.
    static constexpr int LongestSmallPageMs = 2000;
    static constexpr int LongestMs = 9000;
    static constexpr qsizetype SmallPage = 1 << 20;
    // Other intervals than the user's, for tests that cannot wait seconds.
    void setIntervals(int pauseMs, int longestSmallPageMs, int longestMs);

    // The text changed.
    void pageChanged();
    // The page's saved state may have changed (saved, replaced, undone back to what was saved): a copy
    // with nothing left to recover goes at once.
    void pageStateChanged();
    // The copy is written now (a page restored from another copy).
    void writeNow();
    // The user threw the unsaved changes away: the copy goes, and comes back only with the next change.
    void discard();
    // Whether a write waits for a pause or the longest interval.
    bool writeScheduled() const { return m_pause.isActive() || m_longest.isActive(); }
    // Blocks until every write and removal asked for so far is done (tests and the end).
    void waitForDisk();

signals:
    // A copy reached the disk, or failed to (then the last one stays).
    void copyWritten(bool written);

private:
    void prepareSpare();

    RecoveryFolder &m_folder;
    Snapshot m_snapshot;
    Unsaved m_unsaved;
    PageSize m_pageSize;
    QTimer m_pause;
    QTimer m_longest;
    int m_longestSmallPageMs = LongestSmallPageMs;
    int m_longestMs = LongestMs;
    // One thread, so that writes and removals reach the disk in the order they were asked for.
    QThreadPool m_disk;
    // The last copy's text, back from the disk's thread: the next copy of a large page is made in it
    // rather than in fresh memory, which would hold the window's thread many times longer.
    // The first copy of a large page has no last copy: its memory is made ready on the disk's thread
    // when the page first changes.
    QByteArray m_spare;
    bool m_spareComing = false;
    bool m_copyKept = false;
    bool m_discarded = false;
};
