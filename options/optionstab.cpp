#include "optionstab.h"

#include "platform/dialogs.h"
#include "platform/errorguard.h"
#include "platform/platform.h"
#include "widgets/named.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

OptionsTab::OptionsTab(const OptionsContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
}

bool OptionsTab::guarded(const std::function<void()> &handler)
{
    return ErrorGuard::run(m_context.platform.dialogs, handler);
}

void OptionsTab::message(const QString &text)
{
    m_context.platform.dialogs.message(text);
}

bool OptionsTab::ask(const QString &text, bool withQuestionIcon)
{
    return m_context.platform.dialogs.question(
        u"询问"_s, text, withQuestionIcon ? MessageIcon::Question : MessageIcon::None);
}

QGroupBox *OptionsTab::group(const QString &caption, const QRect &place)
{
    auto *box = new QGroupBox(caption, this);
    box->setGeometry(place);
    return box;
}

QToolButton *OptionsTab::speedButton(QWidget *parent, const QString &name, const QString &caption, const QRect &place)
{
    auto *button = named<QToolButton>(name, parent);
    button->setText(caption);
    button->setGeometry(place);
    return button;
}

QLabel *OptionsTab::caption(QWidget *parent, const QString &text, const QRect &place)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    return label;
}

QListWidget *OptionsTab::list(QWidget *parent, const QString &name, const QRect &place)
{
    auto *widget = named<QListWidget>(name, parent);
    widget->setGeometry(place);
    return widget;
}
