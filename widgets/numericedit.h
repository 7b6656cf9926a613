#pragma once

#include <QClipboard>
#include <QLineEdit>

// A number box: digits and backspace always, a minus sign only once and only as the first character,
// one decimal separator of the user's locale. Typing the separator again moves the caret behind the
// one there and selects the rest; a second minus sign is ignored; any other character is refused
// with a beep. Pasted and dropped text goes through the same rule, character by character.
class NumericEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit NumericEdit(QWidget *parent = nullptr);

    // Drawn with a sunken three-dimensional frame instead of the flat one.
    void setSunken(bool sunken);
    bool isSunken() const { return m_sunken; }

    // What a typed character does to the text; exposed for tests.
    enum class KeyAction { Insert, Ignore, JumpBehindSeparator, Refuse };
    // cursor: where the typed character would go (the start of a selection).
    static KeyAction actionFor(QChar typed, const QString &text, int cursor, QChar separator);
    // What of inserted would stay when typed into text at cursor (a selection already taken out).
    static QString admitted(const QString &inserted, const QString &text, int cursor, QChar separator);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void pasteFrom(QClipboard::Mode mode);
    void insertAdmitted(const QString &inserted);

    bool m_sunken = false;
};
