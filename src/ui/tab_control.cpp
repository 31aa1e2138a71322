#include "ui/tab_control.h"

#include "runtime/event_queue.h"
#include "ui/control_registry.h"
#include "ui/gui_thread.h"

#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>

namespace ui {

int AddTab(int64_t tabs, const QString& caption, ImageId icon)
{
    return OnGuiThread([&] {
        QTabWidget* t = WidgetAs<QTabWidget>(tabs);
        if (t == nullptr)
            return -1;
        runtime::ChangeGuard quiet;
        auto* page = new QWidget;
        page->setAutoFillBackground(false);
        return t->addTab(page, Icon(icon), caption);
    });
}

void SetTabCaption(int64_t tabs, int index, const QString& caption)
{
    OnGuiThread([&] {
        if (QTabWidget* t = WidgetAs<QTabWidget>(tabs))
            t->setTabText(index, caption);
    });
}

QString TabCaption(int64_t tabs, int index)
{
    return OnGuiThread([&] {
        QTabWidget* t = WidgetAs<QTabWidget>(tabs);
        return t != nullptr ? t->tabText(index) : QString();
    });
}

int TabCount(int64_t tabs)
{
    return OnGuiThread([&] {
        QTabWidget* t = WidgetAs<QTabWidget>(tabs);
        return t != nullptr ? t->count() : 0;
    });
}

QPoint TabPageOrigin(int64_t tabs)
{
    return OnGuiThread([&] {
        QTabWidget* t = WidgetAs<QTabWidget>(tabs);
        if (t == nullptr)
            return QPoint();
        // A hidden tab control places its pages only once shown, so ask the
        // style where they will go instead of reading their geometry.
        QStyleOptionTabWidgetFrame option;
        option.initFrom(t);
        option.shape = QTabBar::RoundedNorth;
        option.lineWidth = t->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, t);
        option.tabBarSize = t->tabBar()->sizeHint();
        option.tabBarRect = QRect(QPoint(0, 0), option.tabBarSize);
        option.rect = QRect(QPoint(0, 0), t->size());
        return t->style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, t).topLeft();
    });
}

QRect LastTabRect(int64_t tabs)
{
    return OnGuiThread([&] {
        QTabWidget* t = WidgetAs<QTabWidget>(tabs);
        if (t == nullptr || t->count() == 0)
            return QRect();
        QTabBar* bar = t->tabBar();
        const QRect inBar = bar->tabRect(t->count() - 1);
        return QRect(bar->mapTo(t, inBar.topLeft()), inBar.size());
    });
}

} // namespace ui
