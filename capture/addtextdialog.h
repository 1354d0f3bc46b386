#pragma once

#include <QDialog>

class QPlainTextEdit;

// The "Add text" dialog of the screenshot editor: one plain-text editor without
// line wrapping. Created per use on the GUI thread and run modally.
class AddTextDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AddTextDialog(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    QPlainTextEdit *editor() const { return m_editor; }

private:
    QPlainTextEdit *m_editor = nullptr;
};
