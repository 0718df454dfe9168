#include "SampleWindow.h"

#include "core/AppState.h"

#include <QApplication>
#include <QDir>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(App().App_Name);
    // The shipped resources lie beside the executable.
    App().Resource_Path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Resources")) + QLatin1Char('/');
    App().Data_Folder_Path = App().Resource_Path + QStringLiteral("DataSet");

    SampleWindow window;
    window.show();
    return app.exec();
}
