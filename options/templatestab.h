#pragma once

#include "optionstab.h"

class QListWidget;
class QToolButton;

// The templates page: the registered page templates, added with a copy into "模板", deleted from
// the registry only.
class TemplatesTab : public OptionsTab
{
    Q_OBJECT
public:
    TemplatesTab(const OptionsContext &context, QWidget *parent);

    void fillTemplateList();
    void addTemplate();
    void deleteTemplates();

private:
    QListWidget *m_templateList;
    QToolButton *m_addButton;
    QToolButton *m_deleteButton;
};
