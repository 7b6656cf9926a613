#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// A folder held open by its descriptor from the moment it was checked: names below it are opened from
// it without following links, so a folder on the way that is swapped for a link later leads nowhere,
// and a file made in it lands in the folder that was checked whatever its name leads to by then.
class HeldFolder
{
public:
    HeldFolder() = default;

    // The folder at path; the folders above it are followed as they are, its own name must not be a link.
    static HeldFolder open(const QString &path);
    // The folder reached from this one through the parts of relative ("a/b"), none of them a link; ""
    // and "." stay here, ".." is refused.
    HeldFolder below(const QString &relative) const;

    bool isOpen() const { return m_descriptor != nullptr; }
    int descriptor() const { return m_descriptor ? *m_descriptor : -1; }
    // The path it was reached by, ending with the separator: for messages.
    const QString &path() const { return m_path; }
    // The errno of a failed open; 0 when open.
    int error() const { return m_error; }

    // The names of its entries equal to name regardless of letter case, links included.
    QStringList entriesNamed(const QString &name) const;

private:
    std::shared_ptr<const int> m_descriptor;
    QString m_path;
    int m_error = 0;

    static HeldFolder adopt(int descriptor, const QString &path);
    static HeldFolder failed(int error, const QString &path);
};
