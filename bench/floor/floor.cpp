// What a maximised widgets window with the main window's clock and a close confirmation costs
// without a web engine: the lower bound the benchmark sets the program's figures against.

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Asks with a stock message box before closing: the floor for close request → dialog shown.
class FloorWindow final : public QMainWindow
{
protected:
    void closeEvent(QCloseEvent *event) override
    {
        const auto answer = QMessageBox::question(this, windowTitle(), u"Quit?"_s);
        if (answer == QMessageBox::Yes)
            event->accept();
        else
            event->ignore();
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FloorWindow window;
    window.setWindowTitle(u"bench floor"_s);
    window.setCentralWidget(new QWidget(&window));

    // A fixed width keeps a tick to a repaint of the label, as the program's clock panel does.
    auto *clock = new QLabel(&window);
    clock->setFixedWidth(220);
    window.statusBar()->addPermanentWidget(clock);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, clock, [clock] {
        clock->setText(QDateTime::currentDateTime().toString(u"yyyy年M月d日 hh:mm:ss"_s));
    });
    timer.start(1000);

    window.showMaximized();
    return QApplication::exec();
}
