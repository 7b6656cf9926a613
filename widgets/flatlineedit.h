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
    // Sets a text that tells the user what to type: while the box still holds it, a click selects the
    // whole of it, so that typing replaces it as it does after the keyboard or the mouse brought it in.
    void setHintText(const QString &hint);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void lowerTypedText(const QString &text);
    bool m_lowerCase = false;
    QString m_hint;
};
