// The Autoplay page (ToolId 130): one row per drive letter A to Z, ticked
// when Windows may play that drive automatically.
//
// Settings text: the policy mask NoDriveAutoRun in decimal, bit i set for
// the letter A + i that may not play; the same out, rebuilt from the 26
// rows (higher bits are dropped).
#pragma once
#include "pages/settings_page.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kk {

enum AutoplayControlId : int {
    kIdAutoplayList = 101,
    kIdBtnAutoplay = 102,  // BtnAutoplay(k) is kIdBtnAutoplay + k: 1 ticks every row, 0 clears them
};

inline constexpr int kAutoplayToolId = 130;

// The 32 bits a decimal text stands for, whether written signed (as the
// policy's DWORD reads back) or unsigned; 0 for anything else.
uint32_t MaskFromText(const std::string& text);

std::unique_ptr<SettingsPage> MakeAutoplayPage();

}  // namespace kk
