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
    m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETPASTECONVERTENDINGS, 1UL);
    m_lexer = new HtmlLexer(m_editor);
    // 16 pixels high at the usual 96 dots per inch; Scintilla takes its sizes in points.
    const QFont code = UiStyle::fixedFont(12);
    m_lexer->setDefaultFont(code);
    m_lexer->setFont(code);
    m_editor->setLexer(m_lexer);
    m_editor->setMarginWidth(1, 0);
    // Ctrl+Y is the cut command of the menu, not the editor's redo.
    if (QsciCommand *redo = m_editor->standardCommands()->boundTo(QKeyCombination(Qt::CTRL, Qt::Key_Y).toCombined()))
        redo->setKey(0);
    FocusOnHover::install(m_editor);
}

void PageEditor::undo()
{
    m_editor->undo();
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
    m_editor->setWrapMode(large ? QsciScintilla::WrapNone : QsciScintilla::WrapWord);
    m_editor->setHorizontalScrollBarPolicy(large ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
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
