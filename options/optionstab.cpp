#include "optionstab.h"

#include "platform/dialogs.h"
#include "platform/errorguard.h"
#include "platform/platform.h"

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
