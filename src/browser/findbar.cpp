#include "findbar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEngineView>

FindBar::FindBar(QWebEngineView *view)
    : QWidget(view)
    , m_view(view)
    , m_field(new QLineEdit(this))
    , m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("FindBar"));
    setAutoFillBackground(true);
    m_field->setObjectName(QStringLiteral("FindField"));
    m_field->setPlaceholderText(QStringLiteral("在页面中查找"));
    m_field->setClearButtonEnabled(true);
    m_count->setMinimumWidth(60);
    auto *previous = new QToolButton(this);
    previous->setText(QStringLiteral("上一个"));
    auto *next = new QToolButton(this);
    next->setText(QStringLiteral("下一个"));
    auto *closeButton = new QToolButton(this);
    closeButton->setText(QStringLiteral("关闭"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(m_field);
    layout->addWidget(m_count);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(closeButton);

    connect(m_field, &QLineEdit::textChanged, this, [this] { find(false); });
    connect(previous, &QToolButton::clicked, this, [this] { find(true); });
    connect(next, &QToolButton::clicked, this, [this] { find(false); });
    connect(closeButton, &QToolButton::clicked, this, &FindBar::close);
    connect(view->page(), &QWebEnginePage::findTextFinished, this, &FindBar::showResult);
    hide();
}

FindBar::~FindBar() = default;

void FindBar::open()
{
    placeInView();
    show();
    raise();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
    if (!m_field->text().isEmpty())
        find(false);
}

void FindBar::close()
{
    hide();
    m_view->page()->findText(QString());
    m_count->clear();
    m_view->setFocus();
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        find(event->modifiers() & Qt::ShiftModifier);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void FindBar::find(bool backward)
{
    if (m_field->text().isEmpty()) {
        m_view->page()->findText(QString());
        m_count->clear();
        return;
    }
    m_view->page()->findText(m_field->text(),
                             backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

void FindBar::showResult(const QWebEngineFindTextResult &result)
{
    if (m_field->text().isEmpty())
        m_count->clear();
    else if (result.numberOfMatches() == 0)
        m_count->setText(QStringLiteral("无结果"));
    else
        m_count->setText(QStringLiteral("%1/%2").arg(result.activeMatch()).arg(result.numberOfMatches()));
}

void FindBar::placeInView()
{
    adjustSize();
    const int width = std::min(m_view->width(), std::max(sizeHint().width(), 420));
    setGeometry(m_view->width() - width, 0, width, sizeHint().height());
}
