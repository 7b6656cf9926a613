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

    // Shows the search state in the controls.
    void load();
    void findNext();
    void replaceOne();
    void replaceAll();

signals:
    // Find Next gave the Find window this window's text and options.
    void findWindowChanged();
    // The user switched wrapping around on or off; the state holds the choice already.
    void wrapAroundChosen(bool wrap);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void store();

    FindReplace &m_search;
    QLabel *m_findCaption;
    QLineEdit *m_findBox;
    QLabel *m_replaceCaption;
    QLineEdit *m_replaceBox;
    QCheckBox *m_matchCaseBox;
    QCheckBox *m_wholeWordBox;
    QCheckBox *m_wrapAroundBox;
    QPushButton *m_findNextButton;
    QPushButton *m_replaceButton;
    QPushButton *m_replaceAllButton;
    QPushButton *m_cancelButton;
};
