#pragma once

#include "pagecodec.h"

#include <QString>

class Dialogs;
class DocumentView;
class FileSystem;

// The page being edited and its file: New, Open, Save, Save As and the question on closing, with the
// page kept in the encoding and line breaks it was opened in. A save goes through a temporary file that replaces
// the old one, so a failed save leaves the old file as it was and the page still unsaved.
class Document
{
public:
    Document(DocumentView &view, Dialogs &dialogs, FileSystem &files, const QString &applicationFolder);

    static QString newCaption();
    static QByteArray defaultPage();
    // The start-up page: the default text, "新文件", nothing to save.
    void showDefaultPage();

    // New from a template: the same question as New, then the template's text in its own encoding,
    // as a page without a name.
    void newPageFrom(const QString &templatePath);
    void newPage();
    void openPage();
    void savePage();
    void savePageAs();
    // True when the window may close: nothing unsaved, the answer No, or a save that happened.
    bool confirmClose();

    // "TEM~~CHO.HTM" beside the document's file, or in the application folder for a new page.
    QString previewPath() const;
    // The folder of the page's file, with its slash; empty for a page without a name.
    QString pageFolder() const;
    // Writes the page to the preview file; "Cannot create file %s" when that fails.
    void writePreview();

    PageEncoding encoding() const { return m_encoding; }
    LineEnds lineEnds() const { return m_lineEnds; }

    static QString fileFilter();
    static QString notCleanMessage();

private:
    bool askToSave();
    // The save dialog, the overwrite question and the write; false when the page was not written.
    bool dialogSave(QString *chosen);
    void write(const QString &path);
    void load(const QString &path, bool detectEncoding);

    DocumentView &m_view;
    Dialogs &m_dialogs;
    FileSystem &m_files;
    QString m_applicationFolder;
    PageEncoding m_encoding = PageEncoding::Gb18030;
    LineEnds m_lineEnds = LineEnds::CrLf;
};
