/* test_isolation.cpp: what one test leaves running in the game's session is not the next one's:
   a hint still thinking holds the world it began in, and would put it back over the next test's
   level (the play loop cancels it whenever a level ends; a test ends without the play loop). */
#include <gtest/gtest.h>

#include "play/hint.h"
#include "test_world.h"

namespace {

class SessionAfterEachTest : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        hint_reset(session);
    }
};

const bool installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new SessionAfterEachTest);
    return true;
}();

} // namespace
