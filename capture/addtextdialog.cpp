#include "capture/addtextdialog.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

AddTextDialog::AddTextDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Add text"));
    resize(800, 420);

    m_editor = new QPlainTextEdit(this);
    m_editor->setObjectName(QStringLiteral("captureTextEdit"));
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setCenterButtons(true);
    for (QAbstractButton *button : buttons->buttons())
        button->setMinimumSize(130, 36);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_editor, 1);
    layout->addWidget(buttons);

    m_editor->setFocus();
}

QString AddTextDialog::text() const
{
    return m_editor->toPlainText();
}

void AddTextDialog::setText(const QString &text)
{
    m_editor->setPlainText(text);
}
