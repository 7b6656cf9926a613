#pragma once

#include "outsidechanges.h"
#include "pagecodec.h"
#include "platform/explained.h"
#include "platform/filesystem.h"
#include "recoverycopy.h"

#include <QString>

#include <functional>
#include <optional>

class Dialogs;
class DocumentView;
class FileSystem;
class RecoveryFolder;

// The page being edited and its file: New, Open, Save, Save As and the question on closing, with the
// page kept in the encoding it was opened in and each line with the break it was read with. A change of
// the page's charset declaration changes the encoding it is saved in; a save that would lose characters
// asks first. A save goes through a temporary file that replaces the old one, so a failed save leaves
// the old file as it was and the page still unsaved.
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
    // Open without the file dialog: the save question, then the page at path.
    void openPageAt(const QString &path);
    void savePage();
    void savePageAs();
    // True when the window may close: nothing unsaved, the answer No, or a save that happened.
    bool confirmClose();
    // When the user comes back from another program: a change to the page's file is said, and the page
    // loaded again from it if the user wants.
    void checkFileOnDisk();

    // "TEM~~CHO.HTM" beside the document's file, or in the application folder for a new page.
    QString previewPath() const;
    // The folder of the page's file, with its slash; empty for a page without a name.
    QString pageFolder() const;
    // Writes the page to the preview file; "Cannot create file %s" when that fails.
    void writePreview();
    // The preview file goes once it is no longer shown (the preview left, another page, exit), so that
    // it is not uploaded with the site; only while it is still the file written here.
    void removePreview();

    // The page as its recovery copy keeps it, its text made in `reuse` when that has the room; nothing
    // while it has no unsaved changes.
    std::optional<RecoveryCopy> recoverySnapshot(QByteArray reuse = {});
    // The text of a recovery copy becomes the page, under the copy's name, unsaved.
    void restore(const RecoveryCopy &copy);
    // Where other running programs keep their copies: opening a page one of them has unsaved
    // changes of is said first.
    void setRecoveryFolder(const RecoveryFolder *folder) { m_recovery = folder; }
    // Told when the user throws the page's unsaved changes away (No to the save question).
    void setChangesDiscarded(std::function<void()> discarded) { m_changesDiscarded = std::move(discarded); }
    static QString liveCopyQuestion(const QString &path, const QDateTime &written);

    PageEncoding encoding() const { return m_encoding; }
    // The break new lines get; whether the page's lines end in more than one kind.
    LineEnds lineEnds() const { return m_lineEnds; }
    bool mixedLineEnds() const { return m_mixedLineEnds; }
    // As the status line shows them: "GB18030 · CR LF", "UTF-8 BOM · LF（混合）" (mixed, new lines LF).
    QString formatText() const;
    // Told when the encoding or the line ends change: a page loaded, saved, reopened or converted.
    void setFormatChanged(std::function<void()> changed) { m_formatChanged = std::move(changed); }
    // The page's file read again in the encoding the user chose, after the save question when the page
    // has changes. The page keeps that encoding.
    void reopenIn(const PageEncoding &encoding);
    // Every line of the page gets the break `ends`, an edit that can be undone.
    void convertLineEnds(LineEnds ends);

    static QString fileFilter();
    static QString notCleanMessage();
    static QString tooLargeMessage(const QString &path, qint64 capacity);
    static QString readOnlyQuestion();
    static QString beyondDeclarationQuestion(const QString &label, const PageCodec::Unheld &characters);
    static QString unheldQuestion(const PageEncoding &encoding, const PageCodec::Unheld &characters, bool declared);
    static QString replacementQuestion();

private:
    // Before the page makes way for another, or the window closes: the save question if the page has
    // changes. True to go on (saved, or the answer No); false to go back (dismissed, or not saved).
    bool mayLeavePage();
    // The save dialog (filled with suggestedName), the overwrite question and the write: the path
    // written, or none when the page was not written.
    Explained<QString> dialogSave(const QString &suggestedName = QString());
    // A page's file that lets nobody write it is overwritten only after a question, even where this
    // process could (as root); false on No.
    bool mayOverwrite(const QString &path);
    // The page as it is saved: in `encoding`, or the one its changed charset declaration names
    // (unless the user just chose one), after the questions about characters it would lose or show
    // wrong; nothing when the page is not to be saved.
    struct Written
    {
        PageEncoding encoding;
        QByteArray bytes;
    };
    std::optional<Written> bytesToWrite(PageEncoding encoding, bool chosen);
    // The encoding a save writes unless the user chooses one: the page's own, or the one its
    // changed charset declaration names.
    PageEncoding declaredEncoding();
    // The page's declaration made to name `label`, when it has one.
    void declare(const QString &label);
    // A save of the page itself in `encoding`, which also clears what killed saves left in its folder.
    void writePage(const QString &path, const Written &page);
    // The page's charset declaration as it is on disk: what a save follows once the user changes it.
    void rememberDeclaration();
    void formatChanged();
    enum class Source { NewPage, Template, Page };
    // The file becomes the page only once it was read whole and unchanged; false when the user was told
    // why it was not loaded. A failed load, told or thrown, leaves the previous page as it was. A page
    // is read in `encoding`, or in the one its bytes tell; a loaded page takes `caption`, if given,
    // before anything is said about it.
    bool load(const QString &path, Source source, std::optional<PageEncoding> encoding = std::nullopt,
        const QString &caption = QString());
    // The page chosen to open, once the current one may make way.
    void openChosen(const QString &path);

    DocumentView &m_view;
    Dialogs &m_dialogs;
    FileSystem &m_files;
    QString m_applicationFolder;
    PageEncoding m_encoding = PageEncoding::Gb18030;
    LineEnds m_lineEnds = LineEnds::CrLf;
    bool m_mixedLineEnds = false;
    QString m_declaredOnDisk; // the charset label, lower case; empty for none
    bool m_readDamaged = false; // replacement characters stand for bytes that did not decode
    std::function<void()> m_formatChanged;
    // The preview file last written and how it was then.
    QString m_previewPath;
    FileStamp m_previewStamp;
    const RecoveryFolder *m_recovery = nullptr;
    std::function<void()> m_changesDiscarded;
    OutsideChanges m_outsideChanges;
};
