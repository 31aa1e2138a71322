#pragma once

#include "app/site_colours.h"
#include "ui/controls.h"

#include <QColor>
#include <QList>
#include <QString>

#include <cstdint>

namespace app {

// The two looks of the program: the site's olive-and-cream scheme
// (app/site_colours.h) and the system's own colours.

/// System colours that the system scheme names explicitly.
struct SystemColours
{
    QColor buttonFace; // tab-control background
    QColor window;     // background of the notice's first sentence
};

/// One control's colours; an invalid colour is the control's own default.
struct ControlColours
{
    int64_t number = -1;
    QColor back;
    QColor text;
};

/// Everything a scheme assigns.
struct SchemeLook
{
    QString refreshingBorder; // border look of RefreshingText
    ControlColours infoBox;   // AppsInfoBox
    QList<ControlColours>
        colours;                 // settings controls, check boxes, windows, main controls, tab controls, in that order
    QList<ControlColours> lines; // TabStripLine and NewsTabLine
    bool linesShown = false;
};

/// The look of a scheme (`site` true: the site's colours). SearchBox is listed
/// with its background only: its text colour follows its content
/// (SearchBoxLookOf). Pure.
SchemeLook SchemeLookOf(bool site, const SystemColours& system);

/// Font and text colour of SearchBox for its content. Pure.
struct SearchBoxLook
{
    ui::FontKind font = ui::FontKind::Italic;
    QColor text;
};
SearchBoxLook SearchBoxLookOf(bool site, bool empty);

/// How many leading characters of the apps notice are coloured: the length of
/// the missing-updater sentence ("No package manager was found.", 29); on a
/// system too old for the updater, the whole first sentence of its notice, so
/// it is not cut in two.
/// Never more than the notice. Pure.
int NoticeSpanLength(const QString& notice, bool updaterUnsupported);

/// Paints every window and control in the scheme `on` (1 site, anything else
/// system); `on` also becomes the colour setting, which the header row and
/// the search box read. GUI thread.
void ApplyColourScheme(int64_t on);

/// Border look of a control: "none", "black", "raised", "sunken" or "thin",
/// compared without regard to case; any other word gives "thin". The control
/// keeps its position, size and stacking. Any thread.
void SetControlBorder(int64_t number, const QString& word);

/// SearchBox empty: italic, default text colour; with text: upright, and green
/// in the site scheme. The system scheme changes only the font. GUI thread.
void UpdateSearchBoxLook();

} // namespace app
