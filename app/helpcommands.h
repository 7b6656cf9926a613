#pragma once

#include <QObject>

#include <functional>

class QWidget;
struct Platform;

// The help menu's commands: the help file, the author's home page and mail, the about window; and
// opening a document or address with the desktop's program, said in a box when none takes it.
class HelpCommands : public QObject
{
    Q_OBJECT
public:
    // window is the one the about window opens over; applicationFolder is where the help file is.
    HelpCommands(Platform &platform, std::function<QString()> applicationFolder, QWidget *window);

    void openHelp();
    void openHomePage();
    void mailFeedback();
    void mailQuestion();
    void showAbout();
    // Opens with the desktop's program; failureMessage is shown when none takes it.
    void openWithShell(const QString &documentOrAddress, const QString &failureMessage);

private:
    void mail(const QString &subject);

    Platform &m_platform;
    std::function<QString()> m_applicationFolder;
    QWidget *m_window;
};
