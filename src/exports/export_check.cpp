// Ties every row of the export table to its declaration in usersub.h: the
// number of parameters must equal the row's argument words.
#include "usersub.h"

namespace {

template <class R, class... A>
constexpr int argument_words(R (*)(A...)) noexcept
{
    return static_cast<int>(sizeof...(A));
}

#define USERSUB_ENTRY(name, words) \
    static_assert(argument_words(&name) == (words), #name ": argument words differ from usersub.h");
#include "exports/export_table.inc"
#undef USERSUB_ENTRY

}  // namespace
