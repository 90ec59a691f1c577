#pragma once

#include <QIcon>

// The program's icons by their resource names ("ICON_CODE", "AA_ICON"). They are drawn as SVG
// and rendered at whatever size and pixel ratio a widget asks for, so they stay sharp at 16 x 16
// and on high-DPI screens. An unknown name gives a null icon.
QIcon KivIcon(const char* name);

// Picture `index` (counted from 1) of the toolbar strip EXPL_TOOLBAR, a row of 16 x 16 pictures;
// a null icon for an index outside the strip.
QIcon KivToolbarIcon(int index);
