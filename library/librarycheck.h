#pragma once

#include "effectkind.h"

#include <QList>
#include <QString>

class FileSystem;

// Checks a whole application folder as the program would use it: the categories and their folders
// and counters, every effect's kind and files, every definition file's counts, named files, step
// and row tokens and the wrapper pairs those tokens use.
class LibraryCheck
{
public:
    LibraryCheck(FileSystem &files, const QString &applicationFolder);

    struct Problem
    {
        QString where; // "category/effect", "category" or an index file's name
        QString what;
        QString line() const { return where + QStringLiteral(": ") + what; }
    };
    QList<Problem> run() const;

private:
    void checkEffect(
        const QString &category, const QString &effect, const QString &kind, QList<Problem> &problems) const;
    void checkDefinition(
        const QString &category, const QString &effect, EffectKind kind, QList<Problem> &problems) const;

    FileSystem &m_files;
    QString m_folder;
};
