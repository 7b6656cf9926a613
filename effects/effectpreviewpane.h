#pragma once

#include "previewassembly.h"
#include "previewfolder.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class BrowserView;
class FileSystem;
class QLabel;
class QStackedLayout;

// A live preview of an effect: its code on a scratch page in a private folder, shown in a sandboxed
// browser, with what the sandbox refused and the page's script errors in a line under it. The page follows each change
// at once; changes that come while a page is loading are shown together when it has loaded, so typing never queues up
// pages. The browser engine starts only when the preview is first started.
class EffectPreviewPane : public QWidget
{
    Q_OBJECT
public:
    EffectPreviewPane(FileSystem &files, const QString &applicationFolder, QWidget *parent = nullptr);
    ~EffectPreviewPane() override;

    // The folder whose new-page text the effect's code is pasted into.
    void setApplicationFolder(const QString &folder) { m_applicationFolder = folder; }
    // A small preview shows the page smaller, so more of the effect fits.
    void setZoomFactor(qreal zoom) { m_zoom = zoom; }
    // What to show: called for each page; a run-time error it raises is shown in the line.
    void setSource(std::function<PreviewContent()> source);
    // Starts the browser engine when it has not started, then shows the source.
    void start();
    bool started() const { return m_browser != nullptr; }
    // The source changed.
    void refresh();
    // Shows nothing, and says so in the line.
    void showNothing(const QString &line);
    // Removes the scratch folder and all in it.
    void discard();

    QString folder() const { return m_folder.path(); }
    QString line() const;
    // Everything said about the page shown: what was refused, then its script errors, one a line.
    QString fullLine() const;
    // Runs a script in the page shown (the tests read the page back with it).
    void evaluate(const QString &script, std::function<void(const QVariant &)> done);

signals:
    // The latest source (or the reason it cannot be shown) is on the page.
    void pageShown();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elideLine();
    void update();
    void loaded(bool ok);
    void show(const Explained<QString> &page, const QString &line, bool problem, const QString &key);
    void showLine(const QString &text, bool problem, const QString &whole = QString());
    void scriptError(const QString &message, int line);
    void refused(const QString &what);
    void ended(const QString &why);
    void showProblems();

    FileSystem &m_files;
    QString m_applicationFolder;
    std::function<PreviewContent()> m_source;
    PreviewFolder m_folder;
    BrowserView *m_browser = nullptr;
    QStackedLayout *m_stack;
    QLabel *m_waiting;
    QLabel *m_line;
    QTimer m_next;
    QTimer m_slowLoad;
    QElapsedTimer m_loadingSince;
    bool m_loading = false;
    bool m_changed = false;
    // The code and files last shown, so an unchanged page is not loaded again; none before the first
    // page and after a problem (an effect whose code is empty is still shown once).
    std::optional<QString> m_shownKey;
    QString m_lineAfterLoad;
    bool m_problemAfterLoad = false;
    QStringList m_scriptErrors; // the first ones, named in the line's tooltip
    QStringList m_refusals; // the first ones, each once
    qsizetype m_moreScriptErrors = 0;
    qsizetype m_moreRefusals = 0;
    QSet<QString> m_refusalsSeen;
    QString m_lineText;
    qreal m_zoom = 1.0;
};
