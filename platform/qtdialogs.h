#pragma once

#include "dialogfolders.h"
#include "dialogs.h"

#include <functional>

class QWidget;

// The standard boxes and file dialogs of Qt. Boxes carry the title given; pictures are chosen in the
// dialog that the opener shows (the program's own, with its preview). File dialogs open where the
// user works (see DialogFolders).
class QtDialogs : public Dialogs
{
public:
    using PictureOpener = std::function<std::optional<QString>(
        QWidget *parent, const QString &caption, const QString &folder, const QString &qtFilter)>;
    QtDialogs(QString title, PictureOpener openPicture, QWidget *parent = nullptr);
    void setParent(QWidget *parent) { m_parent = parent; }
    DialogFolders &folders() { return m_folders; }

    void message(const QString &text) override;
    Answer ask(const QString &caption, const QString &text, MessageIcon icon) override;
    void error(const QString &text) override;
    void notice(const QString &caption, const QString &text, MessageIcon icon) override;
    std::optional<QString> openFile(const FileDialogRequest &request) override;
    std::optional<SaveAnswer> saveFile(const FileDialogRequest &request) override;
    std::optional<QString> browseFolder(const QString &caption) override;
    std::optional<QString> openPicture(const FileDialogRequest &request) override;
    std::optional<QString> pickColour(const QString &initial) override;

    // "Text (*.htm)|*.htm|All|*.*" as Qt's ";;"-separated filter list.
    static QString qtFilter(const QString &filter);
    // A box's text as the system's boxes show it: a lone CR breaks the line too.
    static QString shownText(const QString &text);

private:
    QString m_title;
    PictureOpener m_openPicture;
    // The window a dialog belongs to: the modal window the user works in, or the main window.
    QWidget *owner() const;
    QWidget *m_parent;
    DialogFolders m_folders;
};
