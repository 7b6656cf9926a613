#pragma once

#include "browserview.h"

#include <QWidget>

class EffectPreviewPage;
class QWebEngineProfile;
class QWebEngineView;
class ScratchSchemeHandler;

// A browser on Qt WebEngine: for the preview tab a local file by its path or any address typed; for an
// effect's preview its scratch page only, in a sandboxed profile that keeps nothing on disk.
class WebBrowser : public QWidget, public BrowserView
{
    Q_OBJECT
public:
    explicit WebBrowser(QWidget *parent = nullptr, Purpose purpose = Purpose::PagePreview);
    ~WebBrowser() override;

    QWidget *widget() override { return this; }
    void navigate(const QString &pathOrAddress) override;
    void setDefaultTextEncoding(const QString &encoding) override;
    void setZoomFactor(qreal zoom) override;
    void onLoadFinished(std::function<void(bool loaded)> handler) override;
    void onScriptError(std::function<void(const QString &message, int line, const QString &source)> handler) override;
    void onRefused(std::function<void(const QString &what)> handler) override;
    void onEnded(std::function<void(const QString &why)> handler) override;
    void evaluate(const QString &script, std::function<void(const QVariant &result)> done) override;

    QWebEngineView *view() const { return m_view; }

    // Readies the engine before its first page: the sandbox's private address and the engine's
    // process-wide switches. Nothing of the engine may have started before.
    static void prepareEngine();

private:
    void showProblemPages();
    void makeSandbox();

    QWebEngineProfile *m_profile = nullptr;
    QWebEngineView *m_view;
    EffectPreviewPage *m_sandboxedPage = nullptr;
    ScratchSchemeHandler *m_scratch = nullptr;
    std::function<void(bool)> m_loadFinished;
    std::function<void(const QString &)> m_refused;
    std::function<void(const QString &)> m_ended;
    QString m_endedBecause; // why the watchdog ended the page's process, until the engine tells it is gone
};
