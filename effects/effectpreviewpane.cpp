#include "effectpreviewpane.h"

#include "editor/browserview.h"
#include "platform/ansi.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"
#include "widgets/named.h"

#include <QLabel>
#include <QStackedLayout>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
// A page that has not loaded by then is taken as lost (a render process that hung or died), so a
// change after it is shown all the same.
constexpr qint64 LoadGivenUpMs = 3000;
// A page that takes longer than this says so, rather than leave the last effect's line under it.
constexpr int SlowLoadMs = 500;
// A stranger's effect may fail or be refused without end; the line names this many of each and counts
// the rest, so the window never slows under them.
constexpr qsizetype MostNamed = 50;
// Refusals are told apart (the engine may report one twice) up to this many; past it each counts.
constexpr qsizetype MostToldApart = 10000;
}

EffectPreviewPane::EffectPreviewPane(FileSystem &files, const QString &applicationFolder, QWidget *parent)
    : QWidget(parent)
    , m_files(files)
    , m_applicationFolder(applicationFolder)
    , m_folder(files)
{
    setObjectName(u"EffectPreview"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *area = named<QWidget>(u"PreviewArea"_s, this);
    m_stack = new QStackedLayout(area);
    m_waiting = new QLabel(u"正在准备预览……"_s, area);
    m_waiting->setAlignment(Qt::AlignCenter);
    m_waiting->setAutoFillBackground(true);
    QPalette white = m_waiting->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_waiting->setPalette(white);
    m_stack->addWidget(m_waiting);
    layout->addWidget(area, 1);
    m_line = named<QLabel>(u"PreviewConsole"_s, this);
    m_line->setTextFormat(Qt::PlainText);
    m_line->setFixedHeight(18);
    m_line->setIndent(2);
    layout->addWidget(m_line);
    m_next.setSingleShot(true);
    m_next.setInterval(0);
    connect(&m_next, &QTimer::timeout, this, &EffectPreviewPane::update);
    m_slowLoad.setSingleShot(true);
    m_slowLoad.setInterval(SlowLoadMs);
    connect(&m_slowLoad, &QTimer::timeout, this, [this] {
        if (m_loading && m_scriptErrors.isEmpty() && m_refusals.isEmpty())
            showLine(u"正在载入预览……"_s, false);
    });
}

EffectPreviewPane::~EffectPreviewPane() = default;

void EffectPreviewPane::setSource(std::function<PreviewContent()> source)
{
    m_source = std::move(source);
}

void EffectPreviewPane::start()
{
    if (m_browser)
        return;
    const Explained<BrowserView *> made = BrowserView::create(this, BrowserView::Purpose::EffectPreview);
    if (!made) {
        m_waiting->setText(u"无法显示预览"_s);
        showLine(u"无法显示预览："_s + made.why(), true);
        return;
    }
    m_browser = *made;
    m_browser->widget()->setObjectName(u"PreviewBrowser"_s);
    m_browser->setZoomFactor(m_zoom);
    m_stack->addWidget(m_browser->widget());
    m_browser->onLoadFinished([this](bool ok) { loaded(ok); });
    m_browser->onScriptError([this](const QString &message, int line, const QString &) { scriptError(message, line); });
    m_browser->onRefused([this](const QString &what) { refused(what); });
    m_browser->onEnded([this](const QString &why) { ended(why); });
    m_waiting->setText(u"正在准备预览……"_s);
    refresh();
}

void EffectPreviewPane::refresh()
{
    m_changed = true;
    if (!m_loading || m_loadingSince.elapsed() > LoadGivenUpMs)
        m_next.start();
}

void EffectPreviewPane::update()
{
    if (!m_browser || !m_changed)
        return;
    m_changed = false;
    if (!m_source)
        return;
    try {
        const PreviewContent content = m_source();
        // The same page again (a click that changed nothing) is left as it is shown.
        QString key = content.code;
        for (const SetupFlow::FileToCopy &file : content.files)
            key += u'\n' + file.source + u'|' + file.name;
        if (key == m_shownKey) {
            emit pageShown();
            return;
        }
        const std::optional<QByteArray> newPage
            = m_files.readAll(m_files.resolveName(m_applicationFolder + u"lines.txt"_s));
        const Explained<QString> page = m_folder.writePage(content, newPage ? Ansi::decode(*newPage) : QString());
        if (!page) {
            show(m_folder.writeProblem(page.why()), u"无法预览："_s + page.why(), true, QString());
            return;
        }
        show(page, content.samples ? u"没有脚本错误；未设置的部分用示例代替。"_s : u"没有脚本错误。"_s, false, key);
    } catch (const VellumoError &error) {
        const QString text = VellumoError::withFullStop(error.message());
        show(m_folder.writeProblem(text), u"无法预览："_s + text, true, QString());
    }
}

void EffectPreviewPane::show(const Explained<QString> &page, const QString &line, bool problem, const QString &key)
{
    m_shownKey = problem ? std::nullopt : std::optional<QString>(key);
    if (!page) {
        showLine(line, true);
        emit pageShown();
        return;
    }
    m_lineAfterLoad = line;
    m_problemAfterLoad = problem;
    m_scriptErrors.clear();
    m_refusals.clear();
    m_refusalsSeen.clear();
    m_moreScriptErrors = 0;
    m_moreRefusals = 0;
    m_loading = true;
    m_loadingSince.start();
    m_slowLoad.start();
    m_browser->navigate(*page);
}

void EffectPreviewPane::loaded(bool)
{
    if (!m_loading)
        return;
    m_loading = false;
    m_stack->setCurrentWidget(m_browser->widget());
    if (m_changed) {
        m_next.start();
        return;
    }
    if (m_scriptErrors.isEmpty() && m_refusals.isEmpty())
        showLine(m_lineAfterLoad, m_problemAfterLoad);
    emit pageShown();
}

void EffectPreviewPane::scriptError(const QString &message, int line)
{
    if (m_scriptErrors.size() < MostNamed)
        m_scriptErrors.append(u"第%1行：%2"_s.arg(line).arg(message));
    else
        ++m_moreScriptErrors;
    showProblems();
}

void EffectPreviewPane::refused(const QString &what)
{
    if (m_refusalsSeen.contains(what))
        return;
    if (m_refusalsSeen.size() < MostToldApart)
        m_refusalsSeen.insert(what);
    if (m_refusals.size() < MostNamed)
        m_refusals.append(what);
    else
        ++m_moreRefusals;
    showProblems();
}

void EffectPreviewPane::showProblems()
{
    // What the sandbox refused comes first: it is what the user must know of a stranger's effect.
    const qsizetype refusals = m_refusals.size() + m_moreRefusals;
    const qsizetype errors = m_scriptErrors.size() + m_moreScriptErrors;
    QStringList parts;
    if (refusals > 0)
        parts << (refusals == 1 ? u"已阻止："_s : u"已阻止（%1项）："_s.arg(refusals)) + m_refusals.first();
    if (errors > 0)
        parts << (errors == 1 ? u"脚本错误，"_s : u"脚本错误（%1个），"_s.arg(errors)) + m_scriptErrors.first();
    QStringList all;
    for (const QString &refusal : std::as_const(m_refusals))
        all << u"已阻止："_s + refusal;
    if (m_moreRefusals > 0)
        all << u"另有%1项被阻止"_s.arg(m_moreRefusals);
    for (const QString &error : std::as_const(m_scriptErrors))
        all << u"脚本错误，"_s + error;
    if (m_moreScriptErrors > 0)
        all << u"另有%1个脚本错误"_s.arg(m_moreScriptErrors);
    showLine(parts.join(u"；"_s), true, all.join(u'\n'));
}

void EffectPreviewPane::ended(const QString &why)
{
    // The page is gone with its process; the next change, or the next effect, shows afresh.
    show(m_folder.writeProblem(why), why, true, QString());
    showLine(why, true);
}

void EffectPreviewPane::showNothing(const QString &line)
{
    m_changed = false;
    m_source = nullptr;
    if (m_browser) {
        show(m_folder.writeProblem(QString()), line, false, QString());
        m_shownKey.reset(); // no effect's page, whatever the next one holds
        return;
    }
    // Before the engine has started, the area itself says it.
    m_waiting->setText(line);
    m_waiting->setWordWrap(true);
    showLine(QString(), false);
}

void EffectPreviewPane::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    elideLine();
}

void EffectPreviewPane::elideLine()
{
    m_line->setText(m_line->fontMetrics().elidedText(m_lineText, Qt::ElideRight, qMax(40, m_line->width() - 6)));
}

void EffectPreviewPane::showLine(const QString &text, bool problem, const QString &whole)
{
    m_lineText = text;
    elideLine();
    m_line->setToolTip(whole.isEmpty() ? text : whole);
    QPalette palette = m_line->palette();
    palette.setColor(QPalette::WindowText, problem ? QColor(0xb0, 0, 0) : QColor(0x30, 0x50, 0x30));
    m_line->setPalette(palette);
}

QString EffectPreviewPane::line() const
{
    return m_lineText;
}

QString EffectPreviewPane::fullLine() const
{
    return m_line->toolTip();
}

void EffectPreviewPane::discard()
{
    m_next.stop();
    m_source = nullptr;
    m_folder.remove();
}

void EffectPreviewPane::evaluate(const QString &script, std::function<void(const QVariant &)> done)
{
    if (m_browser)
        m_browser->evaluate(script, std::move(done));
    else
        done(QVariant());
}
