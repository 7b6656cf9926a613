#pragma once

#include "dialogs.h"

class QWidget;

// The standard boxes and file dialogs of Qt.
class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
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
    QWidget *m_parent;
};
