// A menu description for the window host's system pop-up menu (used for
// the host's parameter menu; the editor's own menus draw themselves).
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kettrix {

class IPopupMenu {
public:
    enum EItemFlags { kNoFlags = 0, kDisabled = 1, kTitle = 2, kChecked = 4, kSeparator = 8 };
    // Item numbering prefixes: none, "%1d: %s", "%02d: %s", "%03d: %s".
    enum EPrefix { kPrefixNone, kPrefix1, kPrefix2, kPrefix3 };

    struct Item {
        std::string text_;
        int flags_ = kNoFlags;
        std::unique_ptr<IPopupMenu> submenu_;
    };

    Item& AddItem(const char* text, int flags = kNoFlags, std::unique_ptr<IPopupMenu> submenu = nullptr) {
        items_.push_back(Item{text ? text : "", flags, std::move(submenu)});
        return items_.back();
    }
    void AddSeparator() { AddItem("", kSeparator); }
    int NItems() const { return static_cast<int>(items_.size()); }
    const Item& GetItem(int i) const { return items_[static_cast<std::size_t>(i)]; }
    void SetPrefix(EPrefix prefix) { prefix_ = prefix; }
    EPrefix GetPrefix() const { return prefix_; }

private:
    std::vector<Item> items_;
    EPrefix prefix_ = kPrefixNone;
};

}  // namespace kettrix
