#pragma once

#include "optionscontext.h"

#include "widgets/framelessdialog.h"

#include <QPixmap>

class QTabWidget;
class SkinsTab;
class SystemTab;
class TemplatesTab;
class TitleStrip;

// The options window: skins, the user's own effects and update packages, page templates. No
// system frame; the title strip drags it; the "退出" tab closes it.
class OptionsWindow : public FramelessDialog
{
    Q_OBJECT
public:
    enum Tab { Skins = 0, System = 1, Templates = 2, Exit = 3 };

    explicit OptionsWindow(const OptionsContext &context, QWidget *parent = nullptr);

    // Opens the window modally on the tab.
    void showOn(Tab tab);

    void fillLists();
    void firstShown() override;
    void closeWindow();

signals:
    // The skins tab's choice, for the main window.
    void skinChanged(const QPixmap &mainPicture, const QPixmap &statusPicture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OptionsContext m_context;
    TitleStrip *m_titleStrip;
    QTabWidget *m_tabs;
    SkinsTab *m_skinsTab;
    SystemTab *m_systemTab;
    TemplatesTab *m_templatesTab;
    QWidget *m_exitTab;
};
