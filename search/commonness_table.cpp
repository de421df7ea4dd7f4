#include "search/commonness_table.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <map>
#include <stdexcept>

#include "dictionary/length_block_index.h"
#include "dictionary/word_codec.h"

namespace {

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

// A word as numbers for comparing: its letters read 8 at a time as
// big-endian numbers. Two words of one length compare as their numbers do,
// first to last, which is memcmp's order. Words of up to 16 letters, nearly
// every Find, take one or two numbers with the letters from the top byte
// down and zero bytes after the last; longer ones take as many numbers as
// they have 8 letters, the last number holding the word's last 8 letters
// (overlapping the one before, so that it too is one whole load).
constexpr size_t kMaxChunks = (kMaxLength + 7) / 8;
using WordKey = std::array<uint64_t, kMaxChunks>;

constexpr size_t ChunksOf(size_t length) { return length < 8 ? 1 : (length + 7) / 8; }

uint64_t LoadBigEndian(const char* p) {
    uint64_t value;
    std::memcpy(&value, p, sizeof value);
    if constexpr (std::endian::native == std::endian::little)
        value = __builtin_bswap64(value);
    return value;
}

// The top n bytes (1 to 8) of a number set.
constexpr uint64_t TopBytes(size_t n) { return n >= 8 ? ~uint64_t{0} : ~(~uint64_t{0} >> (8 * n)); }

// kChunks: the number of chunks when the caller knows it (1 or 2), else 0.
template <size_t kChunks>
[[gnu::always_inline]] inline void KeyOfLetters(const char* word, size_t length, WordKey& key) {
    if constexpr (kChunks == 1) {
        if (length == 8) {
            key[0] = LoadBigEndian(word);
        } else {
            uint64_t value = 0;
            for (size_t i = 0; i < length; ++i)
                value = (value << 8) | static_cast<unsigned char>(word[i]);
            key[0] = value << (8 * (8 - length));
        }
    } else if constexpr (kChunks == 2) {
        key[0] = LoadBigEndian(word);
        key[1] = LoadBigEndian(word + length - 8) << (8 * (16 - length));
    } else {
        const size_t n = ChunksOf(length);
        for (size_t c = 0; c + 1 < n; ++c)
            key[c] = LoadBigEndian(word + 8 * c);
        key[n - 1] = LoadBigEndian(word + length - 8);
    }
}

// -1, 0 or 1 as a is less than, equal to or greater than b; for one or two
// numbers without a branch, since which way a merge step goes is data.
template <size_t kChunks>
[[gnu::always_inline]] inline int CompareKeys(const uint64_t* a, const uint64_t* b, size_t nChunks) {
    if constexpr (kChunks == 1) {
        return static_cast<int>(a[0] > b[0]) - static_cast<int>(a[0] < b[0]);
    } else if constexpr (kChunks == 2) {
        // As one 128-bit number: the compiler compares it without a branch.
        const auto x = (static_cast<unsigned __int128>(a[0]) << 64) | a[1];
        const auto y = (static_cast<unsigned __int128>(b[0]) << 64) | b[1];
        return static_cast<int>(x > y) - static_cast<int>(x < y);
    } else {
        for (size_t c = 0; c < nChunks; ++c)
            if (a[c] != b[c])
                return a[c] < b[c] ? -1 : 1;
        return 0;
    }
}

// Walks the packed words of one block, checking as it goes what a sound
// block guarantees: prefix codes only where a word begins and a word before
// it exists, letters only after them, and every word greater than the one
// before. The codes form one bit stream, most significant bit first, so a
// word's letters are decoded 8 at a time; the block must be followed by 8
// readable bytes.
class BlockWalker {
public:
    BlockWalker(const unsigned char* codes, size_t size, size_t length)
        : m_data(codes), m_nCodes(size / kGroupBytes * kCodesPerGroup), m_length(length), m_nChunks(ChunksOf(length)),
          m_word(length + 8, '\0') {}

    // Decodes the next word; its key goes to out[0..Chunks()). False (with
    // *why) on damage.
    template <size_t kChunks>
    bool Next(uint64_t* out, const char** why) {
        if (m_pos == m_nCodes) {
            *why = "its words run past the end of their block";
            return false;
        }
        size_t nKept = 0;
        const auto first = static_cast<unsigned>(Codes(m_pos) >> 35);
        if (first >= kFirstPrefixCode) {
            nKept = first - kPrefixCodeBias;
            if (!m_bHavePrev || nKept >= m_length) {
                *why = "a word's letters are damaged";
                return false;
            }
            ++m_pos;
        }
        if (m_nCodes - m_pos < m_length - nKept) {
            *why = "its words run past the end of their block";
            return false;
        }
        if constexpr (kChunks == 0) {
            if (!DecodeInPlace(nKept)) {
                *why = "a word's letters are damaged";
                return false;
            }
            if (m_bHavePrev && CompareKeys<0>(m_next.data(), m_key.data(), m_nChunks) <= 0) {
                *why = "its words are out of order";
                return false;
            }
            std::copy_n(m_next.begin(), m_nChunks, m_key.begin());
            std::copy_n(m_next.begin(), m_nChunks, out);
        } else {
            // In registers, and stored a number at a time: a whole key
            // read back from two stores would wait on them.
            uint64_t high = 0;
            uint64_t low = 0;
            if (!DecodeToKey<kChunks>(nKept, high, low)) {
                *why = "a word's letters are damaged";
                return false;
            }
            // Written out, not through CompareKeys: the comparison of two
            // numbers and a select was measured 3% slower here.
            const bool bGreater =
                kChunks == 1 ? high > m_key[0] : (high > m_key[0] || (high == m_key[0] && low > m_key[1]));
            if (m_bHavePrev && !bGreater) {
                *why = "its words are out of order";
                return false;
            }
            m_key[0] = high;
            out[0] = high;
            if constexpr (kChunks == 2) {
                m_key[1] = low;
                out[1] = low;
            }
        }
        m_bHavePrev = true;
        return true;
    }
    size_t Chunks() const { return m_nChunks; }
    // True when the walk has used every group of the block.
    bool AtEnd() const { return (m_pos + 7) / 8 * 8 == m_nCodes; }

private:
    // The key of a word of up to 16 letters built in registers from the
    // key before: its first nKept letters, then the codes that follow.
    // (Written to memory and read back as whole numbers, the letters would
    // wait on their own stores.)
    template <size_t kChunks>
    bool DecodeToKey(size_t nKept, uint64_t& high, uint64_t& low) {
        const size_t nFresh = m_length - nKept;
        constexpr uint64_t kA = 0x4141414141414141;  // codes to 'A'-'Z'
        const uint64_t first = SpreadCodes(Codes(m_pos));
        if (HasPrefixCode(first, std::min<size_t>(8, nFresh)))
            return false;
        const uint64_t kept = nKept == 0 ? 0 : m_key[0] & TopBytes(nKept);
        high = kept | ((first + kA) >> (8 * nKept));
        if constexpr (kChunks == 1) {
            high &= TopBytes(m_length);
        } else {
            low = nKept == 0 ? 0 : (first + kA) << (8 * (8 - nKept));
            if (nFresh > 8) {
                const uint64_t second = SpreadCodes(Codes(m_pos + 8));
                if (HasPrefixCode(second, nFresh - 8))
                    return false;
                low |= (second + kA) >> (8 * nKept);
            }
            low &= TopBytes(m_length - 8);
        }
        m_pos += nFresh;
        return true;
    }

    // Longer words: the kept letters stay in place in m_word and the rest
    // are written over the word before, 8 at a time (the last 8 may run
    // into the spare room after the word, and codes past the word are not
    // looked at).
    bool DecodeInPlace(size_t nKept) {
        char* word = m_word.data();
        for (size_t at = nKept; at < m_length; at += 8) {
            const size_t n = std::min<size_t>(8, m_length - at);
            const uint64_t codes = SpreadCodes(Codes(m_pos));
            m_pos += n;
            if (HasPrefixCode(codes, n))
                return false;
            uint64_t bytes = codes + 0x4141414141414141;
            if constexpr (std::endian::native == std::endian::little)
                bytes = __builtin_bswap64(bytes);
            std::memcpy(word + at, &bytes, sizeof bytes);
        }
        KeyOfLetters<0>(word, m_length, m_next);
        return true;
    }

    // The 8 codes from code index `at` on (those past the block's end read
    // as the spare bytes).
    uint64_t Codes(size_t at) const { return CodesAt(m_data, at); }

    const unsigned char* m_data;
    size_t m_nCodes;
    size_t m_pos = 0;
    size_t m_length;
    size_t m_nChunks;
    std::string m_word;  // words over 16 letters: the last decoded, and 8 spare bytes
    WordKey m_key{};     // the last word's key
    WordKey m_next{};    // words over 16 letters: the key being decoded
    bool m_bHavePrev = false;
};

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
