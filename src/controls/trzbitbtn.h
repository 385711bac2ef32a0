#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QRect>

// Where a button's glyph and caption go on its face. layout: 0 glyph left of the caption,
// 1 right, 2 above, 3 below. margin is the gap between the glyph and the face's edge on its
// side, spacing the gap between glyph and caption; -1 for either centres what it leaves free.
// Without a glyph the caption is centred.
struct GlyphPlacement
{
    QRect glyph;
    QRect caption;
};
GlyphPlacement placeGlyphAndCaption(const QRect &face, QSize glyphSize, QSize captionSize,
                                    int layout, int margin, int spacing);

// Turns a glyph strip into an icon: the strip is split into square images (enabled, then
// disabled), and every pixel of the strip's lower-left colour becomes transparent.
QIcon iconFromGlyphStrip(const QImage &strip);

// A push button with a glyph beside its caption and a flat framed face of its own colours.
// Its glyph strip becomes its icon, so anything that paints the button through Qt (a skin) gets
// the transparent enabled and disabled images. Enter with Shift, Ctrl or Alt is refused and
// left to the window.
class TRzBitBtn final : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TRzBitBtn)
    Q_PROPERTY(QPixmap Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(int Margin READ margin WRITE setMargin)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(int Layout READ glyphLayout WRITE setGlyphLayout)
    Q_PROPERTY(int ModalResult READ modalResult WRITE setModalResult)
    Q_PROPERTY(QColor FrameColor READ frameColor WRITE setFrameColor)
    Q_PROPERTY(QColor Color READ faceColor WRITE setFaceColor)
    Q_PROPERTY(bool HotTrack READ hotTrack WRITE setHotTrack)

public:
    explicit TRzBitBtn(QWidget *parent = nullptr);
    ~TRzBitBtn() override;

    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap &strip);
    int margin() const { return m_margin; }
    void setMargin(int margin);
    int spacing() const { return m_spacing; }
    void setSpacing(int spacing);
    int glyphLayout() const { return m_layout; }
    void setGlyphLayout(int layout);
    // The result a modal window ends with when this button is clicked; 0 for none.
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }
    QColor frameColor() const { return m_frameColor; }
    void setFrameColor(const QColor &color);
    QColor faceColor() const { return m_faceColor; }
    void setFaceColor(const QColor &color);
    bool hotTrack() const { return m_hotTrack; }
    void setHotTrack(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    QPixmap m_glyph;
    int m_margin = 2;
    int m_spacing = 4;
    int m_layout = 0;
    int m_modalResult = 0;
    QColor m_frameColor{0, 60, 116};
    QColor m_faceColor{244, 244, 240};
    bool m_hotTrack = true;
};
