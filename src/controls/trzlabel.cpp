#include "trzlabel.h"

TRzLabel::TRzLabel(QWidget *parent)
    : QLabel(parent)
{
    setAutoFillBackground(false);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
}

TRzLabel::~TRzLabel() = default;
