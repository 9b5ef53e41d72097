// The floor the panel is measured against: the panel's window tree as a
// bare program would make it, with the same number of windows, the same
// texts and places, standard control classes and no code of its own. The
// runner records the tree from a built panel; the floor program and the
// runner's in-process floor recreate it from that record.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace kkbench {

struct WindowRecord {
    std::string className;
    DWORD style = 0, exStyle = 0;
    int id = 0;
    int parent = -1;  // index of the parent record; -1: the top-level window
    bool moves = false;  // the list surface and its rows: what a relayout moves
    RECT start{}, a{}, b{};  // in the parent's client area: at start-up, and at the two relayout sizes
    int rows = 0;  // a list view's rows: as many in the floor's list give it the same scroll bar
    std::string text;
};

// Every descendant of top, parents before children.
std::vector<WindowRecord> RecordTree(HWND top, int surfaceId);
// Adds the places of the same windows now (the tree must be unchanged).
void RecordPlaces(HWND top, std::vector<WindowRecord>& records, RECT WindowRecord::*place);

bool SaveRecords(const std::string& path, const std::vector<WindowRecord>& records, SIZE startSize);
bool LoadRecords(const std::string& path, std::vector<WindowRecord>& records, SIZE& startSize);

// Creates the tree under a new top-level window of the given outer size,
// every window at its start place; windows[i] belongs to records[i].
HWND CreateFloor(const std::vector<WindowRecord>& records, SIZE outer, std::vector<HWND>& windows);
// Moves and resizes the windows a relayout moves to their places at a or b.
void MoveFloor(const std::vector<WindowRecord>& records, const std::vector<HWND>& windows, RECT WindowRecord::*place);

}  // namespace kkbench
