#include "ui/controls.h"

#include "runtime/event_queue.h"
#include "ui/combo_box.h"
#include "ui/control_widgets.h"
#include "ui/input_events.h"
#include "ui/list_control.h"
#include "ui/rich_text.h"
#include "ui/tab_control.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

#include <atomic>
#include <thread>
#include <vector>

using namespace ui;

namespace {

// Numbers of this test's own window and controls.
constexpr int64_t Win = 100;
constexpr int64_t Edit = 101;
constexpr int64_t Check = 102;
constexpr int64_t Rows = 103;
constexpr int64_t Label = 104;
constexpr int64_t Tabs = 105;
constexpr int64_t OnPage = 106;
constexpr int64_t Box = 107;
constexpr int64_t Combo = 108;
constexpr int64_t Other = 110; // a second window without the Enter/Escape binding
constexpr int64_t OtherEdit = 111;
constexpr int64_t ImagePic = 112;

struct Taken
{
    int32_t kind;
    int64_t window;
    int64_t object;
    int64_t type;
    int64_t param;
};

std::vector<Taken> Drain()
{
    std::vector<Taken> taken;
    for (int pass = 0; pass < 20; ++pass) {
        for (int32_t kind; (kind = runtime::WaitEvent(0)) != 0;)
            taken.push_back(
                {kind, runtime::EventWindow(), runtime::EventObject(), runtime::EventType(), runtime::EventParam()});
    }
    return taken;
}

bool Has(const std::vector<Taken>& events, int32_t kind, int64_t object, int64_t type)
{
    for (const Taken& t : events)
        if (t.kind == kind && t.object == object && t.type == type)
            return true;
    return false;
}

class Controls : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        runtime::SetEventThread();
        ASSERT_TRUE(CreateWindow(Win, "Test", WindowStyle::Main, QRect(100, 100, 600, 400)));
        ASSERT_TRUE(CreateControl(Edit, ControlKind::Edit, Parent{Win}, QRect(10, 10, 200, 24), "", "TestEdit"));
        ASSERT_TRUE(CreateControl(Check, ControlKind::CheckBox, Parent{Win}, QRect(10, 40, 200, 20), "Tick", "Tick"));
        ASSERT_TRUE(CreateControl(Rows, ControlKind::List, Parent{Win}, QRect(10, 70, 300, 100), "", "Rows"));
        ASSERT_TRUE(CreateControl(Label, ControlKind::Label, Parent{Win}, QRect(10, 180, 200, 20), "", "Label"));
        ASSERT_TRUE(CreateControl(Tabs, ControlKind::Tabs, Parent{Win}, QRect(320, 10, 260, 200), "", "Tabs"));
        AddTab(Tabs, "One", ImageId::TabToday);
        AddTab(Tabs, "Two", ImageId::TabYesterday);
        ASSERT_TRUE(CreateControl(OnPage, ControlKind::Label, Parent{Tabs, 1}, QRect(5, 5, 50, 20), "p", "OnPage"));
        ASSERT_TRUE(CreateControl(Box, ControlKind::RichText, Parent{Win}, QRect(10, 210, 300, 100), "", "Box"));
        ASSERT_TRUE(CreateControl(Combo, ControlKind::ImageCombo, Parent{Win}, QRect(10, 320, 42, 24), "", "Combo"));
        AddComboItem(Combo, "", ImageId::PlatformAll);
        AddComboItem(Combo, "", ImageId::PlatformLinux);
        ASSERT_TRUE(CreateControl(ImagePic, ControlKind::Image, Parent{Win}, QRect(60, 320, 32, 32), "", "Picture"));
        SetImage(ImagePic, ImageId::Settings);
        for (const char* title : {"", "Name", "Description", "Link"})
            AddListColumn(Rows, title, 60);
        ASSERT_TRUE(CreateWindow(Other, "Other", WindowStyle::Main, QRect(750, 100, 300, 100)));
        ASSERT_TRUE(CreateControl(OtherEdit, ControlKind::Edit, Parent{Other}, QRect(5, 5, 100, 24), "", "OtherEdit"));
        const int64_t bound[] = {Win};
        InstallInputFilter(bound, 1);
        ShowWindow(Win);
        ShowWindow(Other);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Widget(Win)));
    }

    void SetUp() override { Drain(); }
};

} // namespace

TEST_F(Controls, CreationRefusesTakenNumbersAndUnknownParents)
{
    EXPECT_FALSE(CreateWindow(Win, "again", WindowStyle::Main, QRect(0, 0, 10, 10)));
    EXPECT_FALSE(CreateControl(Edit, ControlKind::Edit, Parent{Win}, QRect(), "", "dup"));
    EXPECT_FALSE(CreateControl(120, ControlKind::Edit, Parent{999}, QRect(), "", "orphan"));
    EXPECT_FALSE(CreateControl(121, ControlKind::Edit, Parent{Tabs, 7}, QRect(), "", "no such page"));
    EXPECT_EQ(WindowOf(OnPage), Win);
    EXPECT_EQ(WindowOf(999), -1);
    // Unknown numbers are ignored, and queries on them give nothing.
    SetText(999, "x");
    EXPECT_EQ(Text(999), "");
    EXPECT_EQ(RowCount(999), 0);
    EXPECT_EQ(AddRow(999, "a", ImageId::TabNews), -1);
}

TEST_F(Controls, ProgramChangesRaiseNoEventsButTheUsersDo)
{
    SetText(Edit, "set by the program");
    SetState(Check, 1);
    SetState(Combo, 1);
    AddRow(Rows, "r\nname\ndesc\nlink", ImageId::TabNews);
    SelectRow(Rows, 0, true);
    EXPECT_TRUE(Drain().empty());
    Widget(Win)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Widget(Win)));
    Drain(); // activating the window is the user's doing
    SetFocus(Rows);
    ASSERT_EQ(FocusedControl(), Rows);
    EXPECT_TRUE(Drain().empty());

    SetText(Edit, "");
    Drain();
    Widget(Edit)->setFocus();
    QTest::keyClicks(Widget(Edit), "ab");
    QTest::mouseClick(Widget(Check), Qt::LeftButton, {}, QPoint(6, 10)); // on the box itself
    const std::vector<Taken> events = Drain();
    EXPECT_TRUE(Has(events, runtime::EvControl, Edit, ControlChange));
    EXPECT_TRUE(Has(events, runtime::EvControl, Check, ControlClick));
    EXPECT_EQ(Text(Edit), "ab");
    EXPECT_EQ(State(Check), 0); // the click flipped it back
    for (const Taken& t : events) {
        if (t.kind == runtime::EvControl) {
            EXPECT_EQ(t.window, Win);
        }
    }
    ClearRows(Rows);
}

TEST_F(Controls, KeysBecomeVirtualKeyNotificationsAndEnterStaysOutOfBoundWindows)
{
    Widget(Win)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Widget(Win)));
    Widget(Edit)->setFocus();
    bool returnSeen = false;
    auto* edit = qobject_cast<QLineEdit*>(Widget(Edit));
    QObject::connect(edit, &QLineEdit::returnPressed, [&returnSeen] { returnSeen = true; });
    QTest::keyClick(edit, Qt::Key_F5);
    QTest::keyClick(edit, Qt::Key_Return);
    std::vector<Taken> events = Drain();
    std::vector<int64_t> keys;
    for (const Taken& t : events)
        if (t.kind == runtime::EvKeyDown)
            keys.push_back(t.param);
    EXPECT_EQ(keys, (std::vector<int64_t>{116, 13}));
    EXPECT_FALSE(returnSeen); // the binding keeps Enter from the focused control
    EXPECT_TRUE(Has(events, runtime::EvMenu, 51, 0));

    // In a window without the binding, Enter reaches the control.
    auto* other = qobject_cast<QLineEdit*>(Widget(OtherEdit));
    bool otherReturn = false;
    QObject::connect(other, &QLineEdit::returnPressed, [&otherReturn] { otherReturn = true; });
    Widget(Other)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Widget(Other)));
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Return);
    events = Drain();
    EXPECT_TRUE(otherReturn);
    EXPECT_FALSE(Has(events, runtime::EvMenu, 51, 0));
}

TEST_F(Controls, KeyStateFollowsPressAndRelease)
{
    Widget(Win)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Widget(Win)));
    auto* edit = Widget(Edit);
    edit->setFocus();
    QTest::keyPress(edit, Qt::Key_Escape);
    EXPECT_TRUE(KeyHeld(VkEscape));
    QTest::keyRelease(edit, Qt::Key_Escape);
    EXPECT_FALSE(KeyHeld(VkEscape));
    EXPECT_EQ(VirtualKeyOf(Qt::Key_A), 65);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_F12), 122);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_F5), 116);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_F11), 0); // no number that could pass for F12
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Enter), 13);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Dead_Acute), 0);
}

TEST_F(Controls, ClosingAWindowIsAnEventNotAClose)
{
    Widget(Win)->close();
    const std::vector<Taken> events = Drain();
    EXPECT_TRUE(Has(events, runtime::EvCloseWindow, Win, 0));
    EXPECT_TRUE(IsVisible(Win));
}

TEST_F(Controls, ListRowsSplitAtLineFeedsAndKeepTheirColours)
{
    ClearRows(Rows);
    EXPECT_EQ(AddRow(Rows, " \xe2\x97\x8f\nFoo 1.0\nA tool.\nhttps://x/a", ImageId::TabNews), 0);
    EXPECT_EQ(AddRow(Rows, "p\nBar\nB.\nhttps://x/b\nextra part", ImageId::TabNews), 1);
    EXPECT_EQ(AddRow(Rows, "only one", ImageId::TabNews), 2);
    EXPECT_EQ(RowCount(Rows), 3);
    EXPECT_EQ(CellText(Rows, 0, 1), "Foo 1.0");
    EXPECT_EQ(CellText(Rows, 1, 3), "https://x/b"); // the fifth part has no column
    EXPECT_EQ(CellText(Rows, 2, 0), "only one");
    EXPECT_EQ(CellText(Rows, 2, 1), "");
    EXPECT_EQ(CellText(Rows, 7, 1), "");

    const QColor red(200, 0, 0);
    SetCellColour(Rows, 1, 1, red);
    SetCellColour(Rows, 1, 2, red);
    EXPECT_EQ(CellColour(Rows, 1, 1), red);
    EXPECT_FALSE(CellColour(Rows, 1, 0).isValid());
    SetRowColour(Rows, 1, QColor());
    EXPECT_FALSE(CellColour(Rows, 1, 1).isValid());

    EXPECT_EQ(SelectedRow(Rows), -1);
    SelectRow(Rows, 2, true);
    EXPECT_EQ(SelectedRow(Rows), 2);
    SelectRow(Rows, 1, true); // single selection: the new row replaces the old
    EXPECT_EQ(SelectedRows(Rows), (QList<int64_t>{1}));

    AddRows(Rows, {"a\nb", "c\nd"}, {ImageId::TabNews});
    EXPECT_EQ(RowCount(Rows), 5);
    EXPECT_EQ(CellText(Rows, 4, 1), "d");
    SetColumnWidth(Rows, 2, 123);
    EXPECT_EQ(ColumnWidth(Rows, 2), 123);
    EXPECT_EQ(ColumnWidth(Rows, 9), 0);
}

TEST_F(Controls, WorkerCallsAreAppliedInOrderOnTheGuiThread)
{
    ClearRows(Rows);
    std::atomic<bool> done{false};
    std::thread worker([&done] {
        for (int i = 0; i < 200; ++i) {
            AddRow(Rows, QString::number(i), ImageId::TabNews);
            SetText(Label, QString::number(i));
        }
        done = true;
    });
    while (!done.load())
        runtime::WaitEvent(1);
    worker.join();
    ASSERT_EQ(RowCount(Rows), 200);
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(CellText(Rows, i, 0), QString::number(i));
    EXPECT_EQ(Text(Label), "199");
}

TEST_F(Controls, TabsPagesAndTheLastTabRectangle)
{
    EXPECT_EQ(TabCount(Tabs), 2);
    SetTabCaption(Tabs, 0, "Mon December 07, 2026 ");
    EXPECT_EQ(TabCaption(Tabs, 0), "Mon December 07, 2026 ");
    const QRect last = LastTabRect(Tabs);
    EXPECT_GT(last.width(), 0);
    EXPECT_GT(last.x(), 0); // the second tab starts after the first
    EXPECT_EQ(Widget(OnPage)->parentWidget()->parentWidget()->parentWidget(), Widget(Tabs));
}

TEST_F(Controls, RichTextAppendsAndColoursSpans)
{
    SetText(Box, "Microsoft App Installer was not found. More.");
    ColourSpan(Box, 0, 38, QColor(200, 0, 0), QColor(225, 225, 187));
    EXPECT_EQ(SpanTextColour(Box, 0), QColor(200, 0, 0));
    EXPECT_EQ(SpanTextColour(Box, 37), QColor(200, 0, 0));
    EXPECT_FALSE(SpanTextColour(Box, 39).isValid());
    AppendLine(Box, "next");
    EXPECT_EQ(Text(Box), "Microsoft App Installer was not found. More.\nnext");
    ColourSpan(Box, 1000, 5, Qt::red, Qt::red); // beyond the end: nothing happens
}

TEST_F(Controls, BordersFontsColoursAndImages)
{
    const struct
    {
        const char* word;
        const char* stored;
    } rows[] = {{"none", "none"},     {"BLACK", "black"}, {"Raised", "raised"},
                {"sunken", "sunken"}, {"thin", "thin"},   {"wavy", "thin"}};
    for (const auto& r : rows) {
        SetBorder(Label, r.word);
        EXPECT_EQ(Border(Label), r.stored) << r.word;
    }
    SetFont(Label, FontKind::Italic);
    EXPECT_TRUE(Widget(Label)->font().italic());
    EXPECT_EQ(Widget(Label)->font().pointSize(), 10);
    SetColours(Label, QColor(96, 97, 74), QColor(225, 225, 187));
    EXPECT_EQ(Widget(Label)->palette().color(QPalette::Window), QColor(96, 97, 74));
    EXPECT_EQ(Widget(Label)->palette().color(QPalette::WindowText), QColor(225, 225, 187));
    SetColours(Label, QColor(), QColor());
    EXPECT_EQ(Widget(Label)->palette().color(QPalette::Window),
              QApplication::palette(Widget(Label)).color(QPalette::Window));
    EXPECT_EQ(Widget(Label)->accessibleName(), "Label");
    SetTooltip(Label, "tip");
    EXPECT_EQ(Widget(Label)->accessibleDescription(), "tip");
}

TEST_F(Controls, MouseMovesBecomeOneNotificationEach)
{
    Drain();
    QTest::mouseMove(Widget(Label), QPoint(5, 5));
    QTest::mouseMove(Widget(Label), QPoint(9, 9));
    int moves = 0;
    for (const Taken& t : Drain())
        moves += t.kind == runtime::EvMouseMove ? 1 : 0;
    EXPECT_EQ(moves, 2); // neither folded nor counted again by the label's parents
}

/// A double click as a desktop delivers it to a widget: press, release, then
/// the second press as a double click, and its release.
void DoubleClick(QWidget* widget)
{
    const QPointF centre = QRectF(widget->rect()).center();
    QTest::mouseClick(widget, Qt::LeftButton);
    QMouseEvent second(QEvent::MouseButtonDblClick, centre, widget->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                       Qt::NoModifier);
    QApplication::sendEvent(widget, &second);
    QTest::mouseRelease(widget, Qt::LeftButton);
}

TEST_F(Controls, AnImageRaisesOneClickPerClickAndOnePerDoubleClick)
{
    const auto click = [] { QTest::mouseClick(Widget(ImagePic), Qt::LeftButton); };
    const auto doubleClick = [] { DoubleClick(Widget(ImagePic)); };
    const struct
    {
        const char* what;
        std::vector<std::function<void()>> gestures; // the loop looks after each
        int clicks;
    } rows[] = {
        {"a click", {click}, 1},
        {"a double click acts once", {doubleClick}, 1},
        {"a click after a double click still acts", {doubleClick, click}, 2},
    };
    for (const auto& r : rows) {
        Drain();
        int clicks = 0;
        for (const auto& gesture : r.gestures) {
            gesture();
            for (const Taken& t : Drain()) {
                EXPECT_NE(t.type, ControlDoubleClick) << r.what;
                if (t.kind == runtime::EvControl && t.object == ImagePic && t.type == ControlClick)
                    ++clicks;
            }
        }
        EXPECT_EQ(clicks, r.clicks) << r.what;
    }
}
