#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// What an effect's preview may reach. An effect's code is a stranger's: its scratch page is served
// under a private address that answers only from the page's own scratch folder, every page there
// carries a policy that no code of its own comes before, and every other request is refused, with
// what was refused named for the preview's line.
class PreviewSandbox
{
public:
    // The private scheme and the one host the scratch folder is served under.
    static QString scheme();
    static QString host();
    // The address of a file of the scratch folder, by its name there.
    static QUrl address(const QString &name);
    // The file of folder that an address names; nothing when the address is not the scratch
    // folder's or its path is not a plain name inside it.
    static std::optional<QString> fileFor(const QUrl &url, const QString &folder);
    // Whether the file an address names is a page, shown in a frame and given the policy.
    static bool isPage(const QUrl &url);

    // The Content-Security-Policy of every scratch page: its own folder, inline code and nothing else.
    static QString policy();
    // The page with the policy placed before anything of its own that could load or run: after a
    // byte order mark, leading comments and the document type.
    static QByteArray withPolicy(const QByteArray &html);

    // What a request of the page is for.
    enum class Request {
        Page, // the main frame
        Frame,
        Script,
        Style,
        Image,
        Font,
        Media,
        Data, // XMLHttpRequest, fetch
        Worker,
        Plugin,
        Ping, // beacons, hyperlink pings, policy reports
        Prefetch,
        WebSocket,
        Other,
    };
    // Whether a request may go ahead: only to the scratch folder, never for code that would run
    // outside the page's policy (workers, plug-ins), and frames only for pages.
    static bool allows(Request kind, const QUrl &url);
    // How the preview's line names a refused request: what it was and where it led, without the
    // query that could carry what a page tried to send.
    static QString refusal(Request kind, const QUrl &url);
    // A refusal that the engine reported as a console message (its policy, its local-file rule);
    // nothing for any other message.
    static std::optional<QString> refusalInConsole(const QString &message);
};
