#include "encodingmenus.h"

#include "editor/document.h"

#include <QActionGroup>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {
struct LineEndChoice
{
    LineEnds ends;
    const char *name;
    QString caption;
};

const LineEndChoice LineEndChoices[] = {
    { LineEnds::CrLf, "LineEndsCrLf", u"CR LF（Windows）"_s },
    { LineEnds::Lf, "LineEndsLf", u"LF（Linux、macOS）"_s },
    { LineEnds::Cr, "LineEndsCr", u"CR（旧版 Mac）"_s },
};
}

EncodingMenus::EncodingMenus(
    Document &document, QMenu *fileMenu, QMenu *editMenu, PageCommand pageCommand, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_pageCommand(std::move(pageCommand))
{
    // Beside Save As, before the preview and exit.
    m_reopenMenu = new QMenu(u"以其他编码重新打开(&E)"_s, fileMenu);
    m_reopenMenu->setObjectName(u"ReopenIn1"_s);
    QAction *before = fileMenu->findChild<QAction *>(u"N3"_s);
    if (before && fileMenu->actions().contains(before))
        fileMenu->insertMenu(before, m_reopenMenu);
    else
        fileMenu->addMenu(m_reopenMenu);
    for (const QString &name : PageEncoding::reopenChoices()) {
        QAction *action = m_reopenMenu->addAction(name);
        action->setObjectName(u"ReopenIn_"_s + name);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, name] {
            // A UTF-16 file carries its mark; any other is read as it is.
            const PageEncoding chosen(name, name.startsWith(u"UTF-16"_s));
            m_pageCommand([this, chosen] { m_document.reopenIn(chosen); });
        });
    }
    // Only a page that has a file can be read again.
    connect(fileMenu, &QMenu::aboutToShow, this, &EncodingMenus::showReopenChoices);
    connect(m_reopenMenu, &QMenu::aboutToShow, this, &EncodingMenus::showReopenChoices);

    editMenu->addSeparator()->setObjectName(u"LineEndsSeparator"_s);
    m_lineEndsMenu = editMenu->addMenu(u"转换行尾(&L)"_s);
    m_lineEndsMenu->setObjectName(u"LineEnds1"_s);
    auto *group = new QActionGroup(m_lineEndsMenu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const LineEndChoice &choice : LineEndChoices) {
        QAction *action = m_lineEndsMenu->addAction(choice.caption);
        action->setObjectName(QString::fromLatin1(choice.name));
        action->setCheckable(true);
        group->addAction(action);
        const LineEnds ends = choice.ends;
        connect(action, &QAction::triggered, this,
            [this, ends] { m_pageCommand([this, ends] { m_document.convertLineEnds(ends); }); });
    }
    connect(m_lineEndsMenu, &QMenu::aboutToShow, this, &EncodingMenus::showLineEndChoices);
}

void EncodingMenus::showReopenChoices()
{
    m_reopenMenu->setEnabled(!m_document.pageFolder().isEmpty());
    for (QAction *action : m_reopenMenu->actions())
        action->setChecked(action->text().compare(m_document.encoding().name(), Qt::CaseInsensitive) == 0);
}

void EncodingMenus::showLineEndChoices()
{
    // A page of mixed line breaks has none of them checked: converting gives it one.
    const QList<QAction *> actions = m_lineEndsMenu->actions();
    for (qsizetype i = 0; i < actions.size(); ++i)
        actions[i]->setChecked(!m_document.mixedLineEnds() && LineEndChoices[i].ends == m_document.lineEnds());
}
