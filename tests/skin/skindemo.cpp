// Shows skinned windows for screenshots, and measures what skinning costs.
//   skindemo main     the main window: caption bar, a page, the status bar
//   skindemo dialog   the confirmation dialog over the main window
//   skindemo maximized the main window maximised
//   skindemo standard  a message box and an input dialog over the main window
//   skindemo cost skinned|plain   start-up time and memory with or without the skin
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>

#ifdef SKINDEMO_WEB
#include <QWebEngineView>
#endif

#include "skintestsupport.h"

using namespace Qt::StringLiterals;

namespace {

const QString title = u"实验室信息管理系统（LIMS）"_s;

const QString page = uR"(<html><body style="margin:0;font-family:'WenQuanYi Micro Hei',sans-serif;background:#f7f9fb">
<div style="background:#24507a;color:#fff;padding:14px 24px;font-size:20px">QuorLims 实验室信息管理</div>
<div style="padding:24px"><h3 style="color:#24507a">待检样品</h3>
<table cellpadding="8" style="border-collapse:collapse;width:70%;background:#fff;border:1px solid #d5dbe2">
<tr style="background:#eef2f6"><th align="left">样品编号</th><th align="left">名称</th><th align="left">状态</th></tr>
<tr><td>S-2026-0412</td><td>水质 pH</td><td>检测中</td></tr>
<tr><td>S-2026-0413</td><td>土壤重金属</td><td>待审核</td></tr>
<tr><td>S-2026-0414</td><td>食品微生物</td><td>已完成</td></tr></table></div></body></html>)"_s;

long residentKiB()
{
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : -1;
}

QIcon demoIcon()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xf4, 0xf7, 0xfa));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
    p.setBrush(QColor(0x3a, 0x6e, 0xa5));
    p.drawPolygon(QPolygonF({QPointF(12, 7), QPointF(20, 7), QPointF(20, 14), QPointF(26, 25),
                              QPointF(6, 25), QPointF(12, 14)}));
    return QIcon(pm);
}

QMainWindow *makeMainWindow(bool web = true)
{
    auto *window = new QMainWindow;
    window->setWindowTitle(title);
    window->setMinimumSize(1024, 768);
    window->setGeometry(193, 106, 1024, 768);
    auto *status = new TStatusBar(window);
    status->addWidget(new QLabel(u"  QuorLims 演示"_s));
    status->addWidget(new QLabel(u"  www.example.com"_s), 1);
    status->addPermanentWidget(new QLabel(u"2026-12-11 12:00:00  "_s));
    window->setStatusBar(status);
#ifdef SKINDEMO_WEB
    if (web) {
        auto *view = new QWebEngineView(window);
        view->setHtml(page);
        window->setCentralWidget(view);
        return window;
    }
#endif
    auto *label = new QLabel(page, window);
    label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    window->setCentralWidget(label);
    return window;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(title);
    QApplication::setWindowIcon(demoIcon());
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"main"_s;

    if (mode == u"cost") {
        // Run once with "skinned" and once with "plain", each in a fresh process, so both pay
        // Qt's own first-time costs and the difference is the skin's.
        const bool skinned = argc > 2 && QByteArrayView(argv[2]) == "skinned";
        const long before = residentKiB();
        QElapsedTimer timer;
        timer.start();
        TSkinData skin;
        if (skinned) {
            skin.loadSkin();
        }
        const qint64 loadNs = timer.nsecsElapsed();
        const long afterLoad = residentKiB();
        timer.restart();
        // Without the browser view, whose own start-up would drown the skin's.
        std::unique_ptr<QMainWindow> window(makeMainWindow(false));
        window->show();
        window->grab(); // the first paint, caption bar and frame included
        const qint64 mainNs = timer.nsecsElapsed();
        timer.restart();
        StandInDialog dialog;
        dialog.show();
        dialog.grab();
        const qint64 dialogNs = timer.nsecsElapsed();
        std::printf("%s: package load %.2f ms (RSS +%ld KiB); main window show + first paint "
                    "%.2f ms; dialog %.2f ms; RSS +%ld KiB over start\n",
                    skinned ? "skinned" : "plain", loadNs / 1e6, afterLoad - before, mainNs / 1e6,
                    dialogNs / 1e6, residentKiB() - before);
        return 0;
    }

    TSkinData skin;
    skin.setObjectName(u"SkinData_Main"_s);
    skin.loadSkin();
    skin.setActive(true);

    std::unique_ptr<QMainWindow> window(makeMainWindow());
    window->show();
    if (mode == u"maximized") {
        window->showMaximized();
    }
    std::unique_ptr<QMessageBox> box;
    std::unique_ptr<QInputDialog> input;
    if (mode == u"standard") {
        QTimer::singleShot(300, window.get(), [&box, &input, &window] {
            box = std::make_unique<QMessageBox>(QMessageBox::Question, title, u"保存修改吗？"_s,
                                                QMessageBox::Yes | QMessageBox::No, window.get());
            box->setCheckBox(new QCheckBox(u"不再询问"_s));
            box->move(260, 240);
            box->show();
            input = std::make_unique<QInputDialog>(window.get());
            input->setWindowTitle(u"Prompt"_s);
            input->setLabelText(u"样品编号："_s);
            input->setTextValue(u"S-2026-0415"_s);
            input->move(700, 240);
            input->show();
        });
    }
    std::unique_ptr<StandInDialog> dialog;
    if (mode == u"dialog") {
        QTimer::singleShot(300, window.get(), [&dialog, &window] {
            dialog = std::make_unique<StandInDialog>(window.get());
            dialog->move(341, 297);
            dialog->show();
        });
    }
    return QApplication::exec();
}
