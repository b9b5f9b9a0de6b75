// Where a value stands in a desktop file ("elements.w.AXChildren[3]"), for the messages of bad
// input. The path is a chain of links that live on the stack beside the values being read, and
// is spelled out only when a problem is reported: a path string built at every nesting level
// would cost memory that grows with the square of the depth.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fieldpilot::sim {

class Place {
  public:
    explicit Place(std::string top) : top_(std::move(top)) {}

    // The link must not outlive this place, nor `key` the text it views.
    Place member(std::string_view key) const { return Place(this, key, 0, false); }
    Place item(std::size_t index) const { return Place(this, {}, index, true); }

    std::string text() const;

  private:
    Place(const Place* parent, std::string_view key, std::size_t index, bool isItem)
        : parent_(parent), key_(key), index_(index), isItem_(isItem) {}

    const Place* parent_ = nullptr;
    std::string top_;  // the first link only
    std::string_view key_;
    std::size_t index_ = 0;
    bool isItem_ = false;
};

inline std::string Place::text() const {
    if (!parent_)
        return top_;
    std::string path = parent_->text();
    if (isItem_)
        return path.append("[").append(std::to_string(index_)).append("]");
    return path.append(".").append(key_);
}

}  // namespace fieldpilot::sim
