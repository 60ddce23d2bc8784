#include "player/mysounds/quotedtext.h"

namespace sonaveil::player {

std::string escapeQuotes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '"')
            out += "%22";
        else if (c == '%')
            out += "%25";
        else
            out += c;
    }
    return out;
}

std::string unescapeQuotes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && text.substr(i, 3) == "%22") {
            out += '"';
            i += 2;
        } else if (text[i] == '%' && text.substr(i, 3) == "%25") {
            out += '%';
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace sonaveil::player
