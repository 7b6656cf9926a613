#include "viewmenu.h"

#include "editor/pageeditor.h"
#include "library/settingswitch.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {
const QString Section = u"view"_s;
}

ViewMenu::ViewMenu(
    PageEditor &editor, FileSystem &files, QString settingsFile, QMenuBar *bar, QAction *before, QWidget *window)
    : QObject(window)
    , m_editor(editor)
    , m_files(files)
    , m_settingsFile(std::move(settingsFile))
    , m_window(window)
{
    m_menu = new QMenu(u"查看(&V)"_s, bar);
    m_menu->setObjectName(u"View1"_s);
    bar->insertMenu(before, m_menu);
    const auto item = [this](const QString &name, const QString &caption, const QList<QKeySequence> &keys = {}) {
        QAction *action = m_menu->addAction(caption);
        action->setObjectName(name);
        action->setShortcuts(keys);
        return action;
    };

    QAction *lineNumbers = item(u"LineNumbers1"_s, u"行号(&L)"_s);
    lineNumbers->setCheckable(true);
    lineNumbers->setChecked(setting(u"lineNumbers"_s).isOn());
    m_editor.setLineNumbers(lineNumbers->isChecked());
    connect(lineNumbers, &QAction::toggled, this, [this](bool on) {
        m_editor.setLineNumbers(on);
        setting(u"lineNumbers"_s).set(on);
    });
    QAction *wrap = item(u"WordWrap1"_s, u"自动换行(&W)"_s);
    wrap->setCheckable(true);
    wrap->setChecked(setting(u"wordWrap"_s).isOn());
    m_editor.setWordWrap(wrap->isChecked());
    connect(wrap, &QAction::toggled, this, [this](bool on) {
        m_editor.setWordWrap(on);
        setting(u"wordWrap"_s).set(on);
    });
    // A large page is never wrapped: the switch says so while one is shown.
    connect(m_menu, &QMenu::aboutToShow, this, [this, wrap] {
        wrap->setEnabled(!m_editor.isLarge());
        wrap->setToolTip(m_editor.isLarge() ? u"大网页不自动换行"_s : QString());
    });
    m_menu->addSeparator();
    // Ctrl+= is where Ctrl++ is on most keyboards, without Shift.
    connect(item(u"ZoomIn1"_s, u"放大(&I)"_s,
                { QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus) }),
        &QAction::triggered, this, [this] { m_editor.zoomIn(); });
    connect(item(u"ZoomOut1"_s, u"缩小(&O)"_s, { QKeySequence(Qt::CTRL | Qt::Key_Minus) }), &QAction::triggered, this,
        [this] { m_editor.zoomOut(); });
    connect(item(u"ZoomBack1"_s, u"原始大小(&R)"_s, { QKeySequence(Qt::CTRL | Qt::Key_0) }), &QAction::triggered, this,
        [this] { m_editor.zoomBack(); });
    m_menu->addSeparator();
    connect(item(u"GoToLine1"_s, u"转到行...(&G)"_s, { QKeySequence(Qt::CTRL | Qt::Key_G) }), &QAction::triggered, this,
        &ViewMenu::goToLine);
}

void ViewMenu::goToLine()
{
    bool ok = false;
    const int lines = m_editor.lineCount();
    const int line
        = QInputDialog::getInt(m_window, u"转到行"_s, u"行号（1 - %1）："_s.arg(lines), 1, 1, qMax(1, lines), 1, &ok);
    if (ok)
        m_editor.goToLine(line);
}

SettingSwitch ViewMenu::setting(const QString &key) const
{
    // Both are on until the user switches them off.
    return SettingSwitch(m_files, m_settingsFile, Section, key, true);
}
