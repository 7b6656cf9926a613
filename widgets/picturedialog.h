#pragma once

#include <QFileDialog>

class QLabel;

// The picture-open dialog: a file dialog with the given filter, its first entry preselected, and a
// preview of the picture under the cursor.
class PictureDialog : public QFileDialog
{
    Q_OBJECT
public:
    PictureDialog(QWidget *parent, const QString &caption, const QString &qtFilter);

    QLabel *preview() const { return m_preview; }

private:
    void showPreview(const QString &path);

    QLabel *m_preview;
};
