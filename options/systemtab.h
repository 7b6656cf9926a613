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

    QPlainTextEdit *Memo1;
    QLabel *RxLabel2;
    FlatLineEdit *RFlatEdit1;
    QToolButton *SpeedButton7;
    QListWidget *ListBox2;
    QToolButton *SpeedButton8;
    QToolButton *SpeedButton9;

    void defineCustomEffect();
    void addPackage();
    void installPackages();
};
