#include "program.h"

#include "Main_Frm.h"
#include "apptitle.h"
#include "errorbox.h"
#include "renderingpath.h"

int runProgram(int &argc, char **argv, const QUrl &startUrl)
{
    // The web engine shares GL contexts with the widgets; this must precede the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("QuorLimsDemo"));
    QGuiApplication::setApplicationDisplayName(applicationTitle());
    chooseRenderingPath();

    TForm_Main mainWindow(startUrl);
    Form_Main = &mainWindow;
    mainWindow.showAtStart();
    const int status = QApplication::exec();
    Form_Main = nullptr;
    return status;
}
