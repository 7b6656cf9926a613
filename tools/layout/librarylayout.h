#pragma once

#include <QString>
#include <QStringList>

// Writes the library's source files into an application folder: text files as GB18030 with CR LF
// line ends, everything else as it is. Files the user changes there are written only when missing;
// a skin registry or MAIN.INI written afresh registers the shipped skins and templates in them.
class LibraryLayout
{
public:
    LibraryLayout(const QString &sourceFolder, const QString &applicationFolder);

    // Returns the problems met; an empty list when all went well.
    QStringList run();

    static bool isTextFile(const QString &relativePath);
    static bool belongsToUser(const QString &relativePath);
    // UTF-8 source text as the application folder holds it.
    static QByteArray toAnsiText(const QByteArray &utf8);

    int written = 0;

private:
    void registerShippedSkins(QStringList &problems);
    void registerShippedTemplates(QStringList &problems);

    QString m_source;
    QString m_target;
};
