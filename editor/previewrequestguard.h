#pragma once

#include <QWebEngineUrlRequestInterceptor>

#include <functional>

// Refuses every request of an effect preview that the sandbox does not allow, before it leaves the
// engine, and tells what it refused.
class PreviewRequestGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    explicit PreviewRequestGuard(std::function<void(const QString &what)> refused, QObject *parent = nullptr);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    std::function<void(const QString &)> m_refused;
};
