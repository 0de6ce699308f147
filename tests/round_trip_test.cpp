// The round-trip property of the class reader on classes made up as text: every student
// comes out once, in order, graded from its own fields as boletim grades them; or, where
// the truth cannot be told from the file, the run is refused before any table.
#include <string>

#include <gtest/gtest.h>

#include "class_maker.h"

namespace {

TEST(RoundTripTest, EveryStudentOnceInOrderFromItsOwnFieldsOrARefusal)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        made_up::ClassMaker maker(seed);
        const made_up::Made made = maker.make();
        SCOPED_TRACE("class " + std::to_string(seed));
        made_up::checkConverted(made, made.file);
    }
}

} // namespace
