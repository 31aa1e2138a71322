#include "ui/control_widgets.h"

#include "runtime/event_queue.h"
#include "ui/control_types.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>
#include <QMouseEvent>
#include <QTabBar>

#include <utility>

namespace ui {

namespace {

std::function<void(int64_t)> geometryChanged;

void NotifyGeometry(int64_t number)
{
    if (geometryChanged)
        geometryChanged(number);
}

class FixedHeightTabBar : public QTabBar
{
public:
    explicit FixedHeightTabBar(QWidget* parent) : QTabBar(parent) {}

protected:
    QSize tabSizeHint(int index) const override
    {
        return {QTabBar::tabSizeHint(index).width(), TabControl::TabHeightPx};
    }
    QSize minimumTabSizeHint(int index) const override
    {
        return {QTabBar::minimumTabSizeHint(index).width(), TabControl::TabHeightPx};
    }
};

} // namespace

TabControl::TabControl(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new FixedHeightTabBar(this));
}

void SetGeometryChangedHandler(std::function<void(int64_t window)> handler)
{
    geometryChanged = std::move(handler);
}

void RaiseControlEvent(int64_t window, int64_t number, int64_t type)
{
    runtime::InsertEvent({runtime::EvControl, window, number, type, 0});
}

ProgramWindow::ProgramWindow(int64_t number, QWidget* owner, Qt::WindowFlags flags)
    : QWidget(owner, flags), number_(number), content_(new QWidget(this))
{
    content_->setGeometry(rect());
}

void ProgramWindow::closeEvent(QCloseEvent* event)
{
    // The program decides what closing means (hide to the tray, quit, ...).
    event->ignore();
    runtime::InsertEvent({runtime::EvCloseWindow, number_, number_, 0, 0}, true);
}

void ProgramWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    NotifyGeometry(number_);
}

void ProgramWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    content_->setGeometry(rect());
    NotifyGeometry(number_);
}

void ProgramWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        NotifyGeometry(number_);
}

ImageLabel::ImageLabel(int64_t window, int64_t number, QWidget* parent)
    : QLabel(parent), window_(window), number_(number)
{
    setFocusPolicy(Qt::TabFocus);
}

void ImageLabel::Press()
{
    RaiseControlEvent(window_, number_, ControlClick);
}

void ImageLabel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        Press();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ImageLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ImageLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (std::exchange(endingDoubleClick_, false))
        return;
    if (rect().contains(event->position().toPoint()))
        Press();
}

void ImageLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        endingDoubleClick_ = true;
}

} // namespace ui
