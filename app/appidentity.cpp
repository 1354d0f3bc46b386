#include "app/appidentity.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

QString AppIdentity::applicationName()
{
    return QStringLiteral("Orvalis-3");
}

QString AppIdentity::organizationName()
{
    return QStringLiteral("KVX");
}

QString AppIdentity::versionDate()
{
    // The date of this release, shown by the About box.
    return QStringLiteral("2026.07.25");
}

QString AppIdentity::iconResource()
{
    return QStringLiteral(":/kvx2.ico");
}

QString AppIdentity::styleSheetResource()
{
    return QStringLiteral(":/styles/styles.qss");
}

void AppIdentity::initResources()
{
    Q_INIT_RESOURCE(styles);
    Q_INIT_RESOURCE(kvx2icon);
}

QString AppIdentity::readStyleSheet(const QString &resourcePath)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void AppIdentity::setUpApplication(QApplication *app)
{
    initResources();
    const QString styleSheet = readStyleSheet(styleSheetResource());
    if (!styleSheet.isEmpty())
        app->setStyleSheet(styleSheet);
    QApplication::setApplicationName(applicationName());
    QApplication::setOrganizationName(organizationName());
    QApplication::setApplicationDisplayName(applicationName());
    QApplication::setWindowIcon(QIcon(iconResource()));
}
