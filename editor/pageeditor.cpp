#include "pageeditor.h"

#include "editoraccessibility.h"
#include "htmllexer.h"
#include "library/linebreaks.h"
#include "platform/clipboard.h"
#include "widgets/focusonhover.h"
#include "widgets/named.h"
#include "widgets/uistyle.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QMenu>
#include <QToolTip>

using namespace Qt::StringLiterals;

PageEditor::PageEditor(Clipboard &clipboard, QWidget *parent)
    : QObject(parent)
    , m_clipboard(clipboard)
    , m_editor(named<QsciScintilla>(u"RichEdit1"_s, parent))
{
    // Insertions and deletions are announced only while a screen reader or the like listens.
    EditorAccessibility::quietUntilListened(m_editor);
    m_editor->setUtf8(true);
    m_editor->setEolMode(QsciScintilla::EolWindows);
    m_editor->setWrapMode(QsciScintilla::WrapWord);
    // A wrapped line shows where it goes on, so that it does not look like several.
    m_editor->setWrapVisualFlags(QsciScintilla::WrapFlagByText, QsciScintilla::WrapFlagNone);
    m_editor->setWrapIndentMode(QsciScintilla::WrapIndentSame);
    connect(m_editor, &QsciScintilla::linesChanged, this, &PageEditor::fitLineNumbers);
    connect(m_editor, &QsciScintilla::cursorPositionChanged, this, &PageEditor::caretPlaceChanged);
    m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETPASTECONVERTENDINGS, 1UL);
    m_lexer = new HtmlLexer(m_editor);
    // 16 pixels high at the usual 96 dots per inch; Scintilla takes its sizes in points.
    const QFont code = UiStyle::fixedFont(12);
    m_lexer->setDefaultFont(code);
    m_lexer->setFont(code);
    m_editor->setLexer(m_lexer);
    m_editor->setMarginsFont(code);
    m_editor->setMarginWidth(1, 0);
    // Ctrl+Y is the cut command of the menu, not the editor's redo.
    if (QsciCommand *redo = m_editor->standardCommands()->boundTo(QKeyCombination(Qt::CTRL, Qt::Key_Y).toCombined()))
        redo->setKey(0);
    // Ctrl+V is the menu's paste, which gives pasted lines the page's line break.
    if (QsciCommand *paste = m_editor->standardCommands()->boundTo(QKeyCombination(Qt::CTRL, Qt::Key_V).toCombined()))
        paste->setKey(0);
    FocusOnHover::install(m_editor);
}

void PageEditor::undo()
{
    m_editor->undo();
}

void PageEditor::redo()
{
    m_editor->redo();
}

void PageEditor::setLineNumbers(bool shown)
{
    m_lineNumbers = shown;
    m_editor->setMarginLineNumbers(0, shown);
    fitLineNumbers();
}

void PageEditor::fitLineNumbers()
{
    if (!m_lineNumbers) {
        m_editor->setMarginWidth(0, 0);
        return;
    }
    const QString widest = QString(QString::number(qMax(m_editor->lines(), 99)).size() + 1, u'9');
    m_editor->setMarginWidth(0, widest);
}

void PageEditor::setWordWrap(bool wrap)
{
    m_wordWrap = wrap;
    const bool wrapped = wrap && !m_large;
    m_editor->setWrapMode(wrapped ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
    m_editor->setHorizontalScrollBarPolicy(wrapped ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

void PageEditor::zoomIn()
{
    m_editor->zoomIn();
}

void PageEditor::zoomOut()
{
    m_editor->zoomOut();
}

void PageEditor::zoomBack()
{
    m_editor->zoomTo(0);
}

void PageEditor::goToLine(int line)
{
    const int target = qBound(1, line, m_editor->lines()) - 1;
    m_editor->setCursorPosition(target, 0);
    m_editor->ensureLineVisible(target);
    m_editor->setFocus();
}

int PageEditor::lineCount() const
{
    return m_editor->lines();
}

QString PageEditor::pasteNote()
{
    return u"特效代码已复制到剪贴板，按 Ctrl+V 粘贴到光标处。"_s;
}

void PageEditor::takeBackKeyboard()
{
    m_editor->window()->activateWindow();
    m_editor->setFocus(Qt::OtherFocusReason);
    using Base = QsciScintillaBase;
    const long caret = m_editor->SendScintilla(Base::SCI_GETCURRENTPOS);
    const QPoint at(int(m_editor->SendScintilla(Base::SCI_POINTXFROMPOSITION, 0UL, caret)),
        int(m_editor->SendScintilla(Base::SCI_POINTYFROMPOSITION, 0UL, caret)));
    QToolTip::showText(m_editor->viewport()->mapToGlobal(at), pasteNote(), m_editor, QRect(), 8000);
}

QString PageEditor::caretPlace() const
{
    using Base = QsciScintillaBase;
    const long caret = m_editor->SendScintilla(Base::SCI_GETCURRENTPOS);
    const long line = m_editor->SendScintilla(Base::SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
    // The column as the user counts it: characters, a tab to the next tab stop.
    const long column = m_editor->SendScintilla(Base::SCI_GETCOLUMN, static_cast<unsigned long>(caret));
    const QString place = u"行 %1，列 %2"_s.arg(line + 1).arg(column + 1);
    return m_large ? place + u" · 大网页：不着色、不换行"_s : place;
}

void PageEditor::copySelection()
{
    if (m_editor->hasSelectedText())
        m_clipboard.setText(m_editor->selectedText());
}

void PageEditor::cutSelection()
{
    if (!m_editor->hasSelectedText())
        return;
    m_clipboard.setText(m_editor->selectedText());
    m_editor->removeSelectedText();
}

void PageEditor::paste()
{
    // Pasted lines are new lines: they get the page's line break.
    const QString lineBreak = m_editor->eolMode() == QsciScintilla::EolUnix ? u"\n"_s
        : m_editor->eolMode() == QsciScintilla::EolMac                      ? u"\r"_s
                                                                            : u"\r\n"_s;
    m_editor->replaceSelectedText(LineBreaks::to(m_clipboard.text(), lineBreak));
}

void PageEditor::selectAll()
{
    m_editor->selectAll(true);
}

void PageEditor::setLargePage(bool large)
{
    // A new document needs its colouring attached again; a large one goes without.
    m_editor->setLexer(nullptr);
    if (large)
        m_editor->setFont(m_lexer->defaultFont()); // without colouring, still the editor's own font
    else
        m_editor->setLexer(m_lexer);
    m_large = large;
    setWordWrap(m_wordWrap);
    emit caretPlaceChanged();
    // Taking the colouring off gives the line numbers the widget's small font; they keep the page's.
    m_editor->setMarginsFont(m_lexer->defaultFont());
    fitLineNumbers();
}

void PageEditor::setContextMenu(QAction *undo, QAction *copy, QAction *paste, QAction *cut, QAction *selectAll)
{
    m_contextMenu = named<QMenu>(u"PopupMenu1"_s, m_editor->window());
    const auto item = [&](const QString &name, const QString &caption, QAction *runs) {
        QAction *action = m_contextMenu->addAction(caption);
        action->setObjectName(name);
        action->setEnabled(runs->isEnabled());
        connect(action, &QAction::triggered, runs, &QAction::trigger);
        connect(runs, &QAction::changed, action, [action, runs] { action->setEnabled(runs->isEnabled()); });
    };
    item(u"R2"_s, u"撤消(&U)"_s, undo);
    m_contextMenu->addSeparator()->setObjectName(u"N13"_s);
    item(u"N9"_s, u"复制(&C)"_s, copy);
    item(u"N10"_s, u"粘贴(&V)"_s, paste);
    item(u"N11"_s, u"剪切(&X)"_s, cut);
    m_contextMenu->addSeparator()->setObjectName(u"N14"_s);
    item(u"N12"_s, u"全选(&A)"_s, selectAll);
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_editor, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        // Its top edge centred on the mouse.
        const QPoint at = m_editor->mapToGlobal(pos);
        m_contextMenu->popup(at - QPoint(m_contextMenu->sizeHint().width() / 2, 0));
    });
}
