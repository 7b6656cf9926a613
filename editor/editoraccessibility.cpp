#include "editoraccessibility.h"

#include <Qsci/qsciscintillabase.h>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QList>
#include <QPointer>

namespace {
QList<QPointer<QWidget>> &quietEditors()
{
    static QList<QPointer<QWidget>> editors;
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
    auto *widget = static_cast<QWidget *>(object);
    if (!quietEditors().contains(widget))
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::EditableText);
}

class ListenerWatch : public QAccessible::ActivationObserver
{
public:
    void accessibilityActiveChanged(bool active) override
    {
        if (!active)
            return;
        // A listener has come: the editors get QScintilla's full interface from now on.
        for (const QPointer<QWidget> &editor : std::as_const(quietEditors()))
            if (editor)
                forget(editor);
    }
};
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
    if (!QAccessible::isActive())
        forget(editor);
}
