// The list layout: stacks the rows of the tool list from top to bottom on
// the list surface, wraps each description to the surface's width and
// makes the surface as tall as its content. All amounts are twips.
#pragma once
#include <windows.h>

#include "panel/tool_list.h"

#include <functional>
#include <string>

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

// How a description is measured: word-wrapped, "&" shown as itself.
inline constexpr UINT kMeasureFlags = DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX;

// The height that text needs word-wrapped to widthTwips in the font
// selected into dc (DrawText with kMeasureFlags).
int MeasureText(HDC dc, const std::string& text, int widthTwips, PixelScale scale);

using TextMeasure = std::function<int(const std::string& text, int widthTwips)>;

// Gives every row control its top, width and height, in list order, for a
// surface whose drawing area is surfaceWidth twips wide. Returns the
// surface's new height, or -1 when it would not fit in 16 bits.
int StackRows(ToolList& list, int surfaceWidth, PixelScale scale, const TextMeasure& measure);

// The whole layout on the real surface: one text measurement per row in
// the surface's font, the controls moved with the surface's redrawing held
// and one repaint, switches enabled, the surface's height set. Returns the
// surface's new height in twips, or -1 (and the surface keeps its height)
// when the content does not fit in 16 bits.
int LayOutList(ToolList& list, HWND surface, PixelScale scale);

}  // namespace kk
