#include "finddialog.h"

#include "findreplace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "widgets/named.h"

using namespace Qt::StringLiterals;

FindDialog::FindDialog(FindReplace &search, QWidget *parent) : QDialog(parent), m_search(search)
{
    setObjectName(u"FindDialog"_s);
    setWindowTitle(u"查找"_s);
    setModal(false);

    Label1 = named<QLabel>(u"Label1"_s, u"查找内容(&N):"_s, this);
    Edit1 = named<QLineEdit>(u"Edit1"_s, this);
    Label1->setBuddy(Edit1);
    CheckBox1 = named<QCheckBox>(u"CheckBox1"_s, u"区分大小写(&C)"_s, this);
    CheckBox2 = named<QCheckBox>(u"CheckBox2"_s, u"全字匹配(&W)"_s, this);
    GroupBox1 = named<QGroupBox>(u"GroupBox1"_s, u"方向"_s, this);
    RadioButton1 = named<QRadioButton>(u"RadioButton1"_s, u"向上(&U)"_s, GroupBox1);
    RadioButton2 = named<QRadioButton>(u"RadioButton2"_s, u"向下(&D)"_s, GroupBox1);
    RadioButton2->setChecked(true);
    Button1 = named<QPushButton>(u"Button1"_s, u"查找下一个(&F)"_s, this);
    Button1->setDefault(true);
    Button2 = named<QPushButton>(u"Button2"_s, u"取消"_s, this);

    auto *direction = new QHBoxLayout(GroupBox1);
    direction->addWidget(RadioButton1);
    direction->addWidget(RadioButton2);
    auto *options = new QVBoxLayout;
    options->addWidget(CheckBox1);
    options->addWidget(CheckBox2);
    options->addStretch();
    auto *layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Edit1, 0, 1, 1, 2);
    layout->addLayout(options, 1, 0, 1, 2);
    layout->addWidget(GroupBox1, 1, 2);
    layout->addWidget(Button1, 0, 3);
    layout->addWidget(Button2, 1, 3, Qt::AlignTop);
    Edit1->setMinimumWidth(200);

    connect(Edit1, &QLineEdit::textChanged, this, &FindDialog::store);
    connect(CheckBox1, &QCheckBox::toggled, this, &FindDialog::store);
    connect(CheckBox2, &QCheckBox::toggled, this, &FindDialog::store);
    connect(Button1, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

void FindDialog::load()
{
    // A copy: each control set here stores all of them back.
    const SearchState::FindWindow state = m_search.state().find;
    if (Edit1->text() != state.findText)
        Edit1->setText(state.findText);
    CheckBox1->setChecked(state.options.matchCase);
    CheckBox2->setChecked(state.options.wholeWord);
    store();
}

void FindDialog::store()
{
    SearchState::FindWindow &state = m_search.state().find;
    state.findText = Edit1->text();
    state.options = {CheckBox1->isChecked(), CheckBox2->isChecked()};
    // As in the system's find window, there is nothing to find without a text.
    Button1->setEnabled(!state.findText.isEmpty());
}

void FindDialog::findNext()
{
    m_search.find();
}

void FindDialog::showEvent(QShowEvent *event)
{
    load();
    Edit1->selectAll();
    Edit1->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}
