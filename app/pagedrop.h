#pragma once

#include <QObject>

#include <functional>

class Dialogs;
class QDropEvent;
class QMimeData;
class QWidget;

// A page file dragged from a file manager onto the window or the editor opens, as Open does; any
// other file is refused with the reason. The editor would otherwise insert the dropped file's path
// as text, so its drops of files are taken before it sees them; dropped text still goes to it.
class PageDrop : public QObject
{
    Q_OBJECT
public:
    using Open = std::function<void(const QString &path)>;
    // targets: the widgets a page may be dropped on (the window, the editor and its viewport).
    PageDrop(Dialogs &dialogs, const QList<QWidget *> &targets, Open open, QObject *parent);

    // The local files among the dragged data; empty when it carries no file.
    static QStringList files(const QMimeData *data);
    static bool isPage(const QString &path);
    static QString notPageMessage(const QString &path);
    static QString onlyOneMessage();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void drop(const QStringList &paths);

    Dialogs &m_dialogs;
    Open m_open;
};
