#include "app/appidentity.h"
#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppIdentity::setUpApplication(&app);
    int result = 0;
    {
        MainWindow window;
        window.setWindowIcon(QApplication::windowIcon());
        window.show();
        result = app.exec();
    }
    return result;
}
