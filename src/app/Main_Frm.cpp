#include "Main_Frm.h"

#include <QVariant>

#include "buildsettings.h"
#include "errorbox.h"
#include "platform.h"
#include "tembeddedwb.h"
#include "ui_Main_Frm.h"

TForm_Main *Form_Main = nullptr;

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

    runHandler([this] { FormCreate(); });
}

TForm_Main::~TForm_Main() = default;

QUrl TForm_Main::defaultStartUrl()
{
    return QUrl(QStringLiteral(LIMS_START_URL));
}

void TForm_Main::FormCreate()
{
    ui->WebBrowser->Navigate2(m_startUrl);
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
