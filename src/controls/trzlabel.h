#pragma once

#include <QLabel>

// A caption label that never paints its own background, so whatever the window is drawn with
// (its layout colour or a skin) shows behind the text. A fixed-size label cuts its text off at
// its edges.
class TRzLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TRzLabel)

public:
    explicit TRzLabel(QWidget *parent = nullptr);
    ~TRzLabel() override;
};
