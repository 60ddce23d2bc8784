#pragma once

#include <string>
#include <string_view>

namespace sonaveil::player {

// A text field of the text record rule cannot hold a double quote, and a name or a path may: the
// lists of the user's sounds write '"' as "%22" and '%' as "%25", and read them back.
std::string escapeQuotes(std::string_view text);
std::string unescapeQuotes(std::string_view text);

} // namespace sonaveil::player
