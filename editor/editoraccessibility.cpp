#include "editoraccessibility.h"

#include <Qsci/qsciscintillabase.h>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QList>
#include <QPointer>

namespace {
QList<QPointer<QsciScintillaBase>> &quietEditors()
{
    static QList<QPointer<QsciScintillaBase>> editors;
    return editors;
}

// Drops the interface cached for the editor, so the next question for it asks the factories again.
void forget(QWidget *editor)
{
    if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(editor))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

QAccessibleInterface *plainWhileUnheard(const QString &className, QObject *object)
{
    // The name first: the factories are also asked about objects still being made or taken apart,
    // which must not be touched.
    if (className != QLatin1String("QsciScintilla") && className != QLatin1String("QsciScintillaBase"))
        return nullptr;
    if (QAccessible::isActive())
        return nullptr;
    auto *editor = static_cast<QsciScintillaBase *>(object);
    if (!quietEditors().contains(editor))
        return nullptr;
    return new QAccessibleWidget(editor, QAccessible::EditableText);
}
}

class EditorAccessibility::ListenerWatch : public QAccessible::ActivationObserver
{
public:
    void accessibilityActiveChanged(bool active) override
    {
        for (const QPointer<QsciScintillaBase> &editor : std::as_const(quietEditors())) {
            if (!editor)
                continue;
            // A listener that has come gets QScintilla's full interface from the next question on.
            if (active)
                forget(editor);
            sendNotices(editor, active);
        }
    }
};

void EditorAccessibility::sendNotices(QsciScintillaBase *editor, bool listened)
{
    // The "performed by" and undo flags go with the insert and delete notices, as any of them lets
    // those notices through.
    using Base = QsciScintillaBase;
    const unsigned long quiet = Base::SC_MOD_INSERTTEXT | Base::SC_MOD_DELETETEXT | Base::SC_PERFORMED_USER
        | Base::SC_PERFORMED_UNDO | Base::SC_PERFORMED_REDO | Base::SC_MULTISTEPUNDOREDO | Base::SC_LASTSTEPINUNDOREDO
        | Base::SC_MOD_BEFOREINSERT | Base::SC_MOD_BEFOREDELETE | Base::SC_MULTILINEUNDOREDO | Base::SC_STARTACTION;
    const unsigned long all = Base::SC_MODEVENTMASKALL;
    editor->SendScintilla(Base::SCI_SETMODEVENTMASK, listened ? all : all & ~quiet);
}

void EditorAccessibility::quietUntilListened(QsciScintillaBase *editor)
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        // Asked before QScintilla's own factory, which was installed with the first editor made.
        QAccessible::installFactory(plainWhileUnheard);
        static ListenerWatch watch;
        QAccessible::installActivationObserver(&watch);
    }
    quietEditors().append(editor);
    const bool listened = QAccessible::isActive();
    if (!listened)
        forget(editor);
    sendNotices(editor, listened);
}
