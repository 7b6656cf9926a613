#pragma once

#include <QObject>

#include <functional>

class Document;
class QMenu;

// The commands over the page's encoding and line breaks: reopening the page's file in another
// encoding (in the File menu) and converting its line breaks (in the Edit menu). Each runs as the
// window's other page commands do.
class EncodingMenus : public QObject
{
    Q_OBJECT
public:
    using PageCommand = std::function<void(const std::function<void()> &)>;
    EncodingMenus(Document &document, QMenu *fileMenu, QMenu *editMenu, PageCommand pageCommand, QObject *parent);

private:
    void showReopenChoices();
    void showLineEndChoices();

    Document &m_document;
    PageCommand m_pageCommand;
    QMenu *m_reopenMenu;
    QMenu *m_lineEndsMenu;
};
