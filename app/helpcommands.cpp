#include "helpcommands.h"

#include "applicationinfo.h"
#include "splashwindow.h"

#include "platform/dialogs.h"
#include "platform/filesystem.h"
#include "platform/platform.h"
#include "platform/shell.h"

#include <QPointer>
#include <QWidget>

using namespace Qt::StringLiterals;

HelpCommands::HelpCommands(Platform &platform, std::function<QString()> applicationFolder, QWidget *window)
    : QObject(window)
    , m_platform(platform)
    , m_applicationFolder(std::move(applicationFolder))
    , m_window(window)
{
}

void HelpCommands::openHelp()
{
    const QString help = m_applicationFolder() + u"help.chm"_s;
    if (m_platform.files.fileExists(help))
        openWithShell(help, u"无法打开帮助文件：系统里没有能打开它的程序。\n帮助文件在 %1"_s.arg(help));
    else
        m_platform.dialogs.message(u"帮助文件找不到,请到作者网站下载"_s + ApplicationInfo::homePage());
}

void HelpCommands::openWithShell(const QString &documentOrAddress, const QString &failureMessage)
{
    // The answer may come after the window is gone.
    const QPointer<HelpCommands> commands(this);
    m_platform.shell.open(documentOrAddress, [commands, failureMessage] {
        if (commands)
            commands->m_platform.dialogs.message(failureMessage);
    });
}

void HelpCommands::openHomePage()
{
    openWithShell(
        ApplicationInfo::homePage(), u"无法打开网址 %1：系统里没有可用的浏览器。"_s.arg(ApplicationInfo::homePage()));
}

void HelpCommands::mail(const QString &subject)
{
    openWithShell(u"mailto:"_s + ApplicationInfo::mailAddress() + u"?subject="_s + subject,
        u"无法启动邮件程序：系统里没有可用的邮件程序。\n请直接写信到 %1"_s.arg(ApplicationInfo::mailAddress()));
}

void HelpCommands::mailFeedback()
{
    mail(u"错误改进"_s);
}

void HelpCommands::mailQuestion()
{
    mail(u"问题询问"_s);
}

void HelpCommands::showAbout()
{
    SplashWindow about(m_window);
    about.exec();
}
