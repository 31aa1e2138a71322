#pragma once

#include <QColor>

namespace app {

// The site's own colours: the olive-and-cream scheme, the alert red and the
// picture of the day's frame. A leaf, so that everything that paints can use
// them without depending on the code that applies a scheme.

inline const QColor DarkColour{96, 97, 74};
inline const QColor PaleColour{225, 225, 187};
inline const QColor CreamColour{255, 255, 235};
inline const QColor ListTextColour{0, 0, 0};
inline const QColor AlertRedColour{200, 0, 0};
inline const QColor SearchTextColour{0, 150, 0};
/// The picture of the day's background and frame in the site's colours.
inline const QColor PictureBackgroundColour{145, 145, 107};
inline const QColor PictureFrameColour{66, 67, 54};

} // namespace app
