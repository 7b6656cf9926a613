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

    // Shows the search state in the controls.
    void load();
    void findNext();

signals:
    // The user switched wrapping around on or off; the state holds the choice already.
    void wrapAroundChosen(bool wrap);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void store();

    FindReplace &m_search;
    QLabel *m_findCaption;
    QLineEdit *m_findBox;
    QCheckBox *m_matchCaseBox;
    QCheckBox *m_wholeWordBox;
    QCheckBox *m_wrapAroundBox;
    QGroupBox *m_directionGroup;
    QRadioButton *m_upButton;
    QRadioButton *m_downButton;
    QPushButton *m_findNextButton;
    QPushButton *m_cancelButton;
};
