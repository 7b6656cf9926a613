#include "previewsandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace {
// Longest address the line shows of a refused request; the rest is in no one's interest.
constexpr qsizetype LongestShownAddress = 80;

bool isOurs(const QUrl &url)
{
    return url.scheme() == PreviewSandbox::scheme() && url.host() == PreviewSandbox::host();
}

bool isLocalData(const QUrl &url)
{
    return url.scheme() == u"data"_s || url.scheme() == u"blob"_s;
}

QString shown(const QUrl &url)
{
    QString text = url.isLocalFile()
        ? url.toLocalFile()
        : url.toString(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo | QUrl::RemovePassword);
    if (text.size() > LongestShownAddress)
        text = text.left(LongestShownAddress - 1) + u'…';
    return text;
}

QString kindName(PreviewSandbox::Request kind)
{
    using Request = PreviewSandbox::Request;
    switch (kind) {
    case Request::Page:
        return u"跳转到"_s;
    case Request::Frame:
        return u"框架"_s;
    case Request::Script:
        return u"脚本"_s;
    case Request::Style:
        return u"样式表"_s;
    case Request::Image:
        return u"图片"_s;
    case Request::Font:
        return u"字体"_s;
    case Request::Media:
        return u"音视频"_s;
    case Request::Data:
        return u"数据请求"_s;
    case Request::Worker:
        return u"后台脚本"_s;
    case Request::Plugin:
        return u"插件"_s;
    case Request::Ping:
        return u"发送数据"_s;
    case Request::Prefetch:
        return u"预先载入"_s;
    case Request::WebSocket:
        return u"WebSocket"_s;
    case Request::Other:
        break;
    }
    return u"请求"_s;
}

// Where the policy goes: past a byte order mark, white space, comments and the document type, so the
// page keeps its mode and nothing of it comes first. Bytes of any encoding that keeps ASCII as ASCII.
qsizetype policyPlace(const QByteArray &html)
{
    qsizetype at = html.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (;;) {
        while (at < html.size() && QByteArrayView(" \t\r\n\f").contains(html[at]))
            ++at;
        if (html.mid(at, 4) == "<!--") {
            const qsizetype end = html.indexOf("-->", at + 4);
            if (end < 0)
                return at;
            at = end + 3;
            continue;
        }
        if (html.mid(at, 9).compare("<!doctype", Qt::CaseInsensitive) == 0 || html.mid(at, 2) == "<?") {
            const qsizetype end = html.indexOf('>', at);
            if (end < 0)
                return at;
            at = end + 1;
            continue;
        }
        return at;
    }
}
}

QString PreviewSandbox::scheme()
{
    return u"vellumo-preview"_s;
}

QString PreviewSandbox::host()
{
    return u"effect"_s;
}

QUrl PreviewSandbox::address(const QString &name)
{
    QUrl url;
    url.setScheme(scheme());
    url.setHost(host());
    url.setPath(u'/' + name);
    return url;
}

std::optional<QString> PreviewSandbox::fileFor(const QUrl &url, const QString &folder)
{
    if (!isOurs(url) || folder.isEmpty() || url.port() != -1 || !url.userInfo().isEmpty())
        return std::nullopt;
    const QString path = url.path(QUrl::FullyDecoded);
    if (!path.startsWith(u'/'))
        return std::nullopt;
    const QStringList names = path.mid(1).split(u'/');
    for (const QString &name : names)
        if (name.isEmpty() || name == u"."_s || name == u".."_s || name.contains(u'\\') || name.contains(QChar(0)))
            return std::nullopt;
    return (folder.endsWith(u'/') ? folder : folder + u'/') + names.join(u'/');
}

bool PreviewSandbox::isPage(const QUrl &url)
{
    const QString path = url.path();
    return path.endsWith(u".htm"_s, Qt::CaseInsensitive) || path.endsWith(u".html"_s, Qt::CaseInsensitive);
}

QString PreviewSandbox::policy()
{
    return u"default-src 'self'; script-src 'self' 'unsafe-inline' 'unsafe-eval'; "
           "style-src 'self' 'unsafe-inline'; img-src 'self' data: blob:; font-src 'self' data:; "
           "media-src 'self' data: blob:; connect-src 'self'; frame-src 'self'; child-src 'self'; "
           "worker-src 'none'; object-src 'none'; manifest-src 'none'; form-action 'none'; base-uri 'none'"_s;
}

QByteArray PreviewSandbox::withPolicy(const QByteArray &html)
{
    const QString meta = u"<meta http-equiv=\"Content-Security-Policy\" content=\""_s + policy() + u"\">"_s;
    // A page in UTF-16 gets the policy in its own encoding, and keeps its byte order mark.
    for (const auto encoding : { QStringConverter::Utf16LE, QStringConverter::Utf16BE }) {
        if (!html.startsWith(encoding == QStringConverter::Utf16LE ? "\xFF\xFE" : "\xFE\xFF"))
            continue;
        QByteArray text = QString(QStringDecoder(encoding)(html)).toUtf8();
        text.insert(policyPlace(text), meta.toLatin1());
        return QStringEncoder(encoding, QStringEncoder::Flag::WriteBom)(QString::fromUtf8(text)).operator QByteArray();
    }
    QByteArray page = html;
    page.insert(policyPlace(html), meta.toLatin1());
    return page;
}

bool PreviewSandbox::allows(Request kind, const QUrl &url)
{
    if (isLocalData(url))
        return kind == Request::Image || kind == Request::Font || kind == Request::Media || kind == Request::Data;
    if (kind == Request::Frame && (url.toString() == u"about:blank"_s || url.toString() == u"about:srcdoc"_s))
        return true;
    if (!isOurs(url))
        return false;
    switch (kind) {
    case Request::Page:
    case Request::Frame:
        return isPage(url);
    case Request::Worker:
    case Request::Plugin:
    case Request::Ping:
    case Request::Prefetch:
    case Request::WebSocket:
        return false;
    default:
        return true;
    }
}

QString PreviewSandbox::refusal(Request kind, const QUrl &url)
{
    if (url.isLocalFile())
        return u"读取本机文件 "_s + shown(url);
    return kindName(kind) + u' ' + shown(url);
}

std::optional<QString> PreviewSandbox::refusalInConsole(const QString &message)
{
    static const QString localResource = u"Not allowed to load local resource: "_s;
    if (message.startsWith(localResource))
        return refusal(Request::Other, QUrl(message.mid(localResource.size()).trimmed()));
    // "Refused to <what> '<address>' because it violates the following Content Security Policy ..."
    // or "... violates the document's Content Security Policy."
    static const QRegularExpression policy(
        u"^Refused to (.*?) ?'([^']*)'.* because it violates the [^.]*Content Security Policy"_s);
    const QRegularExpressionMatch match = policy.match(message);
    if (!match.hasMatch())
        return std::nullopt;
    const QString what = match.captured(1);
    const Request kind = what.contains(u"connect"_s)
        ? (match.captured(2).startsWith(u"ws"_s) ? Request::WebSocket : Request::Data)
        : what.contains(u"frame"_s)                                ? Request::Frame
        : what.contains(u"form"_s)                                 ? Request::Page
        : what.contains(u"worker"_s)                               ? Request::Worker
        : what.contains(u"script"_s)                               ? Request::Script
        : what.contains(u"stylesheet"_s)                           ? Request::Style
        : what.contains(u"image"_s)                                ? Request::Image
        : what.contains(u"font"_s)                                 ? Request::Font
        : what.contains(u"media"_s)                                ? Request::Media
        : what.contains(u"plugin"_s) || what.contains(u"object"_s) ? Request::Plugin
                                                                   : Request::Other;
    return refusal(kind, QUrl(match.captured(2)));
}
