#include "ui/pixel_ratio.h"

#include "ui/control_registry.h"
#include "ui/gui_thread.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>

#include <utility>

namespace ui {

namespace {

// The image a label shows by id; absent for a picture of its maker's.
constexpr const char* ImageProperty = "zorvaneImage";

std::function<void(int64_t)>& Handler()
{
    static std::function<void(int64_t)> handler;
    return handler;
}

/// Redraws a label's picture when its ratio no longer matches its screen's.
/// Qt tells every widget of a window that moved to another screen; from Qt
/// 6.6 on it also tells them of a ratio change on the same screen. A window
/// first shown on a screen other than the one it was made for is caught when
/// the label shows.
class RatioWatch : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        const bool mayHaveChanged = type == QEvent::ScreenChangeInternal || type == QEvent::Show
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
                                    || type == QEvent::DevicePixelRatioChange
#endif
            ;
        auto* label = qobject_cast<QLabel*>(watched);
        if (mayHaveChanged && label != nullptr && !label->pixmap().isNull() &&
            !qFuzzyCompare(label->pixmap().devicePixelRatio(), label->devicePixelRatioF())) {
            const QVariant image = label->property(ImageProperty);
            if (image.isValid())
                ShowImageSharp(*label, static_cast<ImageId>(image.toInt()));
            else if (Handler())
                Handler()(NumberOfWidget(label));
        }
        return false;
    }
};

void Watch(QLabel& label)
{
    static RatioWatch watch;
    label.installEventFilter(&watch); // once: installing again only moves it first
}

} // namespace

qreal PixelRatio(int64_t number)
{
    return OnGuiThread([&] {
        const Entry* entry = FindEntry(number);
        return entry != nullptr && entry->widget != nullptr ? entry->widget->devicePixelRatioF() : 1.0;
    });
}

void SetPixelRatioChangedHandler(std::function<void(int64_t number)> handler)
{
    Handler() = std::move(handler);
}

void ShowImageSharp(QLabel& label, ImageId image)
{
    label.setPixmap(Image(image, QSize(), label.devicePixelRatioF()));
    label.setProperty(ImageProperty, static_cast<int>(image));
    Watch(label);
}

void ShowPictureSharp(QLabel& label, const QPixmap& picture)
{
    label.setPixmap(picture);
    label.setProperty(ImageProperty, QVariant());
    Watch(label);
}

} // namespace ui
