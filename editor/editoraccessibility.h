#pragma once

class QsciScintillaBase;

// The page editor's accessibility while no assistive technology listens. QScintilla's own interface
// counts the characters from the start of the page at every move of the caret, so that each
// keystroke, page down or match found deep in a large page costs a scan of the page (a third of a
// second at 30 MB). Until a screen reader or the like starts listening, the editor gets Qt's plain
// widget interface instead; from then on QScintilla's full one.
namespace EditorAccessibility {
void quietUntilListened(QsciScintillaBase *editor);
}
