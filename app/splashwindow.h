#pragma once

#include <QDialog>

class QLabel;

// The splash window at start-up and the about box: the program's picture, closed by a click on it.
class SplashWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void closeWindow();

    QLabel *m_picture;
    QLabel *m_sourceNote;
};
