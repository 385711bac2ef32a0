#include "program.h"

#include <QIcon>

#include "Main_Frm.h"
#include "apptitle.h"
#include "errorbox.h"
#include "renderingpath.h"

int runProgram(int &argc, char **argv, const QUrl &startUrl)
{
    // The web engine shares GL contexts with the widgets; this must precede the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    const bool openGLAvailable = prepareRenderingPath();
    TApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("QuorLimsDemo"));
    QGuiApplication::setApplicationDisplayName(applicationTitle());
    QGuiApplication::setDesktopFileName(QStringLiteral("QuorLimsDemo"));
    // The icon's images are compiled into the program only; other hosts of runProgram show none.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 72})
        icon.addFile(QStringLiteral(":/icons/quorlims-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    chooseRenderingPath(openGLAvailable);

    TForm_Main mainWindow(startUrl);
    Form_Main = &mainWindow;
    mainWindow.showAtStart();
    const int status = QApplication::exec();
    Form_Main = nullptr;
    return status;
}
