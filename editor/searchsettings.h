#pragma once

#include <QString>

class FileSystem;

// Whether searches go on from the start of the page when they reach its end; remembered in the
// placement file, so the choice holds for the next run.
class SearchSettings
{
public:
    SearchSettings(FileSystem &files, QString settingsFile);

    bool wrapAround() const;
    // Failures are not reported: a preference that does not stick must never stop a search.
    void setWrapAround(bool wrap);

private:
    FileSystem &m_files;
    QString m_settingsFile;
};
