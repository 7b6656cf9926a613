#pragma once

#include "dialogs.h"

#include <functional>

class QWidget;

// The standard boxes and file dialogs of Qt. Boxes carry the title given; pictures are chosen in the
// dialog that the opener shows (the program's own, with its preview).
class QtDialogs : public Dialogs
{
public:
    using PictureOpener
        = std::function<std::optional<QString>(QWidget *parent, const QString &caption, const QString &qtFilter)>;
    QtDialogs(QString title, PictureOpener openPicture, QWidget *parent = nullptr)
        : m_title(std::move(title))
        , m_openPicture(std::move(openPicture))
        , m_parent(parent)
    {
    }
    void setParent(QWidget *parent) { m_parent = parent; }

    void message(const QString &text) override;
    bool question(const QString &caption, const QString &text, MessageIcon icon) override;
    void error(const QString &text) override;
    void notice(const QString &caption, const QString &text, MessageIcon icon) override;
    std::optional<QString> openFile(const FileDialogRequest &request) override;
    std::optional<QString> saveFile(const FileDialogRequest &request) override;
    std::optional<QString> browseFolder(const QString &caption) override;
    std::optional<QString> openPicture(const FileDialogRequest &request) override;
    std::optional<QString> pickColour(const QString &initial) override;

    // "Text (*.htm)|*.htm|All|*.*" as Qt's ";;"-separated filter list.
    static QString qtFilter(const QString &filter);

private:
    QString m_title;
    PictureOpener m_openPicture;
    QWidget *m_parent;
};
