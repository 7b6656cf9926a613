#include "templatestab.h"

#include "library/mainindex.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "templateshelf.h"
#include "widgets/windowparts.h"

#include <QGroupBox>
#include <QListWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

TemplatesTab::TemplatesTab(const OptionsContext &context, QWidget *parent)
    : OptionsTab(context, parent)
{
    QGroupBox *box = WindowParts::group(this, u"模板管理"_s, QRect(4, 4, 478, 285));
    m_templateList = WindowParts::list(box, u"ListBox3"_s, QRect(10, 20, 359, 256));
    m_addButton = WindowParts::speedButton(box, u"SpeedButton11"_s, u"新加模板"_s, QRect(378, 24, 90, 28));
    m_deleteButton = WindowParts::speedButton(box, u"SpeedButton13"_s, u"删除模板"_s, QRect(378, 60, 90, 28));
    connect(m_addButton, &QToolButton::clicked, this, &TemplatesTab::addTemplate);
    connect(m_deleteButton, &QToolButton::clicked, this, &TemplatesTab::deleteTemplates);
}

void TemplatesTab::fillTemplateList()
{
    guarded([this] {
        m_templateList->addItems(MainIndex(m_context.platform.files, m_context.applicationFolder).templates());
    });
}

void TemplatesTab::addTemplate()
{
    FileDialogRequest request;
    request.filter = u"网页文件|*.htm"_s;
    const auto chosen = m_context.platform.dialogs.openFile(request);
    if (!chosen)
        return;
    m_templateList->addItem(*chosen);
    guarded([&] {
        MainIndex(m_context.platform.files, m_context.applicationFolder).addTemplate(*chosen);
        TemplateShelf shelf(m_context.platform.files, m_context.applicationFolder);
        if (shelf.isOwnCopy(*chosen))
            return;
        const bool replace = shelf.hasOtherCopy(*chosen) && ask(TemplateShelf::replaceQuestion(), false);
        shelf.copyIn(*chosen, replace);
    });
}

void TemplatesTab::deleteTemplates()
{
    if (!ask(u"删除掉的只是在本程序设置的模板名称，不会删除掉文件，真的要这样吗？"_s, false))
        return;
    const int row = m_templateList->currentRow();
    if (row < 0 || !m_templateList->item(row)->isSelected())
        return;
    delete m_templateList->takeItem(row);
    QStringList paths;
    for (int i = 0; i < m_templateList->count(); ++i)
        paths.append(m_templateList->item(i)->text());
    guarded([&] { MainIndex(m_context.platform.files, m_context.applicationFolder).rewriteTemplates(paths); });
}
