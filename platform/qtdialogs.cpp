#include "qtdialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>
#include <QSpacerItem>
#include <QTreeView>

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

// A box that tells a dismissal (Escape, its close box) from a click on one of its buttons: Qt's own
// box takes either for a click on No.
class Box : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;
    bool dismissed() const { return m_dismissed; }
    // A plain message opens in the middle of the screen, whichever window it belongs to.
    void centreOnScreen() { m_onScreen = true; }
    void reject() override
    {
        m_dismissed = true;
        QDialog::done(QDialog::Rejected);
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        if (m_onScreen && screen()) {
            const QRect area = screen()->availableGeometry();
            move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
        }
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel))
            reject();
        else
            QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        event->accept();
        if (isVisible())
            reject();
    }

private:
    bool m_dismissed = false;
    bool m_onScreen = false;
};

// The button clicked, or nothing when the box was dismissed.
std::optional<QMessageBox::StandardButton> showBox(QWidget *parent, const QString &caption, const QString &text,
    MessageIcon icon, QMessageBox::StandardButtons buttons, bool onScreen = false)
{
    // A box belongs to the window the user works in, the Find and Replace windows too: it is shown over
    // that window, and the keyboard goes back there when it closes, so that the next Enter meant for
    // that window never reaches the page.
    const QPointer<QWidget> working
        = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    Box box(boxIcon(icon), caption, QtDialogs::shownText(text), buttons, working ? working.data() : parent);
    box.setTextFormat(Qt::PlainText);
    if (onScreen)
        box.centreOnScreen();
    // Wide enough that the window's title bar shows the whole caption beside its buttons.
    if (!caption.isEmpty())
        if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
            const int width = box.fontMetrics().horizontalAdvance(caption) + 8 * box.fontMetrics().height() + 48;
            grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                grid->columnCount());
        }
    box.exec();
    if (working && working->isVisible())
        working->activateWindow();
    if (box.dismissed() || !box.clickedButton())
        return std::nullopt;
    return box.standardButton(box.clickedButton());
}
}

QtDialogs::QtDialogs(QString title, PictureOpener openPicture, QWidget *parent)
    : m_title(std::move(title))
    , m_openPicture(std::move(openPicture))
    , m_parent(parent)
    , m_folders(QDir::homePath())
{
}

QWidget *QtDialogs::owner() const
{
    // A setup window is modal: what it asks for belongs to it, not to the main window behind it.
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_parent;
}

QString QtDialogs::shownText(const QString &text)
{
    QString shown = text;
    shown.replace(u"\r\n"_s, u"\n"_s);
    shown.replace(u'\r', u'\n');
    return shown;
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
    showBox(m_parent, m_title, text, MessageIcon::None, QMessageBox::Ok, true);
}

Answer QtDialogs::ask(const QString &caption, const QString &text, MessageIcon icon)
{
    const auto button = showBox(m_parent, caption, text, icon, QMessageBox::Yes | QMessageBox::No);
    if (!button)
        return Answer::Dismissed;
    return *button == QMessageBox::Yes ? Answer::Yes : Answer::No;
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
    const QString path = QFileDialog::getOpenFileName(
        owner(), request.caption, m_folders.startFolder(request.folder), qtFilter(request.filter));
    if (path.isEmpty())
        return std::nullopt;
    m_folders.fileChosen(path);
    return path;
}

std::optional<SaveAnswer> QtDialogs::saveFile(const FileDialogRequest &request)
{
    QFileDialog dialog(owner(), request.caption, m_folders.startFolder(request.folder), qtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultExtension);
    // The program asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    // The choice beside the name goes in the dialog's own last row, under the file type.
    QComboBox *choices = nullptr;
    if (!request.choices.isEmpty()) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
            choices = new QComboBox(&dialog);
            choices->setObjectName(QStringLiteral("SaveChoice"));
            choices->addItems(request.choices);
            choices->setCurrentIndex(request.choice);
            const int row = grid->rowCount();
            grid->addWidget(new QLabel(request.choiceLabel, &dialog), row, 0);
            grid->addWidget(choices, row, 1);
        }
    }
    // Qt's own dialog opens small: names, sizes and dates would be cut short.
    if (dialog.testOption(QFileDialog::DontUseNativeDialog)) {
        const QRect screen = dialog.screen() ? dialog.screen()->availableGeometry() : QRect(0, 0, 1024, 768);
        dialog.resize(qMin(820, screen.width() - 40), qMin(540, screen.height() - 60));
        if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView")))
            details->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || dialog.selectedFiles()[0].isEmpty())
        return std::nullopt;
    m_folders.fileChosen(dialog.selectedFiles().first());
    return SaveAnswer { dialog.selectedFiles().first(), choices ? choices->currentIndex() : request.choice };
}

std::optional<QString> QtDialogs::browseFolder(const QString &caption)
{
    const QString folder = QFileDialog::getExistingDirectory(owner(), caption, m_folders.startFolder(QString()));
    if (folder.isEmpty())
        return std::nullopt;
    m_folders.folderChosen(folder);
    return folder;
}

std::optional<QString> QtDialogs::openPicture(const FileDialogRequest &request)
{
    const auto picture
        = m_openPicture(owner(), request.caption, m_folders.startFolder(request.folder), qtFilter(request.filter));
    if (picture)
        m_folders.fileChosen(*picture);
    return picture;
}

std::optional<QString> QtDialogs::pickColour(const QString &initial)
{
    const QColor start = QColor::fromString(initial);
    const QColor colour = QColorDialog::getColor(start.isValid() ? start : QColor(Qt::black), owner(), u"其它颜色"_s);
    if (!colour.isValid())
        return std::nullopt;
    return colour.name(QColor::HexRgb).toUpper();
}
