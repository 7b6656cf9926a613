#pragma once

#include "setupcontext.h"

#include <QColor>

#include <memory>

#include "widgets/framelessdialog.h"

class QGroupBox;
class QLabel;
class DefinitionFile;
class EffectPreviewPane;
class PreviewAssembly;
struct PreviewContent;
class SetupFlow;
class SnippetSink;
class TitleStrip;
struct SetupState;
class QListWidget;
class QToolButton;

// The frame the setup windows share: no system frame, a title strip that drags the window, a close
// button at its right end, a one-panel status line; centred on the desktop.
class SetupWindow : public FramelessDialog
{
    Q_OBJECT
public:
    SetupWindow(const SetupContext &context, QSize clientSize, QWidget *parent = nullptr,
        const QColor &frameColour = QColor(83, 83, 255));
    ~SetupWindow() override;

    // The live preview, when the window has one.
    EffectPreviewPane *preview() const { return m_preview; }

protected:
    // Runs a handler inside the error guard: a run-time error ends it and shows the error box.
    bool guarded(const std::function<void()> &handler);
    void message(const QString &text);
    // The title strip's close button runs handler instead of closing the window itself.
    void setCloseHandler(const std::function<void()> &handler);
    // The copy step: asks for the folder and copies the effect's files there; false when the user
    // cancelled, and nothing was copied.
    bool copyToChosenFolder(const SetupFlow &flow, const SetupState &state);
    // The file lists and status line as opening filled them.
    void showOpened(QListWidget *images, QListWidget *textFiles, const SetupState &state);
    // The copy action of the menu and text windows after their own checks: the copy step when the
    // effect has files, then the assembly into the snippet buffer, and the window closes. A missing
    // definition file is reported instead of the assembly; the window then closes or stays as
    // whenMissing says. After a cancelled folder choice it closes even when the assembly stopped
    // with an error.
    enum class WhenMissing { Close, StayOpen };
    void copyAndAssemble(const SetupFlow &flow, const SetupState &state, const DefinitionFile &definition,
        WhenMissing whenMissing, const std::function<void(SnippetSink &)> &assemble);
    // Asks for a picture and lists it at the end of the images.
    void addPicture(SetupState &state, QListWidget *images, const QString &filter);
    // A list inside a captioned group box at the given place.
    QListWidget *groupedList(const QString &caption, const QRect &place, const QString &listName);

    // A live preview under the window's boxes when the main window offers previews: source assembles
    // the effect with what the window holds now. A change of any box or list, and every button,
    // brings it up to date. Called once the window's controls are made.
    void addPreview(std::function<PreviewContent()> source);
    // The assembly a preview uses, with the library's sample pictures.
    const PreviewAssembly &previewAssembly();

    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Closing takes the preview's scratch folder with it.
    void done(int result) override;

    SetupContext m_context;

private:
    // The preview panel and the status line, from the bottom of the window's own controls down.
    void layoutBottom();
    void showPreview(bool shown);

    TitleStrip *m_titleStrip;
    QLabel *m_statusLine;
    static constexpr int StatusLineHeight = 20;
    static constexpr int PreviewHeight = 250;
    static constexpr int SmallestPreviewHeight = 100;
    QGroupBox *m_previewBox = nullptr;
    EffectPreviewPane *m_preview = nullptr;
    QToolButton *m_previewToggle = nullptr;
    bool m_previewShown = false;
    std::unique_ptr<PreviewAssembly> m_previewAssembly;
    QSize m_clientSize;
    QColor m_frameColour;
};
