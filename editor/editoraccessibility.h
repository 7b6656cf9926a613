#pragma once

class QsciScintillaBase;

// The page editor's accessibility while no assistive technology listens, in both of its costs.
// QScintilla's own interface counts the characters from the start of the page at every move of the
// caret, and its notices of each insertion and deletion compute a character position from the start
// of the page too: each keystroke, page down or replacement deep in a large page costs a scan of the
// page (a third of a second at 30 MB). Until a screen reader or the like starts listening, the editor
// gets Qt's plain widget interface and sends no insert and delete notices; from then on QScintilla's
// full interface and every notice, and the notices stop again when the listener goes.
class EditorAccessibility
{
public:
    static void quietUntilListened(QsciScintillaBase *editor);

private:
    class ListenerWatch;
    static void sendNotices(QsciScintillaBase *editor, bool listened);
};
