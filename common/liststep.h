#pragma once

namespace sonaveil {

// Where the "<" and ">" buttons beside a list of `count` names (count > 0) move its selection
// from `selected` (-1: none). Back from none goes to the last, back from the first to none;
// forward from none or from the last goes to the first.
inline int previousInList(int selected, int count)
{
    return selected < 0 ? count - 1 : selected - 1;
}

inline int nextInList(int selected, int count)
{
    return selected < 0 || selected >= count - 1 ? 0 : selected + 1;
}

} // namespace sonaveil
