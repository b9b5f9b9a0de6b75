#include "platform/sim/sim_parse.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/sim/sim_desktop.h"

namespace fieldpilot::sim {
namespace {

using Json = OrderedJson;

// Objects with more members than this find keys listed twice through a hash index.
constexpr std::size_t kLinearKeySearch = 16;

// An object's members in file order, a key listed twice keeping its last value at its first
// place. nlohmann's own builder looks every key up linearly in the ordered object, which is
// quadratic in the number of elements.
Json objectOf(std::vector<std::pair<std::string, Json>>& staged) {
    Json object = Json::object();
    // The vector under the ordered object: its own operator[] looks keys up.
    std::vector<std::pair<const std::string, Json>>& members = object.get_ref<Json::object_t&>();
    // Reserved, so that the keys the index views never move.
    members.reserve(staged.size());
    std::unordered_map<std::string_view, std::size_t> index;
    const bool indexed = staged.size() > kLinearKeySearch;
    for (auto& [key, value] : staged) {
        Json* earlier = nullptr;
        if (indexed) {
            if (const auto found = index.find(key); found != index.end())
                earlier = &members[found->second].second;
        } else {
            for (auto& member : members) {
                if (member.first == key)
                    earlier = &member.second;
            }
        }
        if (earlier) {
            *earlier = std::move(value);
            continue;
        }
        members.emplace_back(std::move(key), std::move(value));
        if (indexed)
            index.emplace(members.back().first, members.size() - 1);
    }
    return object;
}

// Builds the document from nlohmann's SAX events. Each open container gathers its members in a
// vector of its own and becomes a JSON value when it closes.
class DocumentBuilder {
  public:
    explicit DocumentBuilder(Json& document) : document_(document) {}

    bool null() { return place(Json(nullptr)); }
    bool boolean(bool value) { return place(Json(value)); }
    bool number_integer(Json::number_integer_t value) { return place(Json(value)); }
    bool number_unsigned(Json::number_unsigned_t value) { return place(Json(value)); }
    bool number_float(Json::number_float_t value, const std::string&) { return place(Json(value)); }
    bool string(std::string& value) { return place(Json(std::move(value))); }
    bool binary(Json::binary_t& value) { return place(Json::binary(std::move(value))); }

    bool start_object(std::size_t) { return open(true); }
    bool start_array(std::size_t) { return open(false); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(std::string& key) {
        open_.back().members.emplace_back(std::move(key), Json());
        return true;
    }

    // Syntax errors and numbers beyond a double's range alike.
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) {
        throw LoadError(std::string("not valid JSON: ") + error.what());
    }

  private:
    struct Level {
        Json* slot;  // where the container goes when it closes
        bool object;
        std::vector<std::pair<std::string, Json>> members;
        std::vector<Json> items;
    };

    // The slot the next value goes to: the document, the last key's member or a new item. A
    // container's slot stays where it is while it is open: only the innermost open container
    // grows.
    Json* slot() {
        if (open_.empty())
            return &document_;
        Level& level = open_.back();
        if (level.object)
            return &level.members.back().second;
        level.items.emplace_back();
        return &level.items.back();
    }

    bool place(Json value) {
        *slot() = std::move(value);
        return true;
    }

    bool open(bool object) {
        if (open_.size() == kMaxNesting) {
            throw LoadError("arrays and objects nest more than " + std::to_string(kMaxNesting) +
                            " levels deep");
        }
        Json* target = slot();
        open_.push_back({target, object, {}, {}});
        return true;
    }

    bool close() {
        Level& level = open_.back();
        if (level.object) {
            *level.slot = objectOf(level.members);
        } else {
            *level.slot = Json::array();
            level.slot->get_ref<Json::array_t&>() = std::move(level.items);
        }
        open_.pop_back();
        return true;
    }

    Json& document_;
    std::vector<Level> open_;
};

}  // namespace

OrderedJson parseDesktopJson(std::string_view text) {
    OrderedJson document;
    DocumentBuilder builder(document);
    OrderedJson::sax_parse(text, &builder);
    return document;
}

}  // namespace fieldpilot::sim
