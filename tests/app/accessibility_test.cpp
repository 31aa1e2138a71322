#include "app/status_line.h"
#include "window_fixture.h"

#include "support/qstring_print.h"
#include "support/test_files.h"
#include "ui/control_numbers.h"
#include "ui/controls.h"
#include "ui/list_control.h"

#include <QAccessible>
#include <QComboBox>
#include <QMap>
#include <QRegularExpression>
#include <QWidget>

#include <gtest/gtest.h>

using namespace ui::id;

namespace {

QString Spoken(int64_t number, QAccessible::Text part)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(ui::Widget(number));
    return accessible != nullptr ? accessible->text(part) : QString();
}

/// An internal name rather than words: "TodayList", "search_box".
bool LooksLikeIdentifier(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    static const QRegularExpression hump(QStringLiteral("[a-z][A-Z]|_"));
    return word.match(text).hasMatch() && hump.match(text).hasMatch();
}

} // namespace

// What a screen reader calls each control is what tools/a11y/controls.tsv
// says, which is what the accessibility check looks the controls up by.
TEST(Accessibility, EveryControlSpeaksTheNameItsTableRowGives)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const QStringList lines = QString::fromUtf8(testsupport::ReadBytes(ZORVANE_A11Y_TABLE)).split(u'\n');
    ASSERT_EQ(lines.value(0), "name\taccessible_name\trole");
    QMap<QString, QString> table;
    for (const QString& line : lines.mid(1)) {
        if (line.isEmpty())
            continue;
        const QStringList cells = line.split(u'\t');
        ASSERT_EQ(cells.size(), 3) << line.toStdString();
        table.insert(cells[0], cells[1]);
    }

    int controls = 0;
    for (const int64_t number : ui::Numbers()) {
        if (ui::WindowOf(number) == number)
            continue; // a window speaks its caption
        ++controls;
        const QString name = QString::fromLatin1(ui::ControlName(number));
        const QString spoken = Spoken(number, QAccessible::Name);
        EXPECT_TRUE(table.contains(name)) << name.toStdString() << " has no row";
        EXPECT_EQ(spoken, table.value(name)) << name.toStdString();
        EXPECT_FALSE(spoken.trimmed().isEmpty()) << name.toStdString();
        EXPECT_FALSE(LooksLikeIdentifier(spoken)) << name.toStdString() << ": " << spoken.toStdString();
    }
    EXPECT_EQ(controls, table.size()); // no row for a control that does not exist
}

TEST(Accessibility, TextsThatChangeReachTheScreenReader)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    app::SetStatusText(QStringLiteral("Makes backups of your photos."), false);
    EXPECT_EQ(Spoken(StatusLine, QAccessible::Description), " Makes backups of your photos.");
    ui::SetText(ProductCaption, QStringLiteral("Your daily dose of software "));
    EXPECT_EQ(Spoken(ProductCaption, QAccessible::Description), "Your daily dose of software ");
    ui::SetText(RefreshingText, QStringLiteral("Refreshing ziby content..."));
    EXPECT_EQ(Spoken(RefreshingText, QAccessible::Description), "Refreshing ziby content...");
    // The names stay, so the controls can still be found.
    EXPECT_EQ(Spoken(StatusLine, QAccessible::Name), "Status");
}

TEST(Accessibility, RolesAndItemsAScreenReaderNeeds)
{
    ASSERT_TRUE(apptest::CreateProgramWindows());
    const auto role = [](int64_t number) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(ui::Widget(number));
        return accessible != nullptr ? accessible->role() : QAccessible::NoRole;
    };
    const struct
    {
        int64_t number;
        QAccessible::Role role;
    } rows[] = {
        {MainWindow, QAccessible::Window},    {SettingsWindow, QAccessible::Dialog},
        {StatusLine, QAccessible::StatusBar}, {VisitSiteImage, QAccessible::Button},
        {SettingsImage, QAccessible::Button}, {PictureImage, QAccessible::Button},
    };
    for (const auto& r : rows)
        EXPECT_EQ(role(r.number), r.role) << ui::ControlName(r.number);

    // The images can be pressed by a screen reader.
    QAccessibleInterface* settings = QAccessible::queryAccessibleInterface(ui::Widget(SettingsImage));
    ASSERT_NE(settings->actionInterface(), nullptr);
    EXPECT_TRUE(settings->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

    // The platform items say what they stand for.
    auto* platforms = qobject_cast<QComboBox*>(ui::Widget(PlatformCombo));
    ASSERT_NE(platforms, nullptr);
    for (int i = 0; i < platforms->count(); ++i)
        EXPECT_FALSE(platforms->itemData(i, Qt::AccessibleTextRole).toString().isEmpty()) << "platform item " << i;

    // Rows read their name and description, not the address kept beside them.
    const struct
    {
        int64_t list;
        const char* row;
        int spokenColumns;
    } lists[] = {
        {TodayList, " Windows\nKelvara Studio\nEdits photos.\nhttps://h/kelvara.html", 3},
        {NewsList, " Kelvara 2 is out\nhttps://h/news/1.html", 1},
        {AppsList, "Kelvara Studio\n1.0\n2.0\nKelvara.Studio\n1", 4},
    };
    for (const auto& l : lists) {
        ui::AddRow(l.list, QString::fromUtf8(l.row), ui::ImageId::TabNews);
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(ui::Widget(l.list));
        ASSERT_NE(table, nullptr);
        ASSERT_NE(table->tableInterface(), nullptr);
        EXPECT_EQ(table->tableInterface()->columnCount(), l.spokenColumns) << ui::ControlName(l.list);
        // The program still reads every column back.
        const QStringList cells = QString::fromUtf8(l.row).split(u'\n');
        EXPECT_EQ(ui::CellText(l.list, 0, static_cast<int>(cells.size() - 1)), cells.back()) << ui::ControlName(l.list);
        ui::ClearRows(l.list);
    }
}
