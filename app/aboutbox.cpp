#include "app/aboutbox.h"

#include "app/appidentity.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QStringList>

QString AboutBox::buildDateText(const QString &executablePath)
{
    const QDateTime modified = QFileInfo(executablePath).lastModified();
    if (!modified.isValid())
        return QStringLiteral("unknown");
    return modified.toString(QStringLiteral("dd.MM.yyyy hh:mm"));
}

QString AboutBox::text(const QString &buildDate)
{
    // The contact lines name roles; the observatory fills in its own people.
    return QStringLiteral("Software developer: [developer's name], e-mail: [developer's e-mail]\n"
                          "Scientific lead: [scientific lead's name], e-mail: [lead's e-mail]\n"
                          "Project website: [project web address]\n"
                          "\n"
                          "Version: %1_visual_%2\n"
                          "Build date: %3")
        .arg(AppIdentity::applicationName(), AppIdentity::versionDate(), buildDate);
}

void AboutBox::prepare(QMessageBox *box, const QString &text)
{
    box->setWindowTitle(QStringLiteral("About"));
    box->setIcon(QMessageBox::Information);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setStandardButtons(QMessageBox::Ok);
    box->setModal(true);
    if (box->layout())
        box->layout()->setSizeConstraint(QLayout::SetFixedSize);

    QLabel *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    box->ensurePolished();
    label->ensurePolished();
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    label->setWordWrap(false);
    label->setMinimumWidth(widest + 12);
    box->setMinimumWidth(widest + 117);
}
