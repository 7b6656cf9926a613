#include "qtdialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace {
QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

int showBox(QWidget *parent, const QString &caption, const QString &text, MessageIcon icon,
    QMessageBox::StandardButtons buttons)
{
    QMessageBox box(boxIcon(icon), caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

std::optional<QString> chosen(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    return path;
}
}

QString QtDialogs::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        // Qt takes the patterns from the parentheses at the end of an entry, separated by blanks;
        // a description that names its patterns already loses that part.
        QString description = parts[i].trimmed();
        if (description.endsWith(u')'))
            if (const qsizetype open = description.lastIndexOf(u'('); open > 0)
                description = description.left(open).trimmed();
        entries.append(description + u" ("_s + patterns + u')');
    }
    return entries.join(u";;"_s);
}

void QtDialogs::message(const QString &text)
{
    showBox(m_parent, m_title, text, MessageIcon::None, QMessageBox::Ok);
}

bool QtDialogs::question(const QString &caption, const QString &text, MessageIcon icon)
{
    return showBox(m_parent, caption, text, icon, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogs::error(const QString &text)
{
    showBox(m_parent, m_title, text, MessageIcon::Error, QMessageBox::Ok);
}

void QtDialogs::notice(const QString &caption, const QString &text, MessageIcon icon)
{
    showBox(m_parent, caption, text, icon, QMessageBox::Ok);
}

std::optional<QString> QtDialogs::openFile(const FileDialogRequest &request)
{
    return chosen(QFileDialog::getOpenFileName(m_parent, request.caption, request.folder, qtFilter(request.filter)));
}

std::optional<QString> QtDialogs::saveFile(const FileDialogRequest &request)
{
    QFileDialog dialog(m_parent, request.caption, request.folder, qtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultExtension);
    // The program asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return chosen(dialog.selectedFiles().first());
}

std::optional<QString> QtDialogs::browseFolder(const QString &caption)
{
    return chosen(QFileDialog::getExistingDirectory(m_parent, caption, QDir::homePath()));
}

std::optional<QString> QtDialogs::openPicture(const FileDialogRequest &request)
{
    return m_openPicture(m_parent, request.caption, qtFilter(request.filter));
}

std::optional<QString> QtDialogs::pickColour(const QString &initial)
{
    const QColor start = QColor::fromString(initial);
    const QColor colour = QColorDialog::getColor(start.isValid() ? start : QColor(Qt::black), m_parent, u"其它颜色"_s);
    if (!colour.isValid())
        return std::nullopt;
    return colour.name(QColor::HexRgb).toUpper();
}
