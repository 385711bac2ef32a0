// The main window as the program shows it, with its clock in one of three modes:
//   clock    Timer_Main as built (the status bar repaints the clock panel only)
//   stopped  Timer_Main stopped: nothing ticks
//   stock    Timer_Main stopped; a stock QStatusBar with a QLabel updated every second instead
// Usage: idleclock MODE [URL] [gl]; with gl the page's scene is drawn through OpenGL even where
// the program would choose software.

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "Main_Frm.h"
#include "apptitle.h"
#include "errorbox.h"
#include "renderingpath.h"
#include "statustexts.h"

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // "gl" as third argument measures the OpenGL path, whatever the machine has.
    const bool gl = argc > 3 && qstrcmp(argv[3], "gl") == 0;
    const bool openGLAvailable = gl || prepareRenderingPath();
    TApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"QuorLimsDemo"_s);
    QGuiApplication::setApplicationDisplayName(applicationTitle());
    const QStringList args = QCoreApplication::arguments();
    if (!gl)
        chooseRenderingPath(openGLAvailable);

    const QString mode = args.value(1, u"clock"_s);
    TForm_Main window(QUrl(args.value(2, u"about:blank"_s)));
    Form_Main = &window;
    if (mode != u"clock")
        window.findChild<QTimer *>(u"Timer_Main"_s)->stop();
    if (mode == u"stock") {
        auto *bar = new QStatusBar;
        auto *label = new QLabel(bar);
        bar->addWidget(label);
        window.setStatusBar(bar);
        auto *tick = new QTimer(&window);
        QObject::connect(tick, &QTimer::timeout, label,
                         [label] { label->setText(clockText(QDateTime::currentDateTime())); });
        tick->start(1000);
    }
    window.showMaximized();
    const int status = QApplication::exec();
    Form_Main = nullptr;
    return status;
}
