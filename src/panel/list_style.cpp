#include "panel/list_style.h"

#include <cstddef>

namespace kk {

ListStyle::ListStyle() : surface_(CreateSolidBrush(kSurfaceColour)) {
    // Only the description carries the hand at first; start-up shares it.
    HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    templates_[kFamilyDescription].cursor = hand ? hand : LoadCursor(nullptr, IDC_ARROW);
    templates_[kFamilyCaptionTitle].text = RGB(0, 0, 0);
    templates_[kFamilyDescription].text = RGB(72, 72, 72);
    templates_[kFamilyChanged].text = RGB(204, 51, 0);
    templates_[kFamilyHLink].text = RGB(0, 82, 204);
    templates_[kFamilyCheckBox].width = 13;
    templates_[kFamilyCheckBox].height = 13;
    templates_[kFamilyButtonObject].width = 23;
    templates_[kFamilyButtonObject].height = 19;
    templates_[kFamilyBullet].width = 12;
    templates_[kFamilyBullet].height = 12;
    LOGFONTA base;
    if (SystemMessageFont(base)) SetBaseFont(base);
}

void ListStyle::SetBaseFont(const LOGFONTA& base) {
    LOGFONTA lf = base;
    lf.lfWeight = FW_NORMAL;
    lf.lfUnderline = FALSE;
    text_.reset(CreateFontIndirectA(&lf));
    lf.lfWeight = FW_BOLD;
    bold_.reset(CreateFontIndirectA(&lf));
    lf.lfWeight = FW_NORMAL;
    lf.lfUnderline = TRUE;
    link_.reset(CreateFontIndirectA(&lf));

    templates_[kFamilyCaptionTitle].font = bold_.get();
    templates_[kFamilyDescription].font = text_.get();
    templates_[kFamilyChanged].font = bold_.get();
    templates_[kFamilyHLink].font = link_.get();
    templates_[kFamilyCheckBox].font = text_.get();
    templates_[kFamilyButtonObject].font = text_.get();
    templates_[kFamilyBullet].font = text_.get();
}

const FamilyTemplate& ListStyle::Template(int family) const {
    return templates_[family > 0 && family < kFamilyCount ? family : 0];
}

void ListStyle::ShareHandCursor() {
    templates_[kFamilyCaptionTitle].cursor = templates_[kFamilyDescription].cursor;
    templates_[kFamilyHLink].cursor = templates_[kFamilyDescription].cursor;
}

bool SystemMessageFont(LOGFONTA& out) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
    out = metrics.lfMessageFont;
    return true;
}

LOGFONTA FontFace(const char* face, int pointsTenths, int weight) {
    HDC screen = GetDC(nullptr);
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(pointsTenths, GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return lf;
}

}  // namespace kk
