#pragma once

#include "setupcontext.h"

#include <QColor>

#include "widgets/framelessdialog.h"

class QLabel;
class DefinitionFile;
class SetupFlow;
class SnippetSink;
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
    // A flat button and a label at their place.
    QToolButton *speedButton(const QString &name, const QString &caption, const QRect &place);
    QLabel *caption(
        const QString &text, const QRect &place, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    // A list inside a captioned group box at the given place.
    QListWidget *groupedList(const QString &caption, const QRect &place, const QString &listName);

    void paintEvent(QPaintEvent *event) override;

    SetupContext m_context;

private:
    QLabel *m_titleStrip;
    QLabel *m_titleCaption;
    QToolButton *m_closeButton;
    QLabel *m_statusLine;
    static constexpr int StatusLineHeight = 20;
    QSize m_clientSize;
    QColor m_frameColour;
};
