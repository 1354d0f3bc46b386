#include "appidentity.h"

#include "astro/beamtables.h"

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
    return QString::fromLatin1(releaseDateText);
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
