#include <QIcon>

#include "Main_Frm.h"
#include "apptitle.h"
#include "errorbox.h"

int main(int argc, char *argv[])
{
    // The web engine shares GL contexts with the widgets; this must precede the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("QuorLimsDemo"));
    QGuiApplication::setApplicationDisplayName(applicationTitle());

    TForm_Main mainWindow;
    Form_Main = &mainWindow;
    mainWindow.showAtStart();
    const int status = QApplication::exec();
    Form_Main = nullptr;
    return status;
}
