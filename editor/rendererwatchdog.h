#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QWebEnginePage;

// Ends the render process of a page that stops answering or grows without bound: an effect's endless
// loop would keep a core busy for good, and a page that writes itself without end would take the
// machine's memory. The window never waits for it; it asks the page four times a second.
class RendererWatchdog : public QObject
{
    Q_OBJECT
public:
    RendererWatchdog(QWebEnginePage *page, std::function<void(const QString &why)> ended);

    static QString unansweredMessage();
    static QString tooLargeMessage();

private:
    void check();
    void end(qint64 pid, const QString &why);

    QWebEnginePage *m_page;
    std::function<void(const QString &)> m_ended;
    QTimer m_timer;
    QElapsedTimer m_askedSince; // the first question not answered yet
    bool m_asked = false;
    qint64 m_endedPid = 0; // a process ended here is not asked again, nor its number reused
};
