// The colours of the generated line-drawing icons, one set for every picture
// so that the toolbars, menus and tool strips keep one look.
#pragma once

#include <QColor>

namespace iconcolours {

inline const QColor kMask(192, 192, 192); // the toolbar strips' mask colour
inline const QColor kInk(51, 60, 74);
inline const QColor kBlue(52, 120, 226);
inline const QColor kGreen(46, 160, 90);
inline const QColor kOrange(230, 140, 40);
inline const QColor kRed(210, 70, 70);
inline const QColor kPaper(250, 250, 252);

} // namespace iconcolours
