#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QPainter>
#include <QStatusBar>

#include "tskindata.h"

// Stand-ins with the class names and properties the skin meets in the program, so the skin is
// tested without the program's own controls.
class TRzBitBtn : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(int Margin MEMBER m_margin)
    Q_PROPERTY(int Spacing MEMBER m_spacing)
    Q_PROPERTY(int Layout MEMBER m_layout)

public:
    using QPushButton::QPushButton;

private:
    int m_margin = 2;
    int m_spacing = 4;
    int m_layout = 0;
};

class TStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    using QStatusBar::QStatusBar;
};

// The program's dialog: client 342x173, caption text only, topmost, two bitmap buttons.
class StandInDialog : public QDialog
{
    Q_OBJECT

public:
    explicit StandInDialog(QWidget *parent = nullptr)
        : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowStaysOnTopHint)
    {
        setWindowTitle(QStringLiteral("实验室信息管理系统（LIMS）"));
        tip = new QLabel(QStringLiteral("确认退出系统？"), this);
        tip->setObjectName(QStringLiteral("Label_Tip"));
        tip->setGeometry(21, 30, 300, 75);
        tip->setAlignment(Qt::AlignCenter);
        auto *caption = new QLabel(QStringLiteral("提示："), this);
        caption->setGeometry(8, 8, 45, 15);
        ok = new TRzBitBtn(QStringLiteral("确定"), this);
        ok->setObjectName(QStringLiteral("RzBitBtn_Ok"));
        ok->setGeometry(86, 125, 75, 25);
        cancel = new TRzBitBtn(QStringLiteral("取消"), this);
        cancel->setObjectName(QStringLiteral("RzBitBtn_Cancel"));
        cancel->setGeometry(182, 125, 75, 25);
        cancel->setDefault(true);
        ok->setIcon(glyph(QColor(0x2e, 0x8b, 0x3a), true));
        cancel->setIcon(glyph(QColor(0xc0, 0x39, 0x2b), false));
        for (QPushButton *b : {ok, cancel}) {
            b->setIconSize(QSize(16, 16));
        }
        for (QLabel *l : {tip, caption}) {
            QPalette p = l->palette();
            p.setColor(QPalette::WindowText, Qt::darkBlue);
            l->setPalette(p);
        }
    }

    void setVisible(bool visible) override
    {
        if (visible) {
            ensurePolished();
            setFixedSize(QSize(342, 173).grownBy(contentsMargins()));
        }
        QDialog::setVisible(visible);
    }

    // The client area, where the layout's positions are measured from.
    QPoint clientOrigin() const { return contentsRect().topLeft(); }

    QLabel *tip = nullptr;
    TRzBitBtn *ok = nullptr;
    TRzBitBtn *cancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override
    {
        // Positions in the layout are within the client area.
        for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!w->property("_moved").toBool() && (qobject_cast<QLabel *>(w) || qobject_cast<TRzBitBtn *>(w))) {
                w->move(w->pos() + clientOrigin());
                w->setProperty("_moved", true);
            }
        }
        QDialog::showEvent(event);
    }

private:
    static QIcon glyph(const QColor &color, bool check)
    {
        QIcon icon;
        for (const bool enabled : {true, false}) {
            QPixmap pm(16, 16);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(enabled ? color : QColor(0x9a, 0x9a, 0x9a), 2.2));
            if (check) {
                p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4.5)}));
            } else {
                p.drawLine(QPointF(4, 4), QPointF(12, 12));
                p.drawLine(QPointF(12, 4), QPointF(4, 12));
            }
            p.end();
            icon.addPixmap(pm, enabled ? QIcon::Normal : QIcon::Disabled);
        }
        return icon;
    }
};
