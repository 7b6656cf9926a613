#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class FileSystem;

// LINK2.INI: the effects of each category and the kind of every effect.
class EffectIndex
{
public:
    EffectIndex(FileSystem &files, const QString &applicationFolder);

    // The category's effects in index order; nothing (not even an empty list) when its TOTAL is
    // "0" or empty. Any other TOTAL that is no number raises the conversion error.
    std::optional<QStringList> effects(const QString &category) const;
    // The kind stored under category + effect in section "system"; empty when there is none.
    QString kind(const QString &category, const QString &effect) const;
    // Appends one effect: TOTAL + 1, the name under l<TOTAL>, then its kind, in that order, holding
    // the folder's lock from the read of TOTAL to the write.
    void append(const QString &category, const QString &effect, const QString &kind);

    const QString &path() const { return m_path; }

private:
    FileSystem &m_files;
    QString m_folder;
    QString m_path;
    QString m_writePath;
};
