#include "replacedialog.h"

#include "findreplace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/named.h"

using namespace Qt::StringLiterals;

ReplaceDialog::ReplaceDialog(FindReplace &search, QWidget *parent) : QDialog(parent), m_search(search)
{
    setObjectName(u"ReplaceDialog"_s);
    setWindowTitle(u"替换"_s);
    setModal(false);

    Label1 = named<QLabel>(u"Label1"_s, u"查找内容(&N):"_s, this);
    Edit1 = named<QLineEdit>(u"Edit1"_s, this);
    Label1->setBuddy(Edit1);
    Label2 = named<QLabel>(u"Label2"_s, u"替换为(&P):"_s, this);
    Edit2 = named<QLineEdit>(u"Edit2"_s, this);
    Label2->setBuddy(Edit2);
    CheckBox1 = named<QCheckBox>(u"CheckBox1"_s, u"区分大小写(&C)"_s, this);
    CheckBox2 = named<QCheckBox>(u"CheckBox2"_s, u"全字匹配(&W)"_s, this);
    Button1 = named<QPushButton>(u"Button1"_s, u"查找下一个(&F)"_s, this);
    Button1->setDefault(true);
    Button2 = named<QPushButton>(u"Button2"_s, u"替换(&R)"_s, this);
    Button3 = named<QPushButton>(u"Button3"_s, u"全部替换(&A)"_s, this);
    Button4 = named<QPushButton>(u"Button4"_s, u"取消"_s, this);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    buttons->addWidget(Button4);
    buttons->addStretch();
    auto *layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Edit1, 0, 1);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(Edit2, 1, 1);
    layout->addWidget(CheckBox1, 2, 0, 1, 2);
    layout->addWidget(CheckBox2, 3, 0, 1, 2);
    layout->setRowStretch(4, 1);
    layout->addLayout(buttons, 0, 2, 5, 1);
    Edit1->setMinimumWidth(200);

    connect(Edit1, &QLineEdit::textChanged, this, &ReplaceDialog::store);
    connect(Edit2, &QLineEdit::textChanged, this, &ReplaceDialog::store);
    connect(CheckBox1, &QCheckBox::toggled, this, &ReplaceDialog::store);
    connect(CheckBox2, &QCheckBox::toggled, this, &ReplaceDialog::store);
    connect(Button1, &QPushButton::clicked, this, &ReplaceDialog::findNext);
    connect(Button2, &QPushButton::clicked, this, &ReplaceDialog::replaceOne);
    connect(Button3, &QPushButton::clicked, this, &ReplaceDialog::replaceAll);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

void ReplaceDialog::load()
{
    // A copy: each control set here stores all of them back.
    const SearchState::ReplaceWindow state = m_search.state().replace;
    if (Edit1->text() != state.findText)
        Edit1->setText(state.findText);
    if (Edit2->text() != state.replaceText)
        Edit2->setText(state.replaceText);
    CheckBox1->setChecked(state.options.matchCase);
    CheckBox2->setChecked(state.options.wholeWord);
    store();
}

void ReplaceDialog::store()
{
    SearchState::ReplaceWindow &state = m_search.state().replace;
    state.findText = Edit1->text();
    state.replaceText = Edit2->text();
    state.options = {CheckBox1->isChecked(), CheckBox2->isChecked()};
    // As in the system's replace window, there is nothing to search for without a text.
    const bool searchable = !state.findText.isEmpty();
    Button1->setEnabled(searchable);
    Button2->setEnabled(searchable);
    Button3->setEnabled(searchable);
}

void ReplaceDialog::findNext()
{
    m_search.findFromReplaceWindow();
    emit findWindowChanged();
}

void ReplaceDialog::replaceOne()
{
    m_search.replaceOne();
}

void ReplaceDialog::replaceAll()
{
    m_search.replaceAll();
}

void ReplaceDialog::showEvent(QShowEvent *event)
{
    load();
    Edit1->selectAll();
    Edit1->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}
