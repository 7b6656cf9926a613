// The real program killed with unsaved pages, and started again: each page's typing is offered back.
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
// One run of the program, driven through its command reader.
class Program
{
public:
    explicit Program(const QProcessEnvironment &environment)
    {
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(TYPING_PROGRAM), {});
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // What follows prefix in the next line the program says; a null array when it said no such line.
    QByteArray reply(const QByteArray &prefix, int timeoutMs = 60000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!m_process.canReadLine()) {
            if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
                return {};
        }
        const QByteArray line = m_process.readLine().chopped(1);
        if (!line.startsWith(prefix)) {
            qWarning() << "unexpected reply" << line << "waiting for" << prefix;
            return {};
        }
        return line.mid(prefix.size()) + ""; // never null once said
    }
    QByteArray ask(const QString &command, const QByteArray &prefix)
    {
        m_process.write(command.toUtf8() + '\n');
        return reply(prefix);
    }
    // The text of the box the program shows, once it shows one.
    QString box()
    {
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            const QByteArray answer = ask(u"box"_s, "box ");
            if (answer.isNull())
                return {};
            if (answer != "none")
                return QString::fromUtf8(QByteArray::fromBase64(answer));
            QTest::qWait(50);
        }
        return {};
    }
    QString text() { return QString::fromUtf8(QByteArray::fromBase64(ask(u"text"_s, "text "))); }
    QString caption() { return QString::fromUtf8(QByteArray::fromBase64(ask(u"caption"_s, "caption "))); }
    void kill()
    {
        ::kill(pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};
}

class RecoveryAfterKill : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        m_environment.insert(u"XDG_DATA_HOME"_s, m_home->filePath(u"data"_s));
        m_environment.insert(u"XDG_CONFIG_HOME"_s, m_home->filePath(u"config"_s));
    }

    void bothPagesOfTwoKilledProgramsAreOffered()
    {
        const QString pagePath = m_home->filePath(u"页面.htm"_s);
        const QByteArray pageBytes = "<html>\r\n<body>\r\n</body>\r\n</html>\r\n";
        QFile page(pagePath);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(pageBytes);
        page.close();
        const QString namedTyping = u"named page: 你好 <b>&amp;</b> {x}"_s;
        const QString newTyping = u"new page: 新的网页 © 2026"_s;

        {
            // Two programs at once, each with its own copy.
            Program named(m_environment), fresh(m_environment);
            QVERIFY(!named.reply("ready").isNull());
            QVERIFY(!fresh.reply("ready").isNull());
            QVERIFY(!named.ask(u"open "_s + pagePath, "opened").isNull());
            QVERIFY(!named.ask(u"type "_s + namedTyping, "typed").isNull());
            QVERIFY(!fresh.ask(u"type "_s + newTyping, "typed").isNull());
            // As a user who stops typing and has the program killed a moment later.
            QTest::qWait(1500);
            named.kill();
            fresh.kill();
        }

        // Each is offered with the page's name; closing the question keeps a copy for later. The
        // named page is restored first.
        QString offered, restoredText, restoredCaption;
        {
            Program again(m_environment);
            QVERIFY(!again.reply("ready").isNull());
            offered = again.box();
            if (!offered.contains(pagePath)) {
                QVERIFY2(offered.contains(u"新文件"_s), qPrintable(offered));
                QVERIFY(!again.ask(u"answer dismiss"_s, "answered").isNull());
                offered = again.box();
            }
            QVERIFY(!again.ask(u"answer yes"_s, "answered").isNull());
            restoredText = again.text();
            restoredCaption = again.caption();
        }
        QVERIFY2(offered.contains(pagePath), qPrintable(offered));
        QVERIFY2(restoredText.contains(namedTyping), qPrintable(restoredText));
        QVERIFY(restoredText.contains(u"</html>"_s));
        // The page under its own name, unsaved.
        QCOMPARE(restoredCaption, pagePath + u"*"_s);
        // The file itself is as it was: the typing lives in the copy until the user saves.
        QVERIFY(page.open(QIODevice::ReadOnly));
        QCOMPARE(page.readAll(), pageBytes);
        page.close();

        {
            // The restored page was left unsaved by a kill too; the new page is offered beside it.
            Program third(m_environment);
            QVERIFY(!third.reply("ready").isNull());
            QString box = third.box();
            if (!box.contains(u"新文件"_s)) {
                QVERIFY2(box.contains(pagePath), qPrintable(box));
                QVERIFY(!third.ask(u"answer dismiss"_s, "answered").isNull());
                box = third.box();
            }
            QVERIFY2(box.contains(u"新文件"_s), qPrintable(box));
            QVERIFY(!third.ask(u"answer yes"_s, "answered").isNull());
            // Typed at the start of the start-up page.
            const QString text = third.text();
            QVERIFY2(text.startsWith(newTyping) && text.endsWith(u"</html>"_s), qPrintable(text));
            QCOMPARE(third.caption(), u"新文件*"_s);
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QProcessEnvironment m_environment;
};

QTEST_GUILESS_MAIN(RecoveryAfterKill)
#include "tst_recoveryafterkill.moc"
