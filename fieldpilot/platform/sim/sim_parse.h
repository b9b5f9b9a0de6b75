// Parsing the JSON text of a desktop file into a document that keeps the file's key order.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/sim/sim_state.h"

namespace fieldpilot::sim {

// Arrays and objects may nest this many levels deep, the document itself counting as the first.
// The limit keeps every recursive walk of a document (decoding, copying, saving) far from the
// end of the stack.
inline constexpr std::size_t kMaxNesting = 512;

// Throws LoadError naming the problem: invalid JSON, a number beyond a double's range, nesting
// deeper than kMaxNesting. Takes time linear in the size of the text, whatever the number of
// keys in an object; of keys listed twice the last value is kept, at the first one's place.
OrderedJson parseDesktopJson(std::string_view text);

}  // namespace fieldpilot::sim
