// The look of the tool list: what each row control copies from its
// family's template (font, text colour, mouse cursor) and the sizes of the
// switch pictures. One object, owned by the main window.
#pragma once
#include <windows.h>

#include "engine/handles.h"
#include "panel/control_ids.h"

namespace kk {

struct FamilyTemplate {
    HFONT font = nullptr;
    COLORREF text = RGB(0, 0, 0);
    HCURSOR cursor = nullptr;  // null: the arrow of the surface
    int width = 0, height = 0;  // pixels, for the picture controls
};

inline constexpr COLORREF kHeadingColour = RGB(128, 128, 128);
inline constexpr COLORREF kSurfaceColour = RGB(255, 255, 255);

class ListStyle {
public:
    ListStyle();
    ListStyle(const ListStyle&) = delete;
    ListStyle& operator=(const ListStyle&) = delete;

    // Derives the list's fonts (plain, bold, underlined) from one base font.
    void SetBaseFont(const LOGFONTA& base);

    const FamilyTemplate& Template(int family) const;
    // Gives the caption and link templates the description's hand cursor.
    void ShareHandCursor();

    HFONT SurfaceFont() const { return text_.get(); }
    HBRUSH SurfaceBrush() const { return surface_.get(); }

private:
    GdiObject<HFONT> text_, bold_, link_;
    GdiObject<HBRUSH> surface_;
    FamilyTemplate templates_[kFamilyCount];
};

// The message font of the running system, read with the structure size
// that systems before Vista accept.
bool SystemMessageFont(LOGFONTA& out);
// The given face at a point size on the screen's resolution.
LOGFONTA FontFace(const char* face, int pointsTenths, int weight);

}  // namespace kk
