// Any bytes as the commonness table, asked for the ranks of any words. The
// reader must refuse damage through its result, never crash or read out of
// bounds; a rank is one of the table's levels or "unknown"; a word's rank
// does not depend on the other words asked with it; and a table built from
// the asked words must give back exactly their levels.
//
// Input: a flags byte (1: read the table through a file, not from memory), a
// word length byte, a text whose letters make the query words (cut into
// words of that length), then the table's bytes.
#include <algorithm>
#include <set>

#include "fuzz/fuzz_support.h"
#include "search/commonness_table.h"

namespace {

using fuzz::Check;

// The text's bytes as letters A-Z, cut into words of `length`, sorted and
// each once, as a dictionary block gives its matches.
std::vector<std::string> QueryWords(const std::string& text, size_t length) {
    std::set<std::string> words;
    if (length < 2)
        return {};
    for (size_t at = 0; at + length <= text.size(); at += length) {
        std::string word = text.substr(at, length);
        for (char& c : word)
            c = static_cast<char>('A' + static_cast<unsigned char>(c) % 26);
        words.insert(word);
    }
    return std::vector<std::string>(words.begin(), words.end());
}

bool RankList(CCommonnessTable& table, size_t length, const std::vector<std::string>& words,
              std::vector<uint8_t>& ranks) {
    std::string flat;
    for (const std::string& word : words)
        flat += word;
    ranks.assign(words.size(), 0);
    return table.RankWords(length, flat.data(), words.size(), ranks.data());
}

void CheckRanks(const CCommonnessTable& table, const std::vector<std::string>& words, const std::vector<uint8_t>& ranks) {
    Check(ranks.size() == words.size(), "not one rank per word");
    for (const uint8_t rank : ranks)
        Check(rank < table.Levels().size() || rank == CCommonnessTable::kUnknown, "a rank beyond the table's levels");
}

void ReadAnyTable(bool fromFile, size_t length, const std::vector<std::string>& words, const std::string& bytes) {
    CCommonnessTable table;
    bool opened;
    if (fromFile) {
        fuzz::Env& env = fuzz::Env::Get();
        env.Write("commonness.tbl", bytes);
        opened = table.Open(env.File("commonness.tbl"));
    } else {
        opened = table.OpenBytes(bytes);
    }
    if (!opened) {
        Check(!table.Error().empty(), "a refused table without a reason");
        return;
    }
    const std::vector<int>& levels = table.Levels();
    Check(!levels.empty() && levels.size() <= 15 && std::is_sorted(levels.begin(), levels.end()),
          "levels of an opened table out of order or count");
    std::vector<uint8_t> ranks;
    if (!RankList(table, length, words, ranks)) {
        Check(!table.Error().empty(), "a refused block without a reason");
        return;
    }
    CheckRanks(table, words, ranks);
    // The same walk into room of the caller's, exactly the size asked for;
    // the block's words counted by rank are all its words.
    std::vector<char> room(table.BlockBytes(length));
    CCommonnessWalk walk;
    Check(walk.Start(table, length, room.empty() ? nullptr : room.data()), "a block read once was refused in room");
    size_t counted = 0;
    for (const size_t n : walk.RankCounts())
        counted += n;
    Check(counted == table.WordCount(length), "the ranks' counts are not the block's words");
    std::string flat;
    for (const std::string& word : words)
        flat += word;
    std::vector<uint8_t> inRoom(words.size());
    Check(walk.RankNext(flat.data(), words.size(), inRoom.data()) && inRoom == ranks,
          "a walk in the caller's room ranks differently");
    for (size_t i = 0; i < words.size() && i < 8; ++i) {
        std::vector<uint8_t> one;
        Check(RankList(table, length, {words[i]}, one), "a block read once was refused the second time");
        Check(one.size() == 1 && one[0] == ranks[i], "a word's rank depends on the words asked with it");
    }
    // The whole block of every length, walked to its end.
    for (size_t l = 2; l <= static_cast<size_t>(table.MaxLength()); ++l) {
        const std::vector<std::string> ends = {std::string(l, 'A'), std::string(l, 'Z')};
        if (RankList(table, l, ends, ranks))
            CheckRanks(table, ends, ranks);
    }
}

void RoundTrip(const std::vector<std::string>& words, const std::string& bytes) {
    if (words.empty())
        return;
    static const int kLevels[] = {10, 20, 35, 40, 50, 55, 60, 70, 80, 95};
    std::vector<std::pair<std::string, int>> pairs;
    for (size_t i = 0; i < words.size(); ++i)
        pairs.emplace_back(words[i], kLevels[static_cast<unsigned char>(bytes.empty() ? 0 : bytes[i % bytes.size()]) % 10]);
    CCommonnessTable table;
    Check(table.OpenBytes(BuildCommonnessTable(pairs)), "a built table was refused");
    std::vector<uint8_t> ranks;
    Check(RankList(table, words[0].size(), words, ranks), "a built table's block was refused");
    for (size_t i = 0; i < words.size(); ++i)
        Check(ranks[i] < table.Levels().size() && table.Levels()[ranks[i]] == pairs[i].second,
              "a built table gave back another level");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    const uint8_t flags = input.Byte();
    const size_t length = input.Byte();
    const std::vector<std::string> words = QueryWords(input.Text(254), length);
    const std::string bytes = input.Rest();
    ReadAnyTable((flags & 1) != 0, length, words, bytes);
    RoundTrip(words, bytes);
    return 0;
}
