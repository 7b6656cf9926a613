#pragma once

#include "optionstab.h"

class FlatLineEdit;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QToolButton;

// The system page: the user's own text made into a simple-copy effect, and update packages.
class SystemTab : public OptionsTab
{
    Q_OBJECT
public:
    SystemTab(const OptionsContext &context, QWidget *parent);

    void defineCustomEffect();
    void addPackage();
    void installPackages();

private:
    QPlainTextEdit *m_customTextBox;
    QLabel *m_customNameCaption;
    FlatLineEdit *m_customNameBox;
    QToolButton *m_defineButton;
    QListWidget *m_packageList;
    QToolButton *m_addPackageButton;
    QToolButton *m_installButton;
};
