#include "previewrequestguard.h"

#include "effects/previewsandbox.h"

namespace {
PreviewSandbox::Request requestKind(QWebEngineUrlRequestInfo::ResourceType type)
{
    using Info = QWebEngineUrlRequestInfo;
    using Request = PreviewSandbox::Request;
    switch (type) {
    case Info::ResourceTypeMainFrame:
    case Info::ResourceTypeNavigationPreloadMainFrame:
        return Request::Page;
    case Info::ResourceTypeSubFrame:
    case Info::ResourceTypeNavigationPreloadSubFrame:
        return Request::Frame;
    case Info::ResourceTypeStylesheet:
        return Request::Style;
    case Info::ResourceTypeScript:
        return Request::Script;
    case Info::ResourceTypeImage:
    case Info::ResourceTypeFavicon:
        return Request::Image;
    case Info::ResourceTypeFontResource:
        return Request::Font;
    case Info::ResourceTypeMedia:
        return Request::Media;
    case Info::ResourceTypeXhr:
        return Request::Data;
    case Info::ResourceTypeObject:
    case Info::ResourceTypePluginResource:
        return Request::Plugin;
    case Info::ResourceTypeWorker:
    case Info::ResourceTypeSharedWorker:
    case Info::ResourceTypeServiceWorker:
        return Request::Worker;
    case Info::ResourceTypePing:
    case Info::ResourceTypeCspReport:
        return Request::Ping;
    case Info::ResourceTypePrefetch:
        return Request::Prefetch;
    case Info::ResourceTypeWebSocket:
        return Request::WebSocket;
    default:
        return Request::Other;
    }
}
}

PreviewRequestGuard::PreviewRequestGuard(std::function<void(const QString &what)> refused, QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent)
    , m_refused(std::move(refused))
{
}

void PreviewRequestGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const PreviewSandbox::Request kind = requestKind(info.resourceType());
    if (PreviewSandbox::allows(kind, info.requestUrl()))
        return;
    info.block(true);
    if (m_refused)
        m_refused(PreviewSandbox::refusal(kind, info.requestUrl()));
}
