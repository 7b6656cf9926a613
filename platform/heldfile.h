#pragma once

#include "heldfolder.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// A regular file held open by its descriptor, opened without following links on its way: what is
// read from it is the file that was checked, whatever its name leads to later.
class HeldFile
{
public:
    HeldFile() = default;

    // The file reached from folder through the parts of relative ("a/b.js"), none of them a link; not
    // open when there is none, or it is no regular file.
    static HeldFile open(const HeldFolder &folder, const QString &relative);

    bool isOpen() const { return m_descriptor != nullptr; }
    int descriptor() const { return m_descriptor ? *m_descriptor : -1; }
    const QString &path() const { return m_path; }
    // The errno of a failed open (ELOOP or ENOTDIR for a link on the way, EINVAL for no regular file).
    int error() const { return m_error; }
    std::uint64_t device() const { return m_device; }
    std::uint64_t inode() const { return m_inode; }

    // Reads it from its start, a piece at a time; false on a read error.
    bool readPieces(const std::function<bool(QByteArrayView)> &piece) const;
    std::optional<QByteArray> readAll() const;

private:
    std::shared_ptr<const int> m_descriptor;
    QString m_path;
    int m_error = 0;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
};
