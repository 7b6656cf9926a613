#include "temporaryname.h"

#include <QRandomGenerator>

#include <climits>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray Marker = ".vellumo-";
constexpr int RandomLength = 6;

bool isLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool olderThan(const struct stat &st, const struct timespec &moment)
{
    return st.st_mtim.tv_sec < moment.tv_sec
        || (st.st_mtim.tv_sec == moment.tv_sec && st.st_mtim.tv_nsec < moment.tv_nsec);
}
}

QByteArray TemporaryName::pattern(const QByteArray &name)
{
    const qsizetype room = NAME_MAX - 1 - Marker.size() - RandomLength;
    return '.' + name.left(room) + Marker + QByteArray(RandomLength, 'X');
}

void TemporaryName::fill(QByteArray &pattern)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (qsizetype i = pattern.size() - RandomLength; i < pattern.size(); ++i)
        pattern[i] = letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
}

bool TemporaryName::matches(const QByteArray &name)
{
    const qsizetype marker = name.size() - RandomLength - Marker.size();
    if (marker < 2 || !name.startsWith('.') || name.mid(marker, Marker.size()) != Marker)
        return false;
    for (qsizetype i = name.size() - RandomLength; i < name.size(); ++i)
        if (!isLetterOrDigit(name[i]))
            return false;
    return true;
}

int TemporaryName::removeStale(int folder, const struct timespec &before, int depth, bool ownOnly)
{
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = listing < 0 ? nullptr : ::fdopendir(listing);
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return 0;
    }
    int removed = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        struct stat st;
        if (name == "." || name == ".." || ::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode) && depth > 0) {
            const int below = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (below >= 0) {
                removed += removeStale(below, before, depth - 1, ownOnly);
                ::close(below);
            }
        } else if (S_ISREG(st.st_mode) && matches(name) && olderThan(st, before)
            && (!ownOnly || st.st_uid == ::geteuid()) && ::unlinkat(folder, name.constData(), 0) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}
