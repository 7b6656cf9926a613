#pragma once

#include "platform/heldfile.h"
#include "platform/heldfolder.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class FileSystem;

// Installs update packages (".gx" files): each package's files are copied from the package's folder
// into its category folder, never overwriting, and the effect is entered in the effect index.
// Package files come from strangers: every package is judged whole before anything of it is copied
// or written, and one that could reach outside its folders, break an index file or change an
// installed effect is refused.
class PackageInstaller
{
public:
    PackageInstaller(FileSystem &files, const QString &applicationFolder);

    struct Package
    {
        QString path;
        bool hasFilesSection = false; // [files]: without it the file is no update package
        QString name; // name
        QString kind; // flistno
        QString folder; // the package file's folder, with the separator at its end
        QString category; // flist
        QStringList files; // ftname1 .. ftname<ft>, with "\" read as the folder separator
    };
    // Reads a package: "Cannot open file %s" when it is no readable file; ft that is no number
    // raises the conversion error.
    Package read(const QString &path) const;

    // What installing one package would do, decided before anything is changed. Its files and folders
    // are held open from the judging on, so what is copied, and where, is what was judged.
    struct Plan
    {
        enum class Verdict { Install, AlreadyInstalled, Incomplete, Refused };
        Verdict verdict = Verdict::Refused;
        QString refusal; // the whole message, for Refused
        QString category; // as the category index spells it
        struct Copy
        {
            HeldFile source; // opened from the package's folder without links
            HeldFolder folder; // the folder it goes into, opened from the category folder without links
            QString name; // its name there
            QString target; // its path, for messages
            std::optional<QByteArray> bytes; // a definition file's bytes as judged: written instead
        };
        QList<Copy> copies;
    };
    // A category TOTAL that is no number raises the conversion error.
    Plan plan(const Package &package) const;

    enum class End { Nothing, Installed, AlreadyInstalled, Incomplete, Refused };
    struct Outcome
    {
        End end = End::Nothing;
        QString lastName; // of the last package entered
        QString lastCategory; // of the last package entered
        QString refusal; // the refused package's message
        QStringList installed; // category/name of each package entered, in order
        QStringList alreadyInstalled; // packages found installed already and left as they were
    };
    // Installs the packages in order and stops at the first incomplete or refused one; what was
    // installed before stays, and outcome tells it even when an error is raised part-way. A package
    // whose copy or entry fails leaves none of its files behind.
    void installAll(const QStringList &packages, Outcome &outcome);
    Outcome installAll(const QStringList &packages);

    // Called after each package is judged and before anything of it is copied: tests change the files
    // there to show that what is copied is what was judged.
    void setAfterJudging(std::function<void(const Package &)> hook) { m_afterJudging = std::move(hook); }

    static QString confirmation();
    static QString incompleteMessage();
    static QString closingMessage(const Outcome &outcome);
    // A package that would reach outside its folders or break an index file.
    static QString refusedMessage(const QString &packagePath, const QString &reason);
    // A package that is sound but cannot be installed here.
    static QString notInstalledMessage(const QString &packagePath, const QString &reason);
    static QString alreadyInstalledMessage(const QString &packagePath);
    // What the options window shows when the batch ends.
    static QString finalMessage(const Outcome &outcome);
    // Which packages were entered before the batch stopped.
    static QString installedBefore(const Outcome &outcome);

private:
    FileSystem &m_files;
    QString m_applicationFolder;
    std::function<void(const Package &)> m_afterJudging;
};
