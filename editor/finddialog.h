#pragma once

#include <QDialog>

class FindReplace;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modeless Find window: its search text and options live in the Find window's search state;
// the direction is shown, but every search runs forward.
class FindDialog : public QDialog
{
    Q_OBJECT
public:
    FindDialog(FindReplace &search, QWidget *parent = nullptr);

    QLabel *Label1;
    QLineEdit *Edit1; // search text
    QCheckBox *CheckBox1; // match case
    QCheckBox *CheckBox2; // whole word
    QGroupBox *GroupBox1; // direction
    QRadioButton *RadioButton1; // up
    QRadioButton *RadioButton2; // down
    QPushButton *Button1; // find next
    QPushButton *Button2; // cancel

    // Shows the search state in the controls.
    void load();
    void findNext();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void store();

    FindReplace &m_search;
};
