#include "search/commonness_table.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <map>
#include <stdexcept>

#include "dictionary/length_block_index.h"
#include "dictionary/word_codec.h"
#include "dictionary/word_keys.h"

namespace {

using namespace word_keys;

constexpr unsigned char kMagic[4] = {'G', 'W', 'C', 'T'};
constexpr int kVersion = 1;
constexpr size_t kMaxLevels = 15;
constexpr size_t kFixedHeader = 22;  // magic, version, N, 15 levels, M
constexpr size_t kEntrySize = kLengthBlockEntrySize;
constexpr size_t kMinLength = kMinWordLength;
constexpr size_t kMaxLength = kMaxWordLength;
constexpr size_t kBlockSlack = 8;

// Appends the encoder's groups to the table's bytes.
struct StringSink {
    std::string& out;
    void TakeGroup(uint64_t value) {
        unsigned char bytes[kGroupBytes];
        StoreGroup(value, bytes);
        out.append(reinterpret_cast<const char*>(bytes), kGroupBytes);
    }
};

// One length block's words, in ascending order, encoded as dictionary.dat
// encodes a length block.
void PackWords(const std::vector<std::string>& words, std::string& out) {
    StringSink sink{out};
    CWordEncoder encoder;
    for (const std::string& word : words)
        encoder.PutWord(word.data(), static_cast<int>(word.size()), sink);
    encoder.FinishBlock(sink);
}

bool IsTableWord(const std::string& word) {
    return word.size() >= kMinLength && word.size() <= kMaxLength &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

}  // namespace

std::string BuildCommonnessTable(std::vector<std::pair<std::string, int>> words) {
    std::map<size_t, std::map<std::string, int>> byLength;
    std::vector<int> levels;
    for (auto& [word, level] : words) {
        if (!IsTableWord(word))
            throw std::invalid_argument("not a word of 2 to " + std::to_string(kMaxLength) + " letters A-Z: " + word);
        if (level < 0 || level > 255)
            throw std::invalid_argument("level out of range for " + word);
        auto [it, added] = byLength[word.size()].emplace(std::move(word), level);
        if (!added)
            it->second = std::min(it->second, level);
    }
    for (const auto& [length, block] : byLength)
        for (const auto& [word, level] : block)
            if (std::find(levels.begin(), levels.end(), level) == levels.end())
                levels.push_back(level);
    std::sort(levels.begin(), levels.end());
    if (levels.size() > kMaxLevels)
        throw std::invalid_argument("more than 15 distinct levels");

    const size_t maxLength = byLength.empty() ? 0 : byLength.rbegin()->first;
    std::string out(kMagic, kMagic + 4);
    out.push_back(static_cast<char>(kVersion));
    out.push_back(static_cast<char>(levels.size()));
    for (size_t i = 0; i < kMaxLevels; ++i)
        out.push_back(static_cast<char>(i < levels.size() ? levels[i] : 0));
    out.push_back(static_cast<char>(maxLength));
    const size_t entriesAt = out.size();
    const size_t nLengths = maxLength >= kMinLength ? maxLength - 1 : 0;
    out.append(nLengths * kEntrySize + 4, '\0');

    for (size_t length = kMinLength; length <= maxLength; ++length) {
        std::string block;
        uint32_t count = 0;
        const auto found = byLength.find(length);
        if (found != byLength.end()) {
            std::vector<std::string> sorted;
            std::string nibbles;
            for (const auto& [word, level] : found->second) {
                const auto rank = static_cast<unsigned>(std::lower_bound(levels.begin(), levels.end(), level) -
                                                        levels.begin());
                if (count % 2 == 0)
                    nibbles.push_back(static_cast<char>(rank << 4));
                else
                    nibbles.back() = static_cast<char>(static_cast<unsigned char>(nibbles.back()) | rank);
                sorted.push_back(word);
                ++count;
            }
            block = nibbles;
            PackWords(sorted, block);
        }
        const size_t at = entriesAt + (length - kMinLength) * kEntrySize;
        if (out.size() > UINT32_MAX || block.size() > UINT32_MAX)
            throw std::invalid_argument("table too large");
        SetLengthBlockEntry(out, at,
                            LengthBlock{count, static_cast<uint32_t>(out.size()), static_cast<uint32_t>(block.size()),
                                        Crc32Of(block.data(), block.size())});
        out += block;
    }
    const size_t crcAt = entriesAt + nLengths * kEntrySize;
    SetBigEndian32(out, crcAt, Crc32Of(out.data(), crcAt));
    return out;
}

CCommonnessTable::~CCommonnessTable() = default;

bool CCommonnessTable::Fail(std::string why) {
    m_strError = std::move(why);
    m_entries.clear();
    m_levels.clear();
    m_nMaxLength = 0;
    return false;
}

bool CCommonnessTable::Open(const CString& path) {
    m_bInMemory = false;
    // A FIFO in the table's place cannot hang the open: it is refused.
    if (!m_file.Open(path))
        return Fail(path + ": " + m_file.Error());
    const uint64_t fileSize = static_cast<uint64_t>(m_file.Size());
    std::string header(kFixedHeader, '\0');
    size_t got = 0;
    if (!m_file.ReadAt(0, header.data(), header.size(), got) || got != header.size())
        return Fail(path + ": too short for a commonness table");
    const size_t maxLength = static_cast<unsigned char>(header[kFixedHeader - 1]);
    const size_t rest = (maxLength >= kMinLength ? maxLength - 1 : 0) * kEntrySize + 4;
    header.resize(kFixedHeader + rest);
    if (!m_file.ReadAt(kFixedHeader, header.data() + kFixedHeader, rest, got) || got != rest)
        return Fail(path + ": too short for a commonness table");
    if (!ParseHeader(reinterpret_cast<const unsigned char*>(header.data()), header.size(), fileSize)) {
        m_strError = path + ": " + m_strError;
        return false;
    }
    return true;
}

bool CCommonnessTable::OpenBytes(std::string bytes) {
    m_bInMemory = true;
    m_bytes = std::move(bytes);
    return ParseHeader(reinterpret_cast<const unsigned char*>(m_bytes.data()), m_bytes.size(), m_bytes.size());
}

bool CCommonnessTable::ParseHeader(const unsigned char* data, size_t size, uint64_t fileSize) {
    if (size < kFixedHeader + 4)
        return Fail("too short for a commonness table");
    if (std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return Fail("not a commonness table");
    if (data[4] != kVersion)
        return Fail("a commonness table of another version");
    const size_t nLevels = data[5];
    if (nLevels < 1 || nLevels > kMaxLevels)
        return Fail("damaged: bad number of levels");
    const size_t maxLength = data[kFixedHeader - 1];
    if (maxLength == 1)
        return Fail("damaged: bad longest length");
    const size_t nLengths = maxLength >= kMinLength ? maxLength - 1 : 0;
    const size_t headerSize = kFixedHeader + nLengths * kEntrySize + 4;
    if (size < headerSize)
        return Fail("too short for a commonness table");
    if (!ChecksumMatches(data, headerSize - 4, GetBigEndian32(data + headerSize - 4)))
        return Fail("damaged: its header's checksum does not match");
    std::vector<int> levels;
    for (size_t i = 0; i < nLevels; ++i) {
        levels.push_back(data[6 + i]);
        if (i > 0 && levels[i] <= levels[i - 1])
            return Fail("damaged: levels out of order");
    }
    std::vector<LengthBlock> entries(nLengths);
    for (size_t i = 0; i < nLengths; ++i) {
        const LengthBlock& e = entries[i] = ReadLengthBlockEntry(data + kFixedHeader + i * kEntrySize);
        const uint64_t nibbleBytes = (uint64_t{e.count} + 1) / 2;
        // Each word takes at least one code: a block of n words needs at
        // least n codes after its nibbles, in whole 5-byte groups.
        const uint64_t minCodeBytes = (uint64_t{e.count} + 7) / 8 * 5;
        if (e.offset < headerSize || uint64_t{e.offset} + e.size > fileSize || e.size < nibbleBytes + minCodeBytes ||
            (e.size - nibbleBytes) % 5 != 0)
            return Fail("damaged: a block lies outside the file or has a wrong size");
    }
    m_levels = std::move(levels);
    m_entries = std::move(entries);
    m_nMaxLength = static_cast<int>(maxLength);
    m_strError.clear();
    return true;
}

size_t CCommonnessTable::WordCount(size_t length) const {
    if (length < kMinLength || length - kMinLength >= m_entries.size())
        return 0;
    return m_entries[length - kMinLength].count;
}

bool CCommonnessTable::ReadBlock(const LengthBlock& entry, char* block) {
    // The block is followed by kBlockSlack zero bytes: its walker reads 8
    // bytes at a time.
    std::memset(block + entry.size, 0, kBlockSlack);
    if (m_bInMemory) {
        std::memcpy(block, m_bytes.data() + entry.offset, entry.size);
    } else {
        size_t got = 0;
        if (!m_file.ReadAt(static_cast<int64_t>(entry.offset), block, entry.size, got)) {
            m_strError = "cannot be read: " + m_file.Error();
            return false;
        }
        if (got != entry.size) {
            m_strError = "shorter than it says";
            return false;
        }
    }
    if (!ChecksumMatches(block, entry.size, entry.crc)) {
        m_strError = "damaged: a block's checksum does not match";
        return false;
    }
    return true;
}

size_t CCommonnessTable::BlockBytes(size_t length) const {
    if (WordCount(length) == 0)
        return 0;
    return m_entries[length - kMinLength].size + kBlockSlack;
}

bool CCommonnessTable::RankWords(size_t length, const char* words, size_t nWords, uint8_t* ranks) {
    std::fill(ranks, ranks + nWords, kUnknown);
    if (nWords == 0)
        return true;
    CCommonnessWalk walk;
    if (!walk.Start(*this, length) || !walk.RankNext(words, nWords, ranks)) {
        m_strError = walk.Error();
        return false;
    }
    return true;
}

namespace {

// Table words decoded ahead of the merge, so that the merge itself is a
// loop of comparisons with no call in it.
constexpr size_t kBatch = 64;

}  // namespace

struct CCommonnessWalk::State {
    State(std::unique_ptr<char[]> owned, const char* bytes, size_t nBytes, size_t nCount, size_t nLength,
          size_t nLevelCount)
        : ownBlock(std::move(owned)),
          count(nCount),
          length(nLength),
          nLevels(nLevelCount),
          nChunks(ChunksOf(nLength)),
          nibbles(reinterpret_cast<const unsigned char*>(bytes)),
          walker(nibbles + (nCount + 1) / 2, nBytes - kBlockSlack - (nCount + 1) / 2, nLength),
          keys(kBatch * nChunks) {}

    // Decodes the next batch of the block's words into `keys`.
    template <size_t kChunks>
    bool Refill() {
        const size_t nc = kChunks != 0 ? kChunks : nChunks;
        first += nHeld;
        nHeld = 0;
        at = 0;
        const size_t n = std::min(kBatch, count - first);
        for (size_t k = 0; k < n; ++k)
            if (!walker.Next<kChunks>(keys.data() + k * nc, &why))
                return false;
        nHeld = n;
        // A walk that reached the last word has read the whole block: its
        // groups must end there too.
        if (first + nHeld == count && !walker.AtEnd()) {
            why = "a block is longer than its words";
            return false;
        }
        return true;
    }

    // The merge of the words asked (ascending) with the block's (ascending).
    // Whether a word asked is held (about 6 in 10 here) is data: it decides
    // the rank and the step in the block without a branch, since a
    // mispredicted branch cost more than the comparison. Passing block
    // words the dictionary does not hold is the rare case that branches.
    // The walk's state is held in locals: every rank stored is a byte
    // store, which may alias any member, and would reload them all.
    template <size_t kChunks>
    bool Rank(const char* words, size_t nWords, uint8_t* ranks) {
        const size_t nc = kChunks != 0 ? kChunks : nChunks;
        const size_t nLength = length;
        const size_t nCount = count;
        const size_t nLevelCount = nLevels;
        const unsigned char* const pNibbles = nibbles;
        const uint64_t* pKeys = keys.data();
        size_t nFirst = first;
        size_t nInBatch = nHeld;
        size_t nAt = at;
        WordKey key;
        bool bBadLevel = false;
        for (size_t i = 0; i < nWords; ++i) {
            KeyOfLetters<kChunks>(words + i * nLength, nLength, key);
            // Block words before this one are passed (rare: words the
            // dictionary does not hold).
            int cmp = -1;
            for (;;) {
                if (nAt == nInBatch) {
                    if (nFirst + nInBatch == nCount)
                        break;  // past the block's last word
                    at = nAt;
                    const bool bSound = Refill<kChunks>();
                    nFirst = first;
                    nInBatch = nHeld;
                    nAt = at;
                    if (!bSound)
                        return false;
                }
                cmp = CompareKeys<kChunks>(pKeys + nAt * nc, key.data(), nc);
                if (cmp >= 0)
                    break;
                ++nAt;
            }
            if (cmp < 0) {
                // Past the block's last word: the rest are unknown.
                std::fill(ranks + i, ranks + nWords, CCommonnessTable::kUnknown);
                break;
            }
            const size_t index = nFirst + nAt;
            const unsigned held = (pNibbles[index / 2] >> (index % 2 == 0 ? 4 : 0)) & 15;
            bBadLevel |= (cmp == 0) & (held >= nLevelCount);
            ranks[i] = cmp == 0 ? static_cast<uint8_t>(held) : CCommonnessTable::kUnknown;
            nAt += static_cast<size_t>(cmp == 0);
        }
        at = nAt;
        if (bBadLevel) {
            why = "a word's level is not one of the table's";
            return false;
        }
        return true;
    }

    std::unique_ptr<char[]> ownBlock;  // the block, unless the caller holds it
    size_t count;       // words in the block
    size_t length;      // letters of each
    size_t nLevels;     // levels the table holds
    size_t nChunks;     // numbers per key
    const unsigned char* nibbles;  // the words' ranks, a nibble each
    BlockWalker walker;
    std::vector<uint64_t> keys;  // kBatch keys of nChunks numbers
    size_t first = 0;  // the block's index of the first word in keys
    size_t nHeld = 0;  // words in keys
    size_t at = 0;     // the first word in keys not yet passed
    const char* why = nullptr;
};

CCommonnessWalk::CCommonnessWalk() = default;
CCommonnessWalk::~CCommonnessWalk() = default;

bool CCommonnessWalk::Start(CCommonnessTable& table, size_t length, char* room) {
    m_pState.reset();
    m_strError.clear();
    const size_t count = table.WordCount(length);
    if (count == 0)
        return true;
    const size_t nBytes = table.BlockBytes(length);
    std::unique_ptr<char[]> owned;
    if (!room) {
        owned = std::make_unique_for_overwrite<char[]>(nBytes);
        room = owned.get();
    }
    if (!table.ReadBlock(table.m_entries[length - kMinLength], room)) {
        m_strError = table.m_strError;
        return false;
    }
    m_pState = std::make_unique<State>(std::move(owned), room, nBytes, count, length, table.m_levels.size());
    return true;
}

std::array<size_t, CCommonnessTable::kUnknown + 1> CCommonnessWalk::RankCounts() const {
    std::array<size_t, CCommonnessTable::kUnknown + 1> counts{};
    if (!m_pState)
        return counts;
    // Two ranks a byte: count the bytes in four tables taken in turn (one
    // table would make each count wait for the one before whenever
    // neighbouring bytes are alike, as they mostly are), then split them.
    const State& state = *m_pState;
    const size_t nBytes = state.count / 2;  // whole bytes of two ranks
    std::array<std::array<uint32_t, 256>, 4> byByte{};
    size_t i = 0;
    for (; i + 4 <= nBytes; i += 4)
        for (size_t k = 0; k < 4; ++k)
            ++byByte[k][state.nibbles[i + k]];
    for (; i < nBytes; ++i)
        ++byByte[0][state.nibbles[i]];
    for (size_t b = 0; b < 256; ++b) {
        const size_t n = byByte[0][b] + byByte[1][b] + byByte[2][b] + byByte[3][b];
        counts[b >> 4] += n;
        counts[b & 15] += n;
    }
    // An odd count's last byte holds one rank, in its high nibble.
    if (state.count % 2 != 0)
        ++counts[state.nibbles[nBytes] >> 4];
    return counts;
}

bool CCommonnessWalk::RankNext(const char* words, size_t nWords, uint8_t* ranks) {
    if (!m_strError.empty())
        return false;
    if (!m_pState) {
        std::fill(ranks, ranks + nWords, CCommonnessTable::kUnknown);
        return true;
    }
    State& state = *m_pState;
    // One or two numbers per word take the paths that know it: the lengths
    // of nearly every Find.
    const bool bRanked = state.nChunks == 1   ? state.Rank<1>(words, nWords, ranks)
                         : state.nChunks == 2 ? state.Rank<2>(words, nWords, ranks)
                                              : state.Rank<0>(words, nWords, ranks);
    if (!bRanked) {
        m_strError = std::string("damaged: ") + state.why;
        m_pState.reset();
    }
    return bRanked;
}
