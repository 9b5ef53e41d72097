// What the details and Autoplay pages share: a list of rows with check
// pictures, ticked by a press on the picture or by the space bar, and the
// two "All" buttons that tick (k = 1) or clear (k = 0) every row. The
// buttons draw themselves: a push button face with the checked or the
// unchecked picture beside the caption.
#pragma once
#include "pages/drawn_images.h"
#include "pages/page_controls.h"
#include "pages/page_list.h"

#include <string>

namespace kk {

class CheckListPage : public PanelPage, public PageListEvents {
public:
    LRESULT OnNotify(const NMHDR& header) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    bool OnListPress(PageList& list, int x, int y) override;
    void OnListKey(PageList& list, int key) override;

protected:
    // Lists whose rows the user may drag allow a press right of the check
    // zone to start a drag.
    explicit CheckListPage(bool reorderable) : reorderable_(reorderable) {}

    // Creates the list as control listId and the buttons All(1) and All(0)
    // as allId + 1 and allId, in that tab order, side by side at buttonsAt.
    void CreateCheckList(int listId, const RECT& place, int allId, POINT buttonsAt);
    // A row showing the checked or the unchecked picture of the pair in use.
    PageListRow CheckRow(const std::string& text, const std::string& tag, bool checked) const;
    // For OnCommand: true when id is an All button; a click on it then
    // ticks or clears every row and calls OnAll.
    bool HandleAllClick(int id, int code);

    // The user ticked or cleared one row.
    virtual void OnTicked() = 0;
    // An All button has set every row.
    virtual void OnAll() = 0;

    HIMAGELIST images_ = nullptr;  // the process's shared pictures
    // The pair of check pictures in use, fixed when the page opens: asking
    // the system's look for every row would cost registry reads each.
    int checkBase_ = 0;
    PageList list_;

private:
    void DrawAllButton(const DRAWITEMSTRUCT& item, bool checked) const;

    int allId_ = 0;
    bool reorderable_ = false;
};

}  // namespace kk
