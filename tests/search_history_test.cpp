// The search history's states and events, row by row, and Find's insertion.
#include <gtest/gtest.h>

#include "search/search_history.h"

namespace {

using Strings = std::vector<CString>;
using Change = CSearchHistory::Change;

// A history holding these entries, oldest given first (so the last is on top).
CSearchHistory Holding(const Strings& entries) {
    CSearchHistory history;
    for (const CString& entry : entries)
        history.Add(entry);
    history.TakeChanges();
    return history;
}

TEST(SearchHistory, EntriesForEachKindOfQuery) {
    EXPECT_EQ(CSearchHistory::EntryFor("c?t", "a", false, "C?T"), "c?t (a)");
    EXPECT_EQ(CSearchHistory::EntryFor("c?t", "a", true, "C?T"), "c?t (a)");
    EXPECT_EQ(CSearchHistory::EntryFor("t2", "", true, "T\?\?"), "3 (T\?\?)");
    EXPECT_EQ(CSearchHistory::EntryFor("C?T", "", false, "C?T"), "C?T");
}

TEST(SearchHistory, FindInsertsAtTheTopOnceIgnoringCase) {
    CSearchHistory history;
    history.Add("cat");
    history.Add("CAT");
    history.Add("dog");
    EXPECT_EQ(history.Items(), (Strings{"dog", "cat"}));
    EXPECT_EQ(history.TakeChanges(), (std::vector<Change>{{Change::Insert, 0, "cat"}, {Change::Insert, 0, "dog"}}));
    EXPECT_TRUE(history.TakeChanges().empty());
}

TEST(SearchHistory, SelectionWithTheListClosedSplitsAtOnce) {
    CSearchHistory history = Holding({"dog", "c?t (a)"});
    const CSearchHistory::Effect effect = history.OnSelChange(0);
    EXPECT_TRUE(effect.bSetLetters);
    EXPECT_EQ(effect.letters, "a");
    EXPECT_EQ(effect.nSelect, 0);
    EXPECT_EQ(history.Items(), (Strings{"c?t", "dog"}));
    EXPECT_EQ(history.GetSplitIndex(), 0);
    EXPECT_EQ(history.GetSplitEntry(), "c?t (a)");
    EXPECT_TRUE(history.IsSelChanged());
    EXPECT_EQ(history.TakeChanges(), (std::vector<Change>{{Change::Delete, 0, ""}, {Change::Insert, 0, "c?t"}}));

    // Another selection restores the first entry, then splits the new one;
    // an entry without letters empties the letters box and shortens nothing.
    const CSearchHistory::Effect plain = history.OnSelChange(1);
    EXPECT_TRUE(plain.bSetLetters);
    EXPECT_EQ(plain.letters, "");
    EXPECT_EQ(plain.nSelect, -1);
    EXPECT_EQ(history.Items(), (Strings{"c?t (a)", "dog"}));
    EXPECT_EQ(history.GetSplitIndex(), -1);
}

TEST(SearchHistory, OpenListShowsEveryEntryInFullAndSplitsOnlyWhenItClosesAfterAChange) {
    CSearchHistory history = Holding({"s3e (ab)", "c?t (a)"});
    history.OnSelChange(0);
    history.OnDropDown();
    EXPECT_TRUE(history.IsDropped());
    EXPECT_FALSE(history.IsSelChanged());
    EXPECT_EQ(history.Items(), (Strings{"c?t (a)", "s3e (ab)"})) << "opening restores the shortened entry";

    // Closing without a change splits nothing.
    EXPECT_FALSE(history.OnCloseUp(0).bSetLetters);
    EXPECT_FALSE(history.IsDropped());
    EXPECT_EQ(history.GetSplitIndex(), -1);

    // Changes while open wait for the close.
    history.OnDropDown();
    EXPECT_FALSE(history.OnSelChange(0).bSetLetters);
    EXPECT_FALSE(history.OnSelChange(1).bSetLetters);
    EXPECT_EQ(history.GetSplitIndex(), -1);
    const CSearchHistory::Effect effect = history.OnCloseUp(1);
    EXPECT_EQ(effect.letters, "ab");
    EXPECT_EQ(effect.nSelect, 1);
    EXPECT_EQ(history.Items(), (Strings{"c?t (a)", "s3e"}));
}

TEST(SearchHistory, CloseUpBeforeTheSelectionNoticeSplitsAtTheNotice) {
    // GTK may report the close before the selection change: the change then
    // arrives with the list closed and splits at once.
    CSearchHistory history = Holding({"c?t (a)"});
    history.OnDropDown();
    history.OnCloseUp(-1);
    EXPECT_EQ(history.OnSelChange(0).letters, "a");
    EXPECT_EQ(history.GetSplitIndex(), 0);
}

TEST(SearchHistory, FindWithAShortenedEntry) {
    // Unchanged query: the shortened item stands for its full entry, nothing
    // is added, and reopening shows it in full.
    CSearchHistory history = Holding({"dog", "c?t (a)"});
    history.OnSelChange(0);
    history.Add("c?t (a)");
    EXPECT_EQ(history.Items(), (Strings{"c?t", "dog"}));
    // A bare pattern of the same text is a new entry; the shortened one moves down.
    history.Add("C?T");
    EXPECT_EQ(history.Items(), (Strings{"C?T", "c?t", "dog"}));
    EXPECT_EQ(history.GetSplitIndex(), 1);
    // Changed letters: a new entry at the top, and no bare c?t left behind.
    history.Add("c?t (o)");
    history.OnDropDown();
    EXPECT_EQ(history.Items(), (Strings{"c?t (o)", "C?T", "c?t (a)", "dog"}));
}

TEST(SearchHistory, NoSelectionOrAnEmptyItemChangesNothing) {
    CSearchHistory history = Holding({"", "c?t (a)"});
    EXPECT_FALSE(history.OnSelChange(-1).bSetLetters);
    EXPECT_FALSE(history.OnSelChange(1).bSetLetters);
    EXPECT_FALSE(history.OnSelChange(7).bSetLetters);
    EXPECT_EQ(history.GetSplitIndex(), -1);
}

}  // namespace
