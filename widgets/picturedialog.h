#pragma once

#include <QFileDialog>

#include <optional>

class QLabel;

// The picture-open dialog: a file dialog with the given filter, its first entry preselected, and a
// preview of the picture under the cursor.
class PictureDialog : public QFileDialog
{
    Q_OBJECT
public:
    PictureDialog(QWidget *parent, const QString &caption, const QString &folder, const QString &qtFilter);
    // Shows the dialog; the chosen picture, or nothing when it is cancelled.
    static std::optional<QString> choose(
        QWidget *parent, const QString &caption, const QString &folder, const QString &qtFilter);

    QLabel *preview() const { return m_preview; }

private:
    void showPreview(const QString &path);

    QLabel *m_preview;
};
