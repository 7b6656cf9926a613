#pragma once

#include <QDialog>

// A modal window without a system frame that opens centred on the desktop and runs its opening
// work once, when it is first shown.
class FramelessDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FramelessDialog(QWidget *parent = nullptr);

    // The opening work, run once when the window is first shown.
    virtual void firstShown() = 0;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_shown = false;
};
