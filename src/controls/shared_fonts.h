#pragma once

#include <QFont>

// The two fonts every window shares: large (11 pt) for the customer dialog
// and the owner-drawn lists, small (9 pt) for the skinned controls and the
// download dialog. "微软雅黑" where it is installed, else the CJK font the
// setup installs.
void InitSharedFonts();
const QFont& SharedLargeFont();
const QFont& SharedSmallFont();
// The family chosen for both fonts.
QString SharedFontFamily();
