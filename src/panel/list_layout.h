// The list layout: stacks the rows of the tool list from top to bottom on
// the list surface, wraps each description to the surface's width and
// makes the surface as tall as its content. All amounts are twips.
#pragma once
#include <windows.h>

#include "panel/tool_list.h"

#include <functional>

namespace kk {

// Spacing of the rows, in twips.
inline constexpr int kTopMargin = 90;
inline constexpr int kButtonOffset = -30;  // the settings button sits above the caption's top
inline constexpr int kBulletOffset = 15;
inline constexpr int kGapAfterDescription = 60;
inline constexpr int kLinkLift = 60;  // a link line tucks under the gap after its description
inline constexpr int kBottomMargin = 60;
inline constexpr int kRightMarginPixels = 3;

// The running position and the heights it adds are 16-bit values.
inline constexpr int kMaxTwips = 32767;

// The height in twips that a description control needs for its text
// word-wrapped to widthTwips; the control is null for a row without one.
using TextMeasure = std::function<int(HWND description, int widthTwips)>;

// Gives every row control its top, width and height, in list order, for a
// surface whose drawing area is surfaceWidth twips wide. Returns the
// surface's new height, or -1 when it would not fit in 16 bits.
int StackRows(ToolList& list, int surfaceWidth, PixelScale scale, const TextMeasure& measure);

// The whole layout on the real surface: one text measurement per row, in
// the description's own DC and font, the controls moved with the surface's redrawing held
// and one repaint, switches enabled, the surface's height set. Returns the
// surface's new height in twips, or -1 (and the surface keeps its height)
// when the content does not fit in 16 bits.
int LayOutList(ToolList& list, HWND surface, PixelScale scale);

}  // namespace kk
