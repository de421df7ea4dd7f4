// The search state on its own: a query is parsed and its words tested with
// no dictionary open, for each length an open-length pattern allows.
#include <string>
#include <vector>

#include "search/search_state.h"
#include "tests/test_support.h"

namespace {

std::vector<std::string> Matching(const CSearchState& state, const std::vector<std::string>& words) {
    std::vector<std::string> out;
    for (const std::string& word : words)
        if (state.MatchesWord(word))
            out.push_back(word);
    return out;
}

TEST(SearchStateAlone, AnOpenLengthPatternGivesSquaresForEachLength) {
    MessageRecorder recorder;
    CSearchState state;
    ASSERT_TRUE(state.Prepare(FALSE, "c*t", "a", FALSE));
    EXPECT_TRUE(state.IsOpenLength());
    EXPECT_EQ(state.FixedSquares(), 2);
    state.SetLength(3);
    EXPECT_EQ(state.Pattern(), "C?T");
    EXPECT_EQ(Matching(state, {"CAT", "COT", "ACT"}), (std::vector<std::string>{"CAT"}));
    // The '*' takes two letters at length 4; the remaining A must be among them.
    state.SetLength(4);
    EXPECT_EQ(state.Pattern(), "C??T");
    EXPECT_EQ(state.Length(), 4);
    EXPECT_EQ(Matching(state, {"CART", "COST", "CATS", "COAT"}), (std::vector<std::string>{"CART", "COAT"}));
    EXPECT_TRUE(recorder.Ids().empty());
}

TEST(SearchStateAlone, TheLimitCountsMatchesAcrossPreparations) {
    MessageRecorder recorder;
    CSearchState state;
    ASSERT_TRUE(state.Prepare(FALSE, "3", "", TRUE));
    EXPECT_TRUE(state.MatchesEveryWord());
    for (int i = 0; i < CSearchState::kLimitMatches - 1; ++i)
        state.CountMatch();
    EXPECT_FALSE(state.LimitReached());
    state.CountMatch();
    EXPECT_TRUE(state.LimitReached());
    // A new query starts counting again; one without the limit never stops.
    ASSERT_TRUE(state.Prepare(TRUE, "tac", "", FALSE));
    EXPECT_EQ(state.MatchCount(), 0);
    EXPECT_EQ(state.Letters(), "ACT");
    EXPECT_EQ(Matching(state, {"CAT", "ACT", "COT"}), (std::vector<std::string>{"CAT", "ACT"}));
    for (int i = 0; i < 2 * CSearchState::kLimitMatches; ++i)
        state.CountMatch();
    EXPECT_FALSE(state.LimitReached());
}

TEST(SearchStateAlone, ARefusedPatternKeepsWhatCameBeforeTheFault) {
    MessageRecorder recorder;
    CSearchState state;
    const Status refused = state.Prepare(false, "ca!t", "", false);
    EXPECT_FALSE(refused.Succeeded());
    EXPECT_NE(refused.nMessage, 0u) << "the refusal names its message";
    EXPECT_EQ(state.Pattern(), "CA");
    EXPECT_TRUE(recorder.Ids().empty()) << "the refusal is returned, not shown";
}

}  // namespace
