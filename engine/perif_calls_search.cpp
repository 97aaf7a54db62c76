// The call handler's row searches for a call to ring or to talk on.
#include <initializer_list>

#include "engine/perif_calls.h"

namespace {

// The first row whose state is one of states; -1 when none.
template <class Rows>
int FirstInState(const Rows& rows, std::initializer_list<int> states)
{
    for (int i = 0; i < int(rows.size()); ++i)
        for (int s : states)
            if (rows[size_t(i)].state == s)
                return i;
    return -1;
}

}  // namespace

int VPerifCalls::findFirstCanRing()
{
    int r = FirstInState(rows, {6, 1});
    if (r < 0)
        r = FirstInState(rows, {0});
    if (r < 0) {
        notUnderstood("findFirstCanRing");
        r = FirstInState(rows, {7});
    }
    return r < 0 ? 0 : r;
}

int VPerifCalls::findFirstCanTalk()
{
    int r = FirstInState(rows, {3});
    if (r < 0)
        r = FirstInState(rows, {6, 1});
    if (r < 0) {
        notUnderstood("findFirstCanTalk");
        r = FirstInState(rows, {0});
    }
    if (r < 0)
        r = FirstInState(rows, {7});
    return r < 0 ? 0 : r;
}
