#pragma once

#include "browserview.h"

#include <QWidget>

class QWebEngineView;

// The browser of the preview tab on Qt WebEngine: shows a local file by its path or any address typed.
class WebBrowser : public QWidget, public BrowserView
{
    Q_OBJECT
public:
    explicit WebBrowser(QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void navigate(const QString &pathOrAddress) override;
    void setDefaultTextEncoding(const QString &encoding) override;

    QWebEngineView *view() const { return m_view; }

private:
    QWebEngineView *m_view;
};
