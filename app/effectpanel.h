#pragma once

#include <QWidget>

#include <functional>

class EffectPanelPreview;
class EffectPreviews;
class FlatComboBox;
class FlatLineEdit;
class QLabel;
class QListWidget;
class QToolButton;
struct Platform;
struct SetupBuffers;

// The effect panel beside the page: choosing an effect by category, searching effects by name, the
// small preview of the chosen one, and starting its setup. Its captions and buttons lie over the
// skin's main picture.
class EffectPanel : public QWidget
{
    Q_OBJECT
public:
    // buffers and parentMenuNeeded are the main window's, handed to every setup window of the run.
    EffectPanel(Platform &platform, EffectPreviews &previews, SetupBuffers &buffers, bool &parentMenuNeeded,
        std::function<QString()> applicationFolder, QWidget *parent);

    // The category list from the library's index.
    void loadCategories();
    void setMainPicture(const QPixmap &picture);
    // Black or white captions over the main picture, whichever reads better there.
    void fitTextToPicture();

signals:
    // An effect's code reached the clipboard: a simple copy, or a setup window that copied.
    void codeCopied();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseCategory();
    void clearEffectBox();
    void loadEffectList();
    void startEffect();
    // Starts the effect of the two boxes' texts; errors go to the caller's guard.
    void runEffect();
    void copySimpleEffect(const QString &category, const QString &effect);
    void searchEffects();
    void showWhenNothingFound(bool nothing);
    void startFoundEffect();
    void guarded(const std::function<void()> &handler);

    Platform &m_platform;
    EffectPreviews &m_previews;
    SetupBuffers &m_buffers;
    bool &m_parentMenuNeeded;
    std::function<QString()> m_applicationFolder;
    QWidget *m_choicePanel;
    QLabel *m_mainPicture;
    QLabel *m_categoryCaption;
    FlatComboBox *m_categoryBox;
    QLabel *m_effectCaption;
    FlatComboBox *m_effectBox;
    QToolButton *m_setupButton;
    QLabel *m_searchCaption;
    FlatLineEdit *m_searchBox;
    QToolButton *m_searchButton;
    QLabel *m_resultsCaption;
    QWidget *m_resultsPanel;
    QListWidget *m_resultList;
    QLabel *m_noResults;
    EffectPanelPreview *m_preview;
};
