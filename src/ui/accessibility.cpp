#include "ui/accessibility.h"

#include "ui/control_registry.h"
#include "ui/control_widgets.h"
#include "ui/gui_thread.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>

namespace ui {

namespace {

const char* const StatusBarProperty = "zorvaneStatusBar";

/// An image control: a push button that a screen reader can press.
class ImageButtonAccessible : public QAccessibleWidget
{
public:
    explicit ImageButtonAccessible(ImageLabel* image) : QAccessibleWidget(image, QAccessible::Button) {}

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<ImageLabel*>(widget())->Press();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* Interface(const QString& /*className*/, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr)
        return nullptr;
    if (auto* image = dynamic_cast<ImageLabel*>(widget))
        return new ImageButtonAccessible(image);
    if (dynamic_cast<ProgramWindow*>(widget) != nullptr) {
        const bool dialog = (widget->windowFlags() & Qt::WindowType_Mask) == Qt::Dialog;
        return new QAccessibleWidget(widget, dialog ? QAccessible::Dialog : QAccessible::Window);
    }
    if (IsStatusBar(widget))
        return new QAccessibleWidget(widget, QAccessible::StatusBar);
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(Interface);
        return true;
    }();
    (void)installed;
}

void MarkAsStatusBar(int64_t number)
{
    OnGuiThread([&] {
        Entry* entry = FindEntry(number);
        if (entry == nullptr || entry->widget.isNull())
            return;
        entry->widget->setProperty(StatusBarProperty, true);
        // Qt may have made the label's interface already, as a plain label:
        // forget it, so that the next one asked for is a status bar.
        if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(entry->widget))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    });
}

bool IsStatusBar(const QWidget* widget)
{
    return widget->property(StatusBarProperty).toBool();
}

} // namespace ui
