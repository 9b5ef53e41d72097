// The list the settings pages share: a common-controls list view in report
// mode, without headers, whose rows carry a picture, a number and a tag
// besides their text. The rows live here; the list view shows them as
// owner data, so filling hundreds of rows costs no more than the rows in view. A row's text may hold a tab: the part after it is
// drawn as a second column (the hotkeys page). The list can reorder its
// rows by drag and drop: a press that the page allows to start a drag,
// then a move of more than 60 twips up or down, begins it; the row under
// the pointer is selected while dragging; releasing moves the start row
// there in one repaint.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace kk {

struct PageListRow {
    std::string text;
    int number = 0;
    std::string tag;
    int picture = -1;  // index in the list's image list; -1 for none
};

class PageList;

// What the page hears from its list. Each call comes after the list has
// done its own part (selecting the pressed row, moving the dropped one).
class PageListEvents {
public:
    virtual ~PageListEvents() = default;
    // Left button pressed at x, y (client pixels), on the row now selected
    // (-1 when the press was below the last row). Answer true to let this
    // press start a drag.
    virtual bool OnListPress(PageList& list, int x, int y) { return false; }
    // A key pressed on the list (WM_KEYDOWN's virtual key).
    virtual void OnListKey(PageList& list, int key) {}
    // The selection changed, by the user or by Select(); -1 when none.
    virtual void OnListSelect(PageList& list, int row) {}
    // A drag moved row `from` to `to`.
    virtual void OnListReorder(PageList& list, int from, int to) {}
};

class PageList {
public:
    PageList() = default;
    PageList(const PageList&) = delete;
    PageList& operator=(const PageList&) = delete;
    ~PageList();

    // Creates the list view as control `id` of parent. images is not owned
    // (the page keeps it alive longer than the list). With twoColumns the
    // first column is firstColumnWidth pixels wide and the second takes
    // the rest; otherwise one column fills the list.
    bool Create(HWND parent, int id, const RECT& place, HFONT font, HIMAGELIST images, PageListEvents& events,
                bool twoColumns = false, int firstColumnWidth = 0);
    HWND Window() const { return hwnd_; }

    int Count() const { return static_cast<int>(rows_.size()); }
    // Row i; an empty row for an index out of range.
    const PageListRow& Row(int i) const;
    void Clear();
    void Append(const PageListRow& row) { Insert(Count(), row); }
    void Insert(int at, const PageListRow& row);
    void Remove(int at);
    // Replaces row i's text, number, tag and picture.
    void SetRow(int i, const PageListRow& row);
    // Sets row i's number and picture together.
    void SetNumber(int i, int number, int picture);
    // Moves row `from` to position `to`, repainting once.
    void Move(int from, int to);

    int Selected() const;  // -1 when none
    // Selects only row i (-1 selects none), focuses it and scrolls it into view.
    void Select(int i);
    int TopIndex() const;
    int RowHeight() const;  // pixels
    // The row at client height y: the top visible row plus y / row height;
    // -1 when that is past the last row.
    int RowAt(int y) const;
    // The page forwards its WM_NOTIFY here (the list view asks it for the
    // rows it shows); true when it was the list's.
    bool HandleNotify(const NMHDR& header);

    // Whether a drag is under way (between the move that began it and the release).
    bool Dragging() const { return dragging_; }

private:
    friend class PageListBatch;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Refresh(int first, int last);
    void ShowRow(NMLVDISPINFOA& info) const;
    void SettleWhileHidden();
    void PaintThroughMemory();
    void EndDrag(bool drop);

    HWND hwnd_ = nullptr;
    PageListEvents* events_ = nullptr;
    std::vector<PageListRow> rows_;
    bool twoColumns_ = false;
    bool quiet_ = false;  // no selection events while the list rebuilds itself
    int held_ = 0;        // batches under way: the list view hears of the rows at their end
    int dragStart_ = -1, pressY_ = 0, dragTarget_ = -1;
    bool dragging_ = false;
};

// Holds a list's painting while a page fills it, for one repaint at the
// end instead of one per row.
class PageListBatch {
public:
    explicit PageListBatch(PageList& list);
    ~PageListBatch();
    PageListBatch(const PageListBatch&) = delete;
    PageListBatch& operator=(const PageListBatch&) = delete;

private:
    PageList& list_;
};

// Toggles the selected row's check, given the horizontal position of the
// press (0 for the space bar): only a position within the check picture's
// width plus 7 pixels of the row's left edge counts. The row's picture is
// the first of its pair of check pictures plus its number. True when it toggled.
bool CheckBox(PageList& list, int x);
// The number of rows whose number is not 0.
int NumChecked(const PageList& list);
// Sets every row's number to `checked` and its picture to match.
void CheckAll(PageList& list, bool checked);

}  // namespace kk
