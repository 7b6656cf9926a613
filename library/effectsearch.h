#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class FileSystem;

// Finds the effects whose names contain a text, in the listed categories, as "category.effect"
// lines: categories in list order, effects in index order, duplicates kept.
class EffectSearch
{
public:
    EffectSearch(FileSystem &files, const QString &applicationFolder);

    // found is called for each line as it is found; a counter that is no number raises the conversion
    // error after the lines of the categories before it. An empty text finds nothing.
    void run(
        const QStringList &categories, const QString &text, const std::function<void(const QString &)> &found) const;

    // ASCII letters compare without case, everything else as it is, whole characters only.
    static bool matches(const QString &upperText, const QString &effect);

private:
    FileSystem &m_files;
    QString m_path;
};
