#pragma once

#include <QString>
#include <QStringList>

class FileSystem;

// Installs update packages (".gx" files): each package's files are copied from the package's folder
// into its category folder, never overwriting, and the effect is entered in the effect index.
// Package files come from strangers: a package whose names could reach outside its category folder
// is refused whole before anything of it is copied or written.
class PackageInstaller
{
public:
    PackageInstaller(FileSystem &files, const QString &applicationFolder);

    struct Package
    {
        QString path;
        QString name;     // name
        QString kind;     // flistno
        QString folder;   // the package file's folder, with the separator at its end
        QString category; // flist
        QStringList files; // ftname1 .. ftname<ft>, with "\" read as the folder separator
    };
    // Reads a package; ft that is no number raises the conversion error.
    Package read(const QString &path) const;
    // Why the package's names are unsafe, or empty when they are safe.
    QString refusal(const Package &package) const;

    enum class End { Nothing, Installed, Incomplete, Refused };
    struct Outcome
    {
        End end = End::Nothing;
        QString lastName;     // of the last package entered
        QString lastCategory; // of the last package entered
        QString refusal;      // the refused package's reason
        int entered = 0;
    };
    // Installs the packages in order and stops at the first incomplete or refused one; what was
    // installed before stays. Conversion and write errors are raised as they occur.
    Outcome installAll(const QStringList &packages);

    static QString confirmation();
    static QString incompleteMessage();
    static QString closingMessage(const Outcome &outcome);
    static QString refusedMessage(const QString &packagePath, const QString &reason);

private:
    FileSystem &m_files;
    QString m_applicationFolder;
};
