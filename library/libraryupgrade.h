#pragma once

#include "platform/explained.h"

#include <QMap>
#include <QString>
#include <QStringList>

class FileSystem;

// Brings a user's application folder up to date with a shipped library, never losing what is the
// user's. The shipped library lists its files and their hashes in its manifest; the user's folder
// keeps the manifest and the two index files of the library it was last brought up to date from
// (in ".vellumo-shipped/"), so that what is new can be told from what the user removed or changed:
// - a shipped file new since then is copied in; one the user removed stays removed; one the user
//   did not change is replaced by the newer version; one the user changed is kept;
// - effects new since then are appended to LINK2.INI, categories new since then to LINK1.INI (when
//   the user changed that file; an unchanged one is simply replaced), new skins to SINKNAME and new
//   templates to MAIN.INI, with their paths in the user's folder; an effect the user removed from
//   LINK2.INI is not brought back;
// - LINK2.INI and MAIN.INI are copied only into a folder that has none.
// The manifest is recorded last, so an upgrade cut short is done again, without duplicates, at the
// next start. Nothing is done when the manifests are equal.
// A manifest or record line that names a path leading out of its folder, or one with a part starting
// with "." (where the program keeps its own files: the record, the lock, the writers' temporaries), is
// refused and said, and so are files of the shipped library whose names start with "."; the rest is
// brought, and what was refused is not said again until the shipped manifest changes.
class LibraryUpgrade
{
public:
    // Where the program keeps its library: beside the executable when a library is there (the
    // build's folder, a copied folder); for an installed program, whose library lies read-only in
    // ../share/vellumo/library, the user's data folder, laid out and kept up to date from it.
    struct Place
    {
        QString applicationFolder; // ends with the separator
        QString shippedFolder; // empty when the application folder is not laid out from one
    };
    static Place placeFor(const FileSystem &files, const QString &executableFolder, const QString &userDataFolder);

    LibraryUpgrade(FileSystem &files, const QString &shippedFolder, const QString &userFolder);

    // The manifest's file name in the shipped library.
    static QString manifestName();
    // The manifest of a laid-out library: one line per file, "<sha1> <relative path>", sorted. Names
    // starting with "." are in no manifest; hidden gets the first such part of each path left out.
    // None, and why, when a folder of it cannot be read.
    static Explained<QByteArray> manifestOf(const FileSystem &files, const QString &folder, QStringList &hidden);

    bool isNeeded() const;
    // Raises the access errors of the index files; lines and files refused, then folders that cannot
    // be read or made and files that cannot be copied, are listed. Nothing is recorded as done while
    // any of those is left.
    QStringList run();

    QStringList addedFiles;
    QStringList addedCategories;
    QStringList addedEffects; // "category/effect"
    QStringList addedSkins;
    QStringList addedTemplates;

private:
    using Manifest = QMap<QString, QByteArray>;
    enum class Whose { Shipped, Record };
    // The lines that name a file inside the folder; every other line is said in refused.
    static Manifest parse(const QByteArray &manifest, Whose whose, QStringList &refused);
    // The manifest of the accepted lines, as it is recorded.
    static QByteArray textOf(const Manifest &manifest);
    QString recordFolder() const;
    // Written beside and renamed over, so a cut-off copy never replaces a good file.
    bool copyReplacing(const QString &from, const QString &to);
    void bringFiles(const Manifest &shipped, const Manifest &before, QStringList &refused, QStringList &problems);
    void mergeCategories(const Manifest &before);
    void mergeEffects();
    void registerSkinsAndTemplates(const Manifest &shipped, const Manifest &before);
    void record(const QByteArray &manifest, QStringList &problems);

    FileSystem &m_files;
    QString m_shipped;
    QString m_user;
    bool m_linkOneWasEdited = false;
};
