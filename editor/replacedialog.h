#pragma once

#include <QDialog>

class FindReplace;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The modeless Replace window: its search text, replacement text and options live in the Replace
// window's search state.
class ReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    ReplaceDialog(FindReplace &search, QWidget *parent = nullptr);

    QLabel *Label1;
    QLineEdit *Edit1; // search text
    QLabel *Label2;
    QLineEdit *Edit2; // replacement text
    QCheckBox *CheckBox1; // match case
    QCheckBox *CheckBox2; // whole word
    QPushButton *Button1; // find next
    QPushButton *Button2; // replace
    QPushButton *Button3; // replace all
    QPushButton *Button4; // cancel

    // Shows the search state in the controls.
    void load();
    void findNext();
    void replaceOne();
    void replaceAll();

signals:
    // Find Next gave the Find window this window's text and options.
    void findWindowChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void store();

    FindReplace &m_search;
};
