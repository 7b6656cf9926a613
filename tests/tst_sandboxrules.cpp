// What an effect's preview may reach, decided without a browser: the file a private address names,
// where a page's policy goes, which requests go ahead, and how a refusal is named.
#include "effects/previewsandbox.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(PreviewSandbox::Request)

namespace {
const QByteArray Meta
    = "<meta http-equiv=\"Content-Security-Policy\" content=\"" + PreviewSandbox::policy().toLatin1() + "\">";
}

class TestSandboxRules : public QObject
{
    Q_OBJECT

private slots:
    void anAddressNamesAFileOfItsFolderOnly_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("file"); // empty: none
        QTest::newRow("page") << u"vellumo-preview://effect/preview.htm"_s << u"/scratch/preview.htm"_s;
        QTest::newRow("sub-folder, escaped")
            << u"vellumo-preview://effect/img/a%20b.gif"_s << u"/scratch/img/a b.gif"_s;
        QTest::newRow("query is not the name") << u"vellumo-preview://effect/fx.js?v=2"_s << u"/scratch/fx.js"_s;
        QTest::newRow("escaped parent") << u"vellumo-preview://effect/%2e%2e/secret.txt"_s << QString();
        QTest::newRow("parent inside") << u"vellumo-preview://effect/a/%2E%2E/%2E%2E/x"_s << QString();
        QTest::newRow("empty name") << u"vellumo-preview://effect//etc/passwd"_s << QString();
        QTest::newRow("backslash") << u"vellumo-preview://effect/a%5C..%5Cx"_s << QString();
        QTest::newRow("folder itself") << u"vellumo-preview://effect/"_s << QString();
        QTest::newRow("other host") << u"vellumo-preview://other/preview.htm"_s << QString();
        QTest::newRow("port") << u"vellumo-preview://effect:81/preview.htm"_s << QString();
        QTest::newRow("local file") << u"file:///scratch/preview.htm"_s << QString();
        QTest::newRow("web") << u"http://effect/preview.htm"_s << QString();
    }

    void anAddressNamesAFileOfItsFolderOnly()
    {
        QFETCH(QString, address);
        QFETCH(QString, file);
        const std::optional<QString> found = PreviewSandbox::fileFor(QUrl(address), u"/scratch/"_s);
        QCOMPARE(found.value_or(QString()), file);
    }

    void theAddressOfAFileLeadsBackToIt()
    {
        const QUrl url = PreviewSandbox::address(u"示例 1.jpg"_s);
        QCOMPARE(PreviewSandbox::fileFor(QUrl(url.toString(QUrl::FullyEncoded)), u"/scratch"_s).value_or(QString()),
            u"/scratch/示例 1.jpg"_s);
    }

    void thePolicyComesBeforeAnythingOfThePage_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after"); // the page as it is, with | where the policy goes
        QTest::newRow("document type") << QByteArray("<!DOCTYPE html>\r\n<html>")
                                       << QByteArray("<!DOCTYPE html>\r\n|<html>");
        QTest::newRow("no document type")
            << QByteArray("<html><script>x()</script>") << QByteArray("|<html><script>x()</script>");
        QTest::newRow("comments and spaces first")
            << QByteArray(" <!-- a -->\n<!doctype html><p>") << QByteArray(" <!-- a -->\n<!doctype html>|<p>");
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF<!DOCTYPE html>x")
                                         << QByteArray("\xEF\xBB\xBF<!DOCTYPE html>|x");
        QTest::newRow("comment never closed") << QByteArray("<!-- <script>") << QByteArray("|<!-- <script>");
        QTest::newRow("script in a comment's place") << QByteArray("<!-- x --><script>y()</script><!-- z -->")
                                                     << QByteArray("<!-- x -->|<script>y()</script><!-- z -->");
        QTest::newRow("empty") << QByteArray() << QByteArray("|");
        QTest::newRow("GB18030 text") << QByteArray("<!DOCTYPE html><title>\xD6\xD0</title>")
                                      << QByteArray("<!DOCTYPE html>|<title>\xD6\xD0</title>");
    }

    void thePolicyComesBeforeAnythingOfThePage()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QCOMPARE(PreviewSandbox::withPolicy(before), after.replace("|", Meta));
    }

    void aUtf16PageGetsThePolicyInItsOwnEncoding_data()
    {
        QTest::addColumn<int>("encoding");
        QTest::newRow("little end first") << int(QStringConverter::Utf16LE);
        QTest::newRow("big end first") << int(QStringConverter::Utf16BE);
    }

    void aUtf16PageGetsThePolicyInItsOwnEncoding()
    {
        QFETCH(int, encoding);
        const auto converter = QStringConverter::Encoding(encoding);
        const QByteArray page
            = QStringEncoder(converter, QStringEncoder::Flag::WriteBom)(u"<!DOCTYPE html><p>页</p>"_s);
        const QByteArray guarded = PreviewSandbox::withPolicy(page);
        QCOMPARE(guarded.left(2), page.left(2));
        QCOMPARE(QString(QStringDecoder(converter)(guarded)),
            u"<!DOCTYPE html>"_s + QString::fromLatin1(Meta) + u"<p>页</p>"_s);
    }

    void onlyTheScratchFolderIsReached_data()
    {
        using Request = PreviewSandbox::Request;
        QTest::addColumn<Request>("kind");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("allowed");
        const QString own = u"vellumo-preview://effect/"_s;
        QTest::newRow("the page") << Request::Page << own + u"preview.htm"_s << true;
        QTest::newRow("its script") << Request::Script << own + u"fx.js"_s << true;
        QTest::newRow("its picture") << Request::Image << own + u"a.gif"_s << true;
        QTest::newRow("its data") << Request::Data << own + u"news.xml"_s << true;
        QTest::newRow("its page in a frame") << Request::Frame << own + u"inner.HTML"_s << true;
        QTest::newRow("a blank frame") << Request::Frame << u"about:blank"_s << true;
        QTest::newRow("an inline picture") << Request::Image << u"data:image/gif;base64,R0lG"_s << true;
        QTest::newRow("a drawing as a frame") << Request::Frame << own + u"x.svg"_s << false;
        QTest::newRow("a script as the page") << Request::Page << own + u"fx.js"_s << false;
        QTest::newRow("an inline frame") << Request::Frame << u"data:text/html,<script>x</script>"_s << false;
        QTest::newRow("its worker") << Request::Worker << own + u"w.js"_s << false;
        QTest::newRow("its plug-in") << Request::Plugin << own + u"x.swf"_s << false;
        QTest::newRow("a beacon home") << Request::Ping << own + u"x"_s << false;
        QTest::newRow("local file") << Request::Data << u"file:///etc/passwd"_s << false;
        QTest::newRow("local picture") << Request::Image << u"file:///home/me/a.png"_s << false;
        QTest::newRow("web") << Request::Image << u"http://example.com/a.gif"_s << false;
        QTest::newRow("secure web") << Request::Data << u"https://example.com/"_s << false;
        QTest::newRow("socket") << Request::WebSocket << u"ws://127.0.0.1:9/"_s << false;
        QTest::newRow("navigation") << Request::Page << u"http://127.0.0.1/"_s << false;
        QTest::newRow("another host of the scheme") << Request::Script << u"vellumo-preview://other/fx.js"_s << false;
        QTest::newRow("ftp") << Request::Other << u"ftp://example.com/x"_s << false;
    }

    void onlyTheScratchFolderIsReached()
    {
        QFETCH(PreviewSandbox::Request, kind);
        QFETCH(QString, address);
        QFETCH(bool, allowed);
        QCOMPARE(PreviewSandbox::allows(kind, QUrl(address)), allowed);
    }

    void aRefusalIsNamedWithoutWhatItCarried()
    {
        QCOMPARE(PreviewSandbox::refusal(
                     PreviewSandbox::Request::WebSocket, QUrl(u"ws://user:pw@127.0.0.1:4321/s?d=secret#x"_s)),
            u"WebSocket ws://127.0.0.1:4321/s"_s);
        QCOMPARE(PreviewSandbox::refusal(PreviewSandbox::Request::Data, QUrl(u"file:///etc/passwd"_s)),
            u"读取本机文件 /etc/passwd"_s);
        const QString longest
            = PreviewSandbox::refusal(PreviewSandbox::Request::Image, QUrl(u"http://h/"_s + QString(200, u'a')));
        QCOMPARE(longest.size(), u"图片 "_s.size() + 80);
        QVERIFY(longest.endsWith(u'…'));
    }

    void theEnginesRefusalsAreToldFromScriptErrors_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("refusal"); // empty: a script error
        QTest::newRow("connect, policy") << u"Refused to connect to 'ws://127.0.0.1:9/x?d=1' because it violates "
                                            "the following Content Security Policy directive: \"connect-src 'self'\"."_s
                                         << u"WebSocket ws://127.0.0.1:9/x"_s;
        QTest::newRow("connect, document's policy")
            << u"Refused to connect to 'http://127.0.0.1:9/f' because it violates the document's Content Security "
               "Policy."_s
            << u"数据请求 http://127.0.0.1:9/f"_s;
        QTest::newRow("image") << u"Refused to load the image 'http://a/b.gif' because it violates the following "
                                  "Content Security Policy directive: \"img-src 'self'\"."_s
                               << u"图片 http://a/b.gif"_s;
        QTest::newRow("frame") << u"Refused to frame 'http://a/' because it violates the following Content Security "
                                  "Policy directive: \"frame-src 'self'\"."_s
                               << u"框架 http://a/"_s;
        QTest::newRow("worker") << u"Refused to create a worker from 'blob:vellumo-preview://effect/1' because it "
                                   "violates the following Content Security Policy directive: \"worker-src 'none'\"."_s
                                << u"后台脚本 blob:vellumo-preview://effect/1"_s;
        QTest::newRow("local resource") << u"Not allowed to load local resource: file:///etc/passwd"_s
                                        << u"读取本机文件 /etc/passwd"_s;
        QTest::newRow("script error") << u"Uncaught ReferenceError: f is not defined"_s << QString();
        QTest::newRow("an effect's own words") << u"Refused to work today"_s << QString();
    }

    void theEnginesRefusalsAreToldFromScriptErrors()
    {
        QFETCH(QString, message);
        QFETCH(QString, refusal);
        QCOMPARE(PreviewSandbox::refusalInConsole(message).value_or(QString()), refusal);
    }
};

QTEST_APPLESS_MAIN(TestSandboxRules)
#include "tst_sandboxrules.moc"
