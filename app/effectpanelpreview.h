#pragma once

#include <QWidget>

#include <functional>

class EffectPreviewPane;
class EffectPreviews;
class QLabel;
class QToolButton;
struct Platform;

// The small preview under the effect list: the chosen effect as it comes, with the values its window
// opens with and the library's sample pictures. An effect that cannot be assembled says why in the
// preview's line, never in a box. The browser engine starts with the first effect chosen.
class EffectPanelPreview : public QWidget
{
    Q_OBJECT
public:
    EffectPanelPreview(Platform &platform, EffectPreviews &previews, std::function<QString()> applicationFolder,
        QWidget *parent = nullptr);

    void showEffect(const QString &category, const QString &effect);
    // No effect is chosen.
    void showNothing();

    EffectPreviewPane *pane() const { return m_pane; }

private:
    void showPane(bool shown);

    Platform &m_platform;
    EffectPreviews &m_previews;
    std::function<QString()> m_applicationFolder;
    QToolButton *m_toggle;
    EffectPreviewPane *m_pane = nullptr;
    QString m_category;
    QString m_effect;
};
