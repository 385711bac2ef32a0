// Draws the program's skin: every image of the package and the manifest that names them,
// colours and metrics included. Usage: skindraw <output directory>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The look: a calm slate-blue caption over a light grey-blue window.
const QColor captionTop(0x3d, 0x63, 0x8b);
const QColor captionBottom(0x2f, 0x51, 0x78);
const QColor captionInactiveTop(0x93, 0xa3, 0xb6);
const QColor captionInactiveBottom(0x85, 0x96, 0xaa);
const QColor windowColor(0xee, 0xf1, 0xf5);
const QColor controlBorder(0x9a, 0xa8, 0xb8);
const QColor accent(0x3a, 0x6e, 0xa5);
const QColor textColor(0x1f, 0x2d, 0x3d);
const QColor disabledText(0x9a, 0xa3, 0xad);

constexpr int captionHeight = 30;
constexpr int captionButtonWidth = 42;
constexpr int buttonSide = 24;

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage caption(const QColor &top, const QColor &bottom)
{
    QImage image = blank(32, captionHeight);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 0, captionHeight);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.fillRect(image.rect(), gradient);
    p.setPen(top.lighter(118));
    p.drawLine(0, 0, image.width() - 1, 0);
    return image;
}

void drawCaptionGlyph(QPainter &p, const QRect &cell, int kind, const QColor &color)
{
    const QPoint c = cell.center();
    p.setPen(QPen(color, 1));
    p.setBrush(Qt::NoBrush);
    switch (kind) {
    case 0: // minimise
        p.drawLine(c.x() - 5, c.y() + 1, c.x() + 5, c.y() + 1);
        break;
    case 1: // maximise
        p.drawRect(c.x() - 5, c.y() - 5, 10, 10);
        break;
    case 2: // restore
        p.drawRect(c.x() - 5, c.y() - 3, 8, 8);
        p.drawLine(c.x() - 3, c.y() - 5, c.x() + 5, c.y() - 5);
        p.drawLine(c.x() + 5, c.y() - 5, c.x() + 5, c.y() + 3);
        break;
    case 3: { // close
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(color, 1.3));
        p.drawLine(QPointF(c.x() - 4.5, c.y() - 4.5), QPointF(c.x() + 5.5, c.y() + 5.5));
        p.drawLine(QPointF(c.x() + 5.5, c.y() - 4.5), QPointF(c.x() - 4.5, c.y() + 5.5));
        break;
    }
    }
}

// Normal, hot, pressed, left to right.
QImage captionButtons(int kind)
{
    QImage image = blank(captionButtonWidth * 3, captionHeight);
    QPainter p(&image);
    const bool close = kind == 3;
    const QColor backgrounds[3] = {
        Qt::transparent,
        close ? QColor(0xc4, 0x4c, 0x45) : QColor(255, 255, 255, 46),
        close ? QColor(0xa0, 0x3a, 0x34) : QColor(0, 0, 0, 46),
    };
    for (int state = 0; state < 3; ++state) {
        const QRect cell(state * captionButtonWidth, 0, captionButtonWidth, captionHeight);
        p.fillRect(cell, backgrounds[state]);
        drawCaptionGlyph(p, cell, kind, QColor(0xf4, 0xf7, 0xfa));
    }
    return image;
}

void roundedPanel(QPainter &p, const QRect &r, const QColor &top, const QColor &bottom,
                  const QColor &border, qreal radius)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, r.top(), 0, r.bottom());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.setPen(QPen(border, 1));
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

// Normal, hot, pressed, default, disabled, top to bottom.
QImage buttons()
{
    QImage image = blank(buttonSide, buttonSide * 5);
    QPainter p(&image);
    const auto cell = [](int i) { return QRect(0, i * buttonSide, buttonSide, buttonSide); };
    roundedPanel(p, cell(0), QColor(0xfd, 0xfd, 0xfe), QColor(0xe8, 0xec, 0xf1), controlBorder, 3);
    roundedPanel(p, cell(1), QColor(0xff, 0xff, 0xff), QColor(0xe0, 0xea, 0xf5),
                 QColor(0x5b, 0x87, 0xb5), 3);
    roundedPanel(p, cell(2), QColor(0xd2, 0xdd, 0xe9), QColor(0xe2, 0xe9, 0xf1),
                 QColor(0x4a, 0x72, 0x9c), 3);
    roundedPanel(p, cell(3), QColor(0xfd, 0xfd, 0xfe), QColor(0xe8, 0xec, 0xf1), accent, 3);
    p.setPen(QPen(QColor(0xa9, 0xc3, 0xdf), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(cell(3)).adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    roundedPanel(p, cell(4), QColor(0xf2, 0xf4, 0xf6), QColor(0xec, 0xef, 0xf2),
                 QColor(0xc5, 0xcc, 0xd4), 3);
    return image;
}

QImage menuPanel()
{
    QImage image = blank(16, 16);
    QPainter p(&image);
    p.fillRect(image.rect(), QColor(0xfb, 0xfc, 0xfd));
    p.setPen(controlBorder);
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    return image;
}

QImage menuSelected()
{
    QImage image = blank(16, 16);
    QPainter p(&image);
    roundedPanel(p, image.rect(), QColor(0xdf, 0xe9, 0xf5), QColor(0xd5, 0xe2, 0xf1),
                 QColor(0xa9, 0xc0, 0xd9), 2);
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: skindraw <output directory>\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.absolutePath());

    QString manifest = u"# The program's skin, drawn by skindraw; build the package with skinpack.\n"_s;
    bool ok = true;
    const auto image = [&](const QString &name, const QString &file, const QImage &img) {
        ok = img.save(out.filePath(file), "PNG") && ok;
        manifest += u"image "_s + name + u' ' + file + u'\n';
    };
    const auto color = [&](const QString &name, const QColor &c) {
        manifest += u"color "_s + name + u' ' + c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb) + u'\n';
    };
    const auto metric = [&](const QString &name, int value) {
        manifest += u"metric "_s + name + u' ' + QString::number(value) + u'\n';
    };

    image(u"caption.active"_s, u"caption-active.png"_s, caption(captionTop, captionBottom));
    image(u"caption.inactive"_s, u"caption-inactive.png"_s,
          caption(captionInactiveTop, captionInactiveBottom));
    image(u"captionbutton.minimize"_s, u"captionbutton-minimize.png"_s, captionButtons(0));
    image(u"captionbutton.maximize"_s, u"captionbutton-maximize.png"_s, captionButtons(1));
    image(u"captionbutton.restore"_s, u"captionbutton-restore.png"_s, captionButtons(2));
    image(u"captionbutton.close"_s, u"captionbutton-close.png"_s, captionButtons(3));
    image(u"button"_s, u"button.png"_s, buttons());
    image(u"menu.panel"_s, u"menu-panel.png"_s, menuPanel());
    image(u"menu.selected"_s, u"menu-selected.png"_s, menuSelected());

    color(u"window"_s, windowColor);
    color(u"caption.text"_s, QColor(0xff, 0xff, 0xff));
    color(u"caption.text.inactive"_s, QColor(0xf1, 0xf4, 0xf7));
    color(u"frame.active"_s, captionBottom);
    color(u"frame.inactive"_s, captionInactiveBottom);
    color(u"button.text"_s, textColor);
    color(u"button.text.disabled"_s, disabledText);
    color(u"menu.text"_s, textColor);
    color(u"menu.text.selected"_s, QColor(0x10, 0x24, 0x3a));
    color(u"menu.text.disabled"_s, disabledText);
    color(u"menu.separator"_s, QColor(0xd5, 0xdb, 0xe2));
    color(u"control.border"_s, controlBorder);
    color(u"control.accent"_s, accent);
    color(u"control.base"_s, QColor(0xff, 0xff, 0xff));

    metric(u"frame.border"_s, 4);
    metric(u"caption.height"_s, captionHeight);
    metric(u"caption.button.width"_s, captionButtonWidth);
    metric(u"caption.slice"_s, 4);
    metric(u"button.slice"_s, 4);
    metric(u"menu.slice"_s, 3);

    QFile file(out.filePath(u"skin.txt"_s));
    ok = file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(manifest.toUtf8()) > 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "skindraw: cannot write to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
