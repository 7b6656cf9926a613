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

    QListWidget *ListBox3;
    QToolButton *SpeedButton11;
    QToolButton *SpeedButton13;

    void fillTemplateList();
    void addTemplate();
    void deleteTemplates();
};
