#include "picturedialog.h"

#include <QGridLayout>
#include <QImageReader>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {
constexpr int PreviewSize = 180;
}

PictureDialog::PictureDialog(QWidget *parent, const QString &caption, const QString &folder, const QString &qtFilter)
    : QFileDialog(parent, caption, folder, qtFilter)
{
    // The preview needs the dialog's own layout, which a desktop's native dialog does not have.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = qtFilter.split(u";;"_s);
    if (!filters.isEmpty())
        selectNameFilter(filters.first());

    m_preview = new QLabel(this);
    m_preview->setObjectName(u"PicturePreview"_s);
    m_preview->setFixedSize(PreviewSize, PreviewSize);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    if (auto *grid = qobject_cast<QGridLayout *>(layout()))
        grid->addWidget(m_preview, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, this, &PictureDialog::showPreview);
}

void PictureDialog::showPreview(const QString &path)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > PreviewSize || size.height() > PreviewSize))
        reader.setScaledSize(size.scaled(PreviewSize - 4, PreviewSize - 4, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull()) {
        m_preview->setPixmap(QPixmap());
        m_preview->setText(QString());
        return;
    }
    m_preview->setPixmap(QPixmap::fromImage(image));
}

std::optional<QString> PictureDialog::choose(
    QWidget *parent, const QString &caption, const QString &folder, const QString &qtFilter)
{
    PictureDialog dialog(parent, caption, folder, qtFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()
        || dialog.selectedFiles().first().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}
