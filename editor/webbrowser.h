#pragma once

#include "browserview.h"

#include <QWidget>

class QWebEngineProfile;
class QWebEngineView;

// A browser on Qt WebEngine: for the preview tab a local file by its path or any address typed; for an
// effect's preview its scratch page only, in a profile that keeps nothing on disk.
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
    void evaluate(const QString &script, std::function<void(const QVariant &result)> done) override;

    QWebEngineView *view() const { return m_view; }

private:
    void showProblemPages();

    QWebEngineProfile *m_profile = nullptr;
    QWebEngineView *m_view;
    std::function<void(bool)> m_loadFinished;
};
