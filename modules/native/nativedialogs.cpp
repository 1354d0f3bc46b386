#include "modules/native/nativedialogs.h"

#include "modules/native/imagetitlepreview.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

bool NativeDialogs::spectrumTitle(QWidget *parent, const QImage &image, QString *title, int *pointSize)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Dynamic spectrum screenshot"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *preview = new ImageTitlePreview(&dialog);
    preview->setImage(image);
    auto *scroll = new QScrollArea(&dialog);
    scroll->setWidget(preview);
    scroll->setWidgetResizable(true);
    layout->addWidget(scroll, 1);

    auto *fields = new QFormLayout;
    auto *titleEdit = new QLineEdit(&dialog);
    auto *size = new QSpinBox(&dialog);
    size->setRange(6, 72);
    size->setValue(12);
    fields->addRow(QStringLiteral("Title:"), titleEdit);
    fields->addRow(QStringLiteral("Font size:"), size);
    layout->addLayout(fields);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->setCenterButtons(true);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(titleEdit, &QLineEdit::textChanged, preview, &ImageTitlePreview::setTitle);
    QObject::connect(size, QOverload<int>::of(&QSpinBox::valueChanged), preview,
                     &ImageTitlePreview::setPointSize);
    dialog.resize(std::min(image.width() + 60, 1400), std::min(image.height() + 180, 900));

    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (title)
        *title = titleEdit->text();
    if (pointSize)
        *pointSize = size->value();
    return true;
}
