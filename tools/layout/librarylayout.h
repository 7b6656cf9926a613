#pragma once

#include <QString>
#include <QStringList>

// Writes the library's source files into the shipped library: text files as GB18030 with CR LF line
// ends, everything else as it is, and the manifest that users' folders are brought up to date by.
class LibraryLayout
{
public:
    LibraryLayout(const QString &sourceFolder, const QString &applicationFolder);

    // Returns the problems met; an empty list when all went well.
    QStringList run();

    static bool isTextFile(const QString &relativePath);
    // UTF-8 source text as the application folder holds it.
    static QByteArray toAnsiText(const QByteArray &utf8);

    int written = 0;

private:
    QString m_source;
    QString m_target;
};
