#pragma once

#include <QLineEdit>

// A single-line edit with a thin border that lights up under the mouse; optionally every letter typed or pasted is made
// lower case. Entered without a pressed mouse button (the keyboard, or the focus following the mouse), its whole text
// is selected, so that typing replaces it.
class FlatLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit FlatLineEdit(QWidget *parent = nullptr);
    void setLowerCaseInput(bool lower);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void lowerTypedText(const QString &text);
    bool m_lowerCase = false;
};
