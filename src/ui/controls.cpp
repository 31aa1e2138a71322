#include "ui/controls.h"

#include "runtime/event_queue.h"
#include "ui/accessibility.h"
#include "ui/control_numbers.h"
#include "ui/control_registry.h"
#include "ui/control_widgets.h"
#include "ui/gui_thread.h"
#include "ui/pixel_ratio.h"
#include "ui/window_system.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTextEdit>
#include <QTextLayout>
#include <QToolButton>
#include <QTreeWidget>

namespace ui {

namespace {

QWidget* ParentWidget(Parent parent)
{
    Entry* entry = FindEntry(parent.number);
    if (entry == nullptr || entry->widget.isNull())
        return nullptr;
    if (parent.page < 0) {
        if (auto* window = dynamic_cast<ProgramWindow*>(entry->widget.data()))
            return window->Content();
        return entry->widget;
    }
    auto* tabs = qobject_cast<QTabWidget*>(entry->widget.data());
    return tabs != nullptr ? tabs->widget(parent.page) : nullptr;
}

QTreeWidget* MakeList(ControlKind kind, QWidget* parentWidget)
{
    auto* list = new QTreeWidget(parentWidget);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setItemsExpandable(false);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(kind == ControlKind::ListWithHeader ? QAbstractItemView::ExtendedSelection
                                                               : QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    list->setHeaderHidden(kind == ControlKind::List);
    list->setColumnCount(0);
    return list;
}

/// The three kinds of button; each raises a click event when pressed.
QWidget* MakeButton(int64_t window, int64_t number, ControlKind kind, QWidget* parentWidget, const QString& text)
{
    QAbstractButton* button = nullptr;
    if (kind == ControlKind::ImageButton) {
        auto* tool = new QToolButton(parentWidget);
        tool->setAutoRaise(true);
        tool->setFocusPolicy(Qt::StrongFocus);
        button = tool;
    } else if (kind == ControlKind::PushButton) {
        auto* push = new QPushButton(text, parentWidget);
        push->setAutoDefault(false);
        button = push;
    } else {
        button = new QCheckBox(text, parentWidget);
    }
    QObject::connect(button, &QAbstractButton::clicked,
                     [window, number] { RaiseControlEvent(window, number, ControlClick); });
    return button;
}

QWidget* MakeControl(int64_t window, int64_t number, ControlKind kind, QWidget* parentWidget, const QString& text)
{
    switch (kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(text, parentWidget);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::Image: {
        auto* image = new ImageLabel(window, number, parentWidget);
        image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return image;
    }
    case ControlKind::ImageButton:
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        return MakeButton(window, number, kind, parentWidget, text);
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(text, parentWidget);
        QObject::connect(edit, &QLineEdit::textChanged,
                         [window, number] { RaiseControlEvent(window, number, ControlChange); });
        return edit;
    }
    case ControlKind::List:
    case ControlKind::HeaderList:
    case ControlKind::ListWithHeader: {
        QTreeWidget* list = MakeList(kind, parentWidget);
        QObject::connect(list, &QTreeWidget::itemClicked,
                         [window, number] { RaiseControlEvent(window, number, ControlClick); });
        QObject::connect(list, &QTreeWidget::itemDoubleClicked,
                         [window, number] { RaiseControlEvent(window, number, ControlDoubleClick); });
        QObject::connect(list, &QTreeWidget::itemSelectionChanged,
                         [window, number] { RaiseControlEvent(window, number, ControlSelection); });
        return list;
    }
    case ControlKind::RichText: {
        auto* box = new QTextEdit(parentWidget);
        box->setReadOnly(true);
        box->setAcceptRichText(true);
        box->setLineWrapMode(QTextEdit::WidgetWidth);
        box->setPlainText(text);
        return box;
    }
    case ControlKind::ImageCombo: {
        auto* combo = new QComboBox(parentWidget);
        combo->setIconSize(QSize(16, 16));
        QObject::connect(combo, &QComboBox::currentIndexChanged,
                         [window, number] { RaiseControlEvent(window, number, ControlSelection); });
        return combo;
    }
    case ControlKind::Tabs: {
        auto* tabs = new TabControl(parentWidget);
        tabs->setIconSize(QSize(16, 16));
        tabs->setDocumentMode(false);
        QObject::connect(tabs, &QTabWidget::currentChanged,
                         [window, number] { RaiseControlEvent(window, number, ControlSelection); });
        return tabs;
    }
    }
    return nullptr;
}

QPalette PaletteFor(const Entry& entry)
{
    QWidget* w = entry.widget;
    QPalette palette = QApplication::palette(w);
    const bool field = qobject_cast<QLineEdit*>(w) != nullptr || qobject_cast<QAbstractScrollArea*>(w) != nullptr;
    if (entry.back.isValid()) {
        palette.setColor(field ? QPalette::Base : QPalette::Window, entry.back);
        // Only buttons and combo boxes take the colour as their face: a window
        // or a tab control passes its palette on to every child, and list
        // headers and buttons inside would turn dark too.
        if (qobject_cast<QAbstractButton*>(w) != nullptr || qobject_cast<QComboBox*>(w) != nullptr)
            palette.setColor(QPalette::Button, entry.back);
    }
    if (entry.text.isValid()) {
        palette.setColor(QPalette::Text, entry.text);
        palette.setColor(QPalette::WindowText, entry.text);
        palette.setColor(QPalette::ButtonText, entry.text);
    }
    return palette;
}

void ApplyBorder(QWidget* widget, const QString& look)
{
    auto* frame = qobject_cast<QFrame*>(widget);
    if (frame == nullptr)
        return;
    const QString word = look.toLower();
    frame->setLineWidth(1);
    if (word == u"none") {
        frame->setFrameStyle(QFrame::NoFrame);
    } else if (word == u"black") {
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        frame->setPalette(palette);
    } else if (word == u"raised") {
        frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
        frame->setLineWidth(2);
    } else if (word == u"sunken") {
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setLineWidth(2);
    } else {
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
}

/// A label's text; one with a spoken name of its own (the status line, the
/// site's tag line) also shows the text as its description, so a screen
/// reader hears what is on screen now. A tooltip keeps the description.
void SetLabelText(QLabel& label, const QString& text)
{
    label.setText(text);
    if (label.accessibleName().isEmpty() || !label.toolTip().isEmpty())
        return;
    label.setAccessibleDescription(text);
    // Screen readers announce a status bar whose text changes only when told.
    if (IsStatusBar(&label) && QAccessible::isActive()) {
        QAccessibleEvent changed(&label, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

QFont FontOf(FontKind kind)
{
    QFont font(QStringLiteral("Arial"), 10);
    font.setItalic(kind == FontKind::Italic);
    return font;
}

} // namespace

namespace {

/// Runs `f` on the GUI thread with the widget of `number`; nothing for an
/// unknown number.
template <typename F> void WithWidget(int64_t number, F f)
{
    OnGuiThread([&] {
        if (QWidget* w = Widget(number))
            f(w);
    });
}

} // namespace

bool CreateWindow(int64_t number, const QString& caption, WindowStyle style, const QRect& inner, int64_t owner)
{
    return OnGuiThread([&] {
        if (FindEntry(number) != nullptr)
            return false;
        QWidget* ownerWidget = nullptr;
        if (owner >= 0) {
            Entry* ownerEntry = FindEntry(owner);
            if (ownerEntry == nullptr || ownerEntry->widget.isNull())
                return false;
            ownerWidget = ownerEntry->widget;
        }
        Qt::WindowFlags flags = Qt::Window;
        switch (style) {
        case WindowStyle::Main:
            flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                     Qt::WindowCloseButtonHint;
            break;
        case WindowStyle::Popup:
            flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
            break;
        case WindowStyle::Dialog:
            flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                    Qt::MSWindowsFixedSizeDialogHint;
            break;
        }
        InstallAccessibility();
        auto* window = new ProgramWindow(number, ownerWidget, flags);
        window->setWindowTitle(caption);
        window->setGeometry(inner);
        if (style == WindowStyle::Dialog)
            window->setFixedSize(inner.size());
        if (style == WindowStyle::Popup)
            window->setAttribute(Qt::WA_ShowWithoutActivating);
        window->setFont(FontOf(FontKind::Normal));
        window->setAutoFillBackground(true);
        window->setAccessibleName(caption);
        Entry entry;
        entry.widget = window;
        entry.window = number;
        Register(number, std::move(entry));
        return true;
    });
}

bool CreateControl(int64_t number, ControlKind kind, Parent parent, const QRect& geometry, const QString& text,
                   const QString& spokenName)
{
    return OnGuiThread([&] {
        if (FindEntry(number) != nullptr)
            return false;
        QWidget* parentWidget = ParentWidget(parent);
        const int64_t window = WindowOf(parent.number);
        if (parentWidget == nullptr || window < 0)
            return false;
        QWidget* widget = MakeControl(window, number, kind, parentWidget, text);
        widget->setGeometry(geometry);
        widget->setFont(FontOf(FontKind::Normal));
        widget->setObjectName(QLatin1StringView(ControlName(number)));
        widget->setAccessibleName(spokenName);
        // A label with a name of its own says what it shows through its
        // description, kept up to date by SetText.
        if (kind == ControlKind::Label && !spokenName.isEmpty())
            widget->setAccessibleDescription(text);
        widget->show();
        Entry entry;
        entry.widget = widget;
        entry.kind = kind;
        entry.window = window;
        Register(number, std::move(entry));
        return true;
    });
}

void SetTabStop(int64_t number, bool stop)
{
    WithWidget(number, [&](QWidget* w) { w->setFocusPolicy(stop ? Qt::TabFocus : Qt::NoFocus); });
}

QWidget* Widget(int64_t number)
{
    Entry* entry = FindEntry(number);
    return entry != nullptr ? entry->widget.data() : nullptr;
}

int64_t WindowOf(int64_t number)
{
    return OnGuiThread([&]() -> int64_t {
        Entry* entry = FindEntry(number);
        return entry != nullptr ? entry->window : -1;
    });
}

QList<int64_t> Numbers()
{
    return OnGuiThread([] { return RegisteredNumbers(); });
}

void SetText(int64_t number, const QString& text)
{
    OnGuiThread([&] {
        Entry* entry = FindEntry(number);
        if (entry == nullptr || entry->widget.isNull())
            return;
        runtime::ChangeGuard quiet;
        QWidget* w = entry->widget;
        if (!entry->kind)
            w->setWindowTitle(text);
        else if (auto* label = qobject_cast<QLabel*>(w))
            SetLabelText(*label, text);
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->setText(text);
        else if (auto* edit = qobject_cast<QLineEdit*>(w))
            edit->setText(text);
        else if (auto* box = qobject_cast<QTextEdit*>(w))
            box->setPlainText(text);
    });
}

QString Text(int64_t number)
{
    return OnGuiThread([&]() -> QString {
        Entry* entry = FindEntry(number);
        if (entry == nullptr || entry->widget.isNull())
            return QString();
        QWidget* w = entry->widget;
        if (!entry->kind)
            return w->windowTitle();
        if (auto* label = qobject_cast<QLabel*>(w))
            return label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            return button->text();
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            return edit->text();
        if (auto* box = qobject_cast<QTextEdit*>(w))
            return box->toPlainText();
        return QString();
    });
}

void SetTooltip(int64_t number, const QString& tooltip)
{
    OnGuiThread([&] {
        if (QWidget* w = Widget(number)) {
            w->setToolTip(tooltip);
            if (!tooltip.isEmpty())
                w->setAccessibleDescription(tooltip);
        }
    });
}

QString Tooltip(int64_t number)
{
    return OnGuiThread([&]() -> QString {
        QWidget* w = Widget(number);
        return w != nullptr ? w->toolTip() : QString();
    });
}

void SetFont(int64_t number, FontKind font)
{
    OnGuiThread([&] {
        if (Entry* entry = FindEntry(number); entry != nullptr && !entry->widget.isNull()) {
            entry->font = font;
            entry->widget->setFont(FontOf(font));
        }
    });
}

void PreloadFonts()
{
    OnGuiThread([] {
        // A control is laid out in the desktop's font while it is made, before
        // it gets its own; list headers measure their captions in bold.
        QFont bold = FontOf(FontKind::Normal);
        bold.setBold(true);
        for (const QFont& font : {QGuiApplication::font(), FontOf(FontKind::Normal), bold, FontOf(FontKind::Italic)}) {
            QTextLayout layout(QStringLiteral("Zorvane 0123456789"), font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
        }
    });
}

FontKind Font(int64_t number)
{
    return OnGuiThread([&] {
        Entry* entry = FindEntry(number);
        return entry != nullptr ? entry->font : FontKind::Normal;
    });
}

void SetState(int64_t number, int64_t state)
{
    OnGuiThread([&] {
        Entry* entry = FindEntry(number);
        if (entry == nullptr || entry->widget.isNull())
            return;
        runtime::ChangeGuard quiet;
        QWidget* w = entry->widget;
        if (auto* box = qobject_cast<QCheckBox*>(w))
            box->setChecked(state != 0);
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            combo->setCurrentIndex(static_cast<int>(state));
        else if (auto* tabs = qobject_cast<QTabWidget*>(w))
            tabs->setCurrentIndex(static_cast<int>(state));
    });
}

int64_t State(int64_t number)
{
    return OnGuiThread([&]() -> int64_t {
        QWidget* w = Widget(number);
        if (auto* box = qobject_cast<QCheckBox*>(w))
            return box->isChecked() ? 1 : 0;
        if (auto* combo = qobject_cast<QComboBox*>(w))
            return combo->currentIndex();
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            return tabs->currentIndex();
        return 0;
    });
}

void SetImage(int64_t number, ImageId image)
{
    OnGuiThread([&] {
        QWidget* w = Widget(number);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            ShowImageSharp(*label, image);
            if (dynamic_cast<ImageLabel*>(label) != nullptr)
                label->resize(ImageSize(image));
        } else if (auto* button = qobject_cast<QToolButton*>(w)) {
            button->setIcon(Icon(image));
            button->setIconSize(QSize(16, 16));
        }
    });
}

void SetPicture(int64_t number, const QPixmap& picture)
{
    OnGuiThread([&] {
        if (auto* label = qobject_cast<QLabel*>(Widget(number))) {
            ShowPictureSharp(*label, picture);
            if (dynamic_cast<ImageLabel*>(label) != nullptr)
                label->resize(picture.deviceIndependentSize().toSize());
        }
    });
}

void SetPictureImage(int64_t number, const QImage& picture)
{
    OnGuiThread([&] {
        if (auto* label = qobject_cast<QLabel*>(Widget(number))) {
            ShowPictureSharp(*label, QPixmap::fromImage(picture));
            if (dynamic_cast<ImageLabel*>(label) != nullptr)
                label->resize(picture.deviceIndependentSize().toSize());
        }
    });
}

QPixmap Picture(int64_t number)
{
    return OnGuiThread([&] {
        auto* label = qobject_cast<QLabel*>(Widget(number));
        return label != nullptr ? label->pixmap() : QPixmap();
    });
}

void SetAlignment(int64_t number, Qt::Alignment alignment)
{
    OnGuiThread([&] {
        if (auto* label = qobject_cast<QLabel*>(Widget(number)))
            label->setAlignment(alignment);
    });
}

namespace {

/// What enabling acts on: a window's content area, a control itself.
QWidget* EnableTarget(int64_t number)
{
    QWidget* w = Widget(number);
    if (auto* window = dynamic_cast<ProgramWindow*>(w))
        return window->Content();
    return w;
}

} // namespace

void SetEnabled(int64_t number, bool enabled)
{
    OnGuiThread([&] {
        if (QWidget* w = EnableTarget(number))
            w->setEnabled(enabled);
    });
}

bool IsEnabled(int64_t number)
{
    return OnGuiThread([&] {
        QWidget* w = EnableTarget(number);
        return w != nullptr && w->isEnabled();
    });
}

void SetVisible(int64_t number, bool visible)
{
    WithWidget(number, [&](QWidget* w) { w->setVisible(visible); });
}

bool IsVisible(int64_t number)
{
    return OnGuiThread([&] {
        QWidget* w = Widget(number);
        return w != nullptr && !w->isHidden();
    });
}

void SetGeometry(int64_t number, const QRect& geometry)
{
    WithWidget(number, [&](QWidget* w) { w->setGeometry(geometry); });
}

void Move(int64_t number, int x, int y)
{
    WithWidget(number, [&](QWidget* w) {
        // Where the compositor places the windows, a move would only make
        // Qt believe in a position the window does not have.
        if (!w->isWindow() || WindowPlacementKnown())
            w->move(x, y);
    });
}

void Resize(int64_t number, int width, int height)
{
    WithWidget(number, [&](QWidget* w) { w->resize(width, height); });
}

QRect Geometry(int64_t number)
{
    return OnGuiThread([&] {
        QWidget* w = Widget(number);
        return w != nullptr ? w->geometry() : QRect();
    });
}

QRect OuterGeometry(int64_t number)
{
    return OnGuiThread([&] {
        QWidget* w = Widget(number);
        return w != nullptr ? w->frameGeometry() : QRect();
    });
}

void Raise(int64_t number)
{
    WithWidget(number, [&](QWidget* w) { w->raise(); });
}

void SetColours(int64_t number, const QColor& back, const QColor& text)
{
    OnGuiThread([&] {
        Entry* entry = FindEntry(number);
        if (entry == nullptr || entry->widget.isNull())
            return;
        entry->back = back;
        entry->text = text;
        entry->widget->setPalette(PaletteFor(*entry));
        // The colours of a tab control are its own: its pages keep the
        // default look, so list headers and buttons on them stay readable.
        if (auto* tabs = qobject_cast<QTabWidget*>(entry->widget.data()))
            for (int page = 0; page < tabs->count(); ++page)
                tabs->widget(page)->setPalette(QApplication::palette(tabs->widget(page)));
        if (qobject_cast<QAbstractScrollArea*>(entry->widget.data()) == nullptr)
            entry->widget->setAutoFillBackground(back.isValid() || !entry->kind);
    });
}

QColor BackColour(int64_t number)
{
    return OnGuiThread([&] {
        Entry* entry = FindEntry(number);
        return entry != nullptr ? entry->back : QColor();
    });
}

QColor TextColour(int64_t number)
{
    return OnGuiThread([&] {
        Entry* entry = FindEntry(number);
        return entry != nullptr ? entry->text : QColor();
    });
}

void SetBorder(int64_t number, const QString& look)
{
    OnGuiThread([&] {
        Entry* entry = FindEntry(number);
        if (entry == nullptr || entry->widget.isNull())
            return;
        const QString word = look.toLower();
        const bool known = word == u"none" || word == u"black" || word == u"raised" || word == u"sunken";
        entry->border = known ? word : QStringLiteral("thin");
        ApplyBorder(entry->widget, entry->border);
    });
}

QString Border(int64_t number)
{
    return OnGuiThread([&] {
        Entry* entry = FindEntry(number);
        return entry != nullptr ? entry->border : QString();
    });
}

void SetCueText(int64_t number, const QString& cue)
{
    OnGuiThread([&] {
        if (auto* edit = WidgetAs<QLineEdit>(number))
            edit->setPlaceholderText(cue);
    });
}

void SetDigitsOnly(int64_t number, int maxLength)
{
    OnGuiThread([&] {
        if (auto* edit = WidgetAs<QLineEdit>(number)) {
            edit->setMaxLength(maxLength);
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        }
    });
}

void SuspendDrawing(int64_t number)
{
    WithWidget(number, [&](QWidget* w) { w->setUpdatesEnabled(false); });
}

void ResumeDrawing(int64_t number)
{
    OnGuiThread([&] {
        if (QWidget* w = Widget(number)) {
            w->setUpdatesEnabled(true);
            w->update();
        }
    });
}

void SelectAllText(int64_t number)
{
    OnGuiThread([&] {
        if (auto* edit = WidgetAs<QLineEdit>(number))
            edit->selectAll();
    });
}

int64_t ControlUnderMouse()
{
    return OnGuiThread([] { return NumberOfWidget(QApplication::widgetAt(QCursor::pos())); });
}

void SetFocus(int64_t number)
{
    WithWidget(number, [&](QWidget* w) {
        // The program moving the focus is no user action: its focus event
        // would run the control's handler (a list writes its hint over the
        // status line).
        runtime::ChangeGuard quiet;
        w->setFocus(Qt::OtherFocusReason);
    });
}

int64_t FocusedControl()
{
    return OnGuiThread([] { return NumberOfWidget(QApplication::focusWidget()); });
}

namespace {

/// Runs `show` on a window, noting when that brought a hidden one up.
template <typename F> void ShowWith(int64_t number, F show)
{
    WithWidget(number, [&](QWidget* w) {
        const bool wasHidden = w->isWindow() && !w->isVisible();
        show(w);
        if (wasHidden)
            NoteWindowShown(w);
    });
}

} // namespace

void ShowWindow(int64_t number)
{
    ShowWith(number, [](QWidget* w) { w->show(); });
}

void ShowMaximized(int64_t number)
{
    ShowWith(number, [](QWidget* w) { w->showMaximized(); });
}

void ShowNormal(int64_t number)
{
    ShowWith(number, [](QWidget* w) { w->showNormal(); });
}

void ShowRestored(int64_t number)
{
    ShowWith(number, [](QWidget* w) {
        // showNormal would also drop the maximised state that a minimised
        // window keeps beside its minimised one.
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        w->show();
    });
}

void HideWindow(int64_t number)
{
    WithWidget(number, [&](QWidget* w) { w->hide(); });
}

bool IsMaximized(int64_t number)
{
    return OnGuiThread([&] {
        QWidget* w = Widget(number);
        return w != nullptr && w->isMaximized();
    });
}

bool IsMinimized(int64_t number)
{
    return OnGuiThread([&] {
        QWidget* w = Widget(number);
        return w != nullptr && w->isMinimized();
    });
}

void SetMinimumInnerSize(int64_t number, int width, int height)
{
    WithWidget(number, [&](QWidget* w) { w->setMinimumSize(width, height); });
}

void SetWindowIcon(int64_t number, ImageId image)
{
    WithWidget(number, [&](QWidget* w) { w->setWindowIcon(Icon(image)); });
}

void BringToFront(int64_t number)
{
    OnGuiThread([&] {
        if (QWidget* w = Widget(number)) {
            w->raise();
            ActivateWindow(w);
        }
    });
}

int64_t ForegroundWindow()
{
    return OnGuiThread([] { return NumberOfWidget(QApplication::activeWindow()); });
}

void SetCursor(CursorShape shape)
{
    OnGuiThread([&] {
        // The arrow is no override at all, so every control shows its own
        // cursor again; the others hold until the next change.
        if (shape == CursorShape::Arrow) {
            while (QGuiApplication::overrideCursor() != nullptr)
                QGuiApplication::restoreOverrideCursor();
            return;
        }
        const QCursor cursor(shape == CursorShape::Hand ? Qt::PointingHandCursor : Qt::WaitCursor);
        if (QGuiApplication::overrideCursor() == nullptr)
            QGuiApplication::setOverrideCursor(cursor);
        else
            QGuiApplication::changeOverrideCursor(cursor);
    });
}

} // namespace ui
