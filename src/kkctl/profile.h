// A profile: every tool's state and the hotkeys and details lists, as an
// INI-like text a person can read, to carry settings to another machine.
// Paths inside the installation are written relative to it.
#pragma once
#include "kkctl/rows.h"

#include <string>
#include <vector>

namespace kk {

struct ProfileValue {
    std::string name, text, where;
};

struct Profile {
    std::vector<Assignment> tools;
    std::vector<ProfileValue> plugins;  // by plugin key name: their ToolIds differ between machines
    std::vector<ProfileValue> hotkeys, details;
    bool hasHotkeys = false, hasDetails = false;
};

// The profile of the rows as the registry holds them now.
std::string FormatProfile(const MemoryRows& rows);
// False, with the line it stopped at in error, when the text is not a
// whole profile.
bool ParseProfile(const std::string& text, Profile& profile, std::string& error);

int ExportCommand(const std::string& file);
int ImportCommand(const std::string& file);

}  // namespace kk
