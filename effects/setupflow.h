#pragma once

#include "platform/explained.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class DefinitionFile;
class FileSystem;
class SnippetSink;

// What a setup window holds for its lifetime: the counts as read, the file lists, the size counter.
struct SetupState
{
    bool opened = false; // the definition file was there at opening
    QString imageCount; // imgfilet as read, "0" for empty
    QString textCount; // txtfilet as read, "0" for empty
    QStringList images; // full paths: the effect's own images, then the ones the user added
    QStringList textFiles; // full paths of the effect's text files
    QStringList outside; // listed paths whose names lead out of the category folder: never copied
    QString hint; // hbu
    int sizeCounter = 0; // szwc at opening, then one more per size pair set
    QString status; // the status line
};

// The steps the three setup windows share: opening, adding images, copying the effect's files and
// walking the step list.
class SetupFlow
{
public:
    SetupFlow(FileSystem &files, const DefinitionFile &definition);

    // Fills state step by step; a count that is no number raises the conversion error and leaves what
    // was read so far. skipImageNames: the menu window's "x" count lists no images.
    void open(SetupState &state, bool skipImageNames = false) const;
    // Fewer images listed than the effect needs.
    static bool canAddImage(const SetupState &state);

    // The chosen folder with the separator at its end, never doubled.
    static QString destinationFolder(const QString &chosen);
    // A file the copy step places beside the page: where it is read from, and its name there.
    struct FileToCopy
    {
        QString source;
        QString name;
    };
    // The listed images, then the text files, that lie inside the category folder; named as the
    // definition file writes them, found whatever the letter case on disk.
    QList<FileToCopy> filesToCopy(const SetupState &state) const;
    // Copies them into the folder; existing files are never overwritten and a failed copy is skipped
    // silently. Returns the number of files copied.
    int copyFiles(const SetupState &state, const QString &destination) const;

    // The menu and text windows ask for a folder only when there is a file to copy.
    static bool hasFilesToCopy(const SetupState &state);

    // Reads [abcd] total and offers each step token, in order, to the window's element kinds.
    void walkSteps(const std::function<void(const QString &token)> &offer) const;
    // Builds one row from the [list] template: for each row token (and its place i, from 1) the
    // window's element gives the row's next text, appended raw. A token that names no element gives
    // nothing, so no earlier text is ever repeated.
    void buildRow(SnippetSink &rows, const std::function<QString(const QString &token, int i)> &element) const;
    // The text of piece token fno + j for j in 1..ft, when its file exists; none for another token or
    // a missing file. ft is read (and converted) at each call, whatever the token.
    Explained<QString> piece(const QString &token) const;

    static QString fileNameOf(const QString &path);
    static QString statusLine(const QString &images, const QString &texts, const QString &hint);
    static QString completeMessage();
    // The picture dialog's filter of the image and menu windows.
    static QString pictureFilter();

private:
    FileSystem &m_files;
    const DefinitionFile &m_definition;
};
