#include "Main_Frm.h"

#include <QCloseEvent>
#include <QSessionManager>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>

#include "Unit_MessageBox.h"
#include "buildsettings.h"
#include "errorbox.h"
#include "platform.h"
#include "sessionend.h"
#include "statustexts.h"
#include "tembeddedwb.h"
#include "tskindata.h"
#include "tstatusbar.h"
#include "ui_Main_Frm.h"

using namespace Qt::StringLiterals;

TForm_Main *Form_Main = nullptr;

namespace {

// The session manager's query as the session decision sees it.
class QtSessionEndQuery final : public SessionEndQuery
{
public:
    explicit QtSessionEndQuery(QSessionManager &manager)
        : m_manager(manager)
    {
    }
    bool allowsInteraction() override { return m_manager.allowsInteraction(); }
    void cancel() override { m_manager.cancel(); }
    void release() override { m_manager.release(); }

private:
    QSessionManager &m_manager;
};

const QString exitQuestion = u"确认退出系统？"_s;

} // namespace

TForm_Main::TForm_Main(const QUrl &startUrl, QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::TForm_Main>())
    , m_startUrl(startUrl)
{
    ui->setupUi(this);
    // The layout's font is 13 pixels high at any resolution; Designer stores point sizes only.
    QFont layoutFont = font();
    layoutFont.setPixelSize(13);
    setFont(layoutFont);
    // uic only sizes a top-level form; its place comes from the layout as well.
    move(property("restoredPosition").toPoint());

    // The status bar keeps its own font, 15 pixels high, whatever the window's.
    QFont barFont = ui->StatusBar_Main->font();
    barFont.setPixelSize(15);
    ui->StatusBar_Main->setFont(barFont);
    ui->StatusBar_Main->addPanel(0, Qt::AlignLeft);
    ui->StatusBar_Main->addPanel(100, Qt::AlignHCenter, u"岚序软件"_s);
    ui->StatusBar_Main->addPanel(220, Qt::AlignHCenter, QStringLiteral(LIMS_MAKER_URL));
    ui->StatusBar_Main->addPanel(500, Qt::AlignHCenter,
                                 contactLine(QStringLiteral(LIMS_MAKER_EMAIL),
                                             QStringLiteral(LIMS_MAKER_QQ),
                                             QStringLiteral(LIMS_MAKER_PHONE)));
    ui->StatusBar_Main->addPanel(50, Qt::AlignLeft);

    // The page's window.close() is one more close request; answered outside the engine's signal.
    connect(ui->WebBrowser->page(), &QWebEnginePage::windowCloseRequested, this, &QWidget::close,
            Qt::QueuedConnection);
    // A log-off or shut-down asks through the same dialog, synchronously inside the query.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TForm_Main::answerSessionEnd,
            Qt::DirectConnection);

    // Unpacks the skin and starts watching the program's windows; stored as active, so every
    // window is skinned from its first showing.
    SkinData_Main = new TSkinData(this);
    SkinData_Main->setObjectName(u"SkinData_Main"_s);
    SkinData_Main->loadSkin();

    // Counts from creation; the clock panel stays blank until the first tick.
    Timer_Main = new QTimer(this);
    Timer_Main->setObjectName(u"Timer_Main"_s);
    Timer_Main->setInterval(1000);
    connect(Timer_Main, &QTimer::timeout, this, &TForm_Main::Timer_MainTimer);
    Timer_Main->start();

    runHandler([this] { FormCreate(); });
}

TForm_Main::~TForm_Main() = default;

QUrl TForm_Main::defaultStartUrl()
{
    return QUrl(QStringLiteral(LIMS_START_URL));
}

void TForm_Main::FormCreate()
{
    // Steps in order: switch the skin on, then open the start page.
    SkinData_Main->setActive(true);
    ui->WebBrowser->Navigate2(m_startUrl);
}

void TForm_Main::FormCloseQuery(QObject *, bool &canClose)
{
    canClose = AskConfirm(exitQuestion);
}

void TForm_Main::closeEvent(QCloseEvent *event)
{
    bool canClose = m_sessionConsented;
    if (!canClose)
        runHandler([&] { FormCloseQuery(this, canClose); });
    if (!canClose) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::exit(0);
}

void TForm_Main::changeEvent(QEvent *event)
{
    // A page in full screen (video, presentation, F11) owns the whole screen.
    if (event->type() == QEvent::WindowStateChange)
        ui->StatusBar_Main->setVisible(!isFullScreen());
    QMainWindow::changeEvent(event);
}

void TForm_Main::answerSessionEnd(QSessionManager &manager)
{
    QtSessionEndQuery query(manager);
    runHandler([&] {
        m_sessionConsented = ::answerSessionEnd(query, [] { return AskConfirm(exitQuestion); });
    });
}

void TForm_Main::Timer_MainTimer()
{
    ui->StatusBar_Main->setPanelText(4, clockText(m_now()));
}

void TForm_Main::setTimeSource(std::function<QDateTime()> now)
{
    m_now = std::move(now);
}

void TForm_Main::showAtStart()
{
    if (Platform::startupShowState() == Platform::StartupShowState::Minimized)
        showMinimized();
    else
        showMaximized();
}

TEmbeddedWB *TForm_Main::webBrowser() const
{
    return ui->WebBrowser;
}

TStatusBar *TForm_Main::statusBar() const
{
    return ui->StatusBar_Main;
}
