// The item store, layout and hit rules of the editor's pop-up menu, without
// any drawing: what SV_ContextMenu shows and how a click on it is resolved.
//
// Entries and separators share one value numbering (a separator takes a
// number but no row); headers take rows but no number. The first column holds
// the top-level entries and the submenu headers, the second the entries of the
// selected header.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editor/EditorLayout.h"

namespace kettrix::editor {

struct MenuItem {
    std::string text;  // at most kMaxTextLength characters
    int valueId = -1;  // entry: its value number; header: -1
    int parentId = 0;  // entry: its submenu (0 = top level); header: its own submenu id
    bool isHeader = false;
    bool closes = false;
    bool highlighted = false;
    bool separatorBefore = false;
};

// What a click on the open menu did.
struct MenuClick {
    enum class Kind { Outside, Header, Entry };
    Kind kind = Kind::Outside;
    int item = -1;
    int valueId = -1;
    bool closes = false;
};

// One row of a column as it is drawn: which item, and where.
struct MenuRow {
    int item;
    Rect cell;
    bool separatorLine;  // a line 2 pixels above the cell
};

// The entry a normalised value stands for among `count` value numbers, as the
// engine reads a plain value: truncated, so a fractional value (a randomized
// one) names the entry that plays. The tolerance only absorbs the rounding of
// the normalised round trip (31 / 39 · 39 = 30.999999999999996).
int valueNumberOf(double normalized, int count);

class MenuModel {
public:
    static constexpr int kMaxItems = 1024;
    static constexpr std::size_t kMaxTextLength = 255;
    static constexpr int kItemWidth = 217;
    static constexpr int kItemHeight = 27;
    static constexpr int kColumnGap = 19;
    static constexpr int kMaxRows = 14;
    static constexpr int kItemsLeft = 26;  // from the menu's left edge
    static constexpr int kItemsTop = 49;   // from the menu's top edge
    static constexpr int kLargeWidth = 521, kSmallWidth = 287, kHeight = 372;
    static constexpr int kCentreX = 419, kCentreY = 278;
    // The envelope shape menus open left of and above the centre, next to the envelope editors.
    static constexpr int kShapeMenuShiftX = -143, kShapeMenuShiftY = -17;

    void clear();
    // Adds a record (or, for "<->", a pending separator); returns the value number, -1 for none.
    int addItem(std::string_view text, int parentId, bool isHeader, bool closes);
    int addTopItem(std::string_view text) { return addItem(text, 0, false, false); }
    int addSubItem(std::string_view text, int parentId) { return addItem(text, parentId, false, false); }
    // Adds item strings with their markers (submenus, closing entries,
    // separators). A string flagged in `literal` is a plain entry whatever it
    // starts with (a sound's name is shown as typed, never read as a marker).
    void feed(std::span<const std::string> strings, const std::vector<bool>& literal = {});
    // Highlights the entry of the normalised value and shows its submenu.
    void selectValue(double normalized);

    // Resolves a click at (x, y) and applies its selection change (header or
    // entry highlighted); the caller sets the value and hides the menu.
    MenuClick click(int x, int y);

    // Layout.
    bool hasSubmenus() const { return hasSubmenus_; }
    Rect bounds() const;
    std::vector<MenuRow> column(int which) const;

    // State.
    int itemCount() const { return static_cast<int>(items_.size()); }
    int valueCount() const { return valueCount_; }
    const MenuItem& item(int index) const { return items_[static_cast<std::size_t>(index)]; }
    int selectedItem() const { return selectedItem_; }
    int selectedHeader() const { return selectedHeader_; }
    // The normalised value of a value number.
    double normalizedValue(int valueId) const;

private:
    // Stores an entry or header record as given (no separator check).
    int addRecord(std::string_view text, int parentId, bool isHeader, bool closes);
    void setHighlight(int index, bool on);
    bool inFirstColumn(const MenuItem& m) const { return m.isHeader || m.parentId == 0; }

    std::vector<MenuItem> items_;
    int valueCount_ = 0;
    bool hasSubmenus_ = false;
    bool pendingSeparator_ = false;
    int selectedHeader_ = -1;  // item indices, -1 for none
    int selectedItem_ = -1;
};

}  // namespace kettrix::editor
