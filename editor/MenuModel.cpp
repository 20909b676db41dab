#include "editor/MenuModel.h"

#include <algorithm>
#include <cmath>

#include "editor/MenuContents.h"

namespace kettrix::editor {

int valueNumberOf(double normalized, int count) {
    if (count <= 1 || !std::isfinite(normalized)) return 0;
    constexpr double kRoundTripTolerance = 1e-9;
    const double scaled = (count - 1) * std::clamp(normalized, 0.0, 1.0);
    return std::min(static_cast<int>(scaled + kRoundTripTolerance), count - 1);
}

void MenuModel::clear() {
    items_.clear();
    items_.shrink_to_fit();
    valueCount_ = 0;
    hasSubmenus_ = false;
    pendingSeparator_ = false;
    selectedHeader_ = -1;
    selectedItem_ = -1;
}

int MenuModel::addItem(std::string_view text, int parentId, bool isHeader, bool closes) {
    if (text == marker::kSeparator) {
        pendingSeparator_ = true;
        ++valueCount_;
        return -1;
    }
    return addRecord(text, parentId, isHeader, closes);
}

int MenuModel::addRecord(std::string_view text, int parentId, bool isHeader, bool closes) {
    if (itemCount() >= kMaxItems) return -1;
    MenuItem m;
    m.text = std::string(text.substr(0, kMaxTextLength));
    m.parentId = parentId;
    m.isHeader = isHeader;
    m.closes = closes;
    m.separatorBefore = pendingSeparator_;
    pendingSeparator_ = false;
    if (isHeader) {
        hasSubmenus_ = true;
    } else {
        m.valueId = valueCount_++;
    }
    items_.push_back(std::move(m));
    return items_.back().valueId;
}

void MenuModel::feed(std::span<const std::string> strings, const std::vector<bool>& literal) {
    int submenuCounter = 0;
    int current = 0;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        const std::string_view text = strings[i];
        if (i < literal.size() && literal[i]) {
            addRecord(text, current, false, false);
        } else if (text == marker::kTopLevel || text == marker::kEndSubmenu) {
            current = 0;
        } else if (text.starts_with(marker::kSubmenu)) {
            current = ++submenuCounter;
            addItem(text.substr(marker::kSubmenu.size()), current, true, false);
        } else if (text.starts_with(marker::kCloses)) {
            addItem(text.substr(marker::kCloses.size()), current, false, true);
        } else {
            addItem(text, current, false, false);
        }
    }
}

void MenuModel::setHighlight(int index, bool on) {
    if (index >= 0 && index < itemCount()) items_[static_cast<std::size_t>(index)].highlighted = on;
}

void MenuModel::selectValue(double normalized) {
    setHighlight(selectedItem_, false);
    setHighlight(selectedHeader_, false);
    selectedItem_ = -1;
    selectedHeader_ = -1;
    if (valueCount_ <= 0 || !std::isfinite(normalized)) return;
    const int target = valueNumberOf(normalized, valueCount_);
    for (int i = 0; i < itemCount(); ++i) {
        const MenuItem& m = items_[static_cast<std::size_t>(i)];
        if (m.isHeader || m.valueId != target) continue;
        selectedItem_ = i;
        setHighlight(i, true);
        if (m.parentId > 0) {
            for (int h = 0; h < itemCount(); ++h) {
                const MenuItem& header = items_[static_cast<std::size_t>(h)];
                if (header.isHeader && header.parentId == m.parentId) {
                    selectedHeader_ = h;
                    setHighlight(h, true);
                    break;
                }
            }
        }
        return;
    }
}

double MenuModel::normalizedValue(int valueId) const {
    return valueCount_ > 1 ? static_cast<double>(valueId) / (valueCount_ - 1) : 0.0;
}

Rect MenuModel::bounds() const {
    const int w = hasSubmenus_ ? kLargeWidth : kSmallWidth;
    int x = kCentreX - w / 2;
    int y = kCentreY - kHeight / 2;
    if (!items_.empty() && items_.front().text == "Linear") {
        x += kShapeMenuShiftX;
        y += kShapeMenuShiftY;
    }
    return {x, y, x + w, y + kHeight};
}

std::vector<MenuRow> MenuModel::column(int which) const {
    std::vector<MenuRow> rows;
    const Rect b = bounds();
    const int x = b.left + kItemsLeft + which * (kItemWidth + kColumnGap);
    int y = b.top + kItemsTop;
    int submenu = 0;
    if (which == 1) {
        if (selectedHeader_ < 0) return rows;
        submenu = items_[static_cast<std::size_t>(selectedHeader_)].parentId;
    }
    for (int i = 0; i < itemCount(); ++i) {
        const MenuItem& m = items_[static_cast<std::size_t>(i)];
        const bool belongs = which == 0 ? inFirstColumn(m) : (!m.isHeader && m.parentId == submenu);
        if (!belongs) continue;
        // A separator above one of the first two records would sit on the menu's title.
        rows.push_back({i, {x, y, x + kItemWidth, y + kItemHeight}, m.separatorBefore && i >= 2});
        y += kItemHeight;
    }
    return rows;
}

MenuClick MenuModel::click(int x, int y) {
    MenuClick result;
    const Rect b = bounds();
    const int dx = x - b.left - kItemsLeft;
    const int dy = y - b.top - kItemsTop;
    if (dx < 0 || dy < 0) return result;
    const int col = dx / (kItemWidth + kColumnGap);
    const int row = dy / kItemHeight;
    if (col > 1) return result;
    const std::vector<MenuRow> rows = column(col);
    if (row >= static_cast<int>(rows.size())) return result;
    const int index = rows[static_cast<std::size_t>(row)].item;
    const MenuItem& m = items_[static_cast<std::size_t>(index)];
    result.item = index;
    if (m.isHeader) {
        setHighlight(selectedHeader_, false);
        selectedHeader_ = index;
        setHighlight(index, true);
        result.kind = MenuClick::Kind::Header;
        return result;
    }
    setHighlight(selectedItem_, false);
    selectedItem_ = index;
    setHighlight(index, true);
    if (m.parentId == 0 && selectedHeader_ >= 0) {
        setHighlight(selectedHeader_, false);
        selectedHeader_ = -1;
    }
    result.kind = MenuClick::Kind::Entry;
    result.valueId = m.valueId;
    result.closes = m.closes;
    return result;
}

}  // namespace kettrix::editor
