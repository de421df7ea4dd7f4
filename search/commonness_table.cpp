#include "search/commonness_table.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <stdexcept>

#include <zlib.h>

namespace {

constexpr unsigned char kMagic[4] = {'G', 'W', 'C', 'T'};
constexpr int kVersion = 1;
constexpr size_t kMaxLevels = 15;
constexpr size_t kFixedHeader = 22;  // magic, version, N, 15 levels, M
constexpr size_t kEntrySize = 16;
constexpr size_t kMinLength = 2;
constexpr size_t kMaxLength = 255;
constexpr int kFirstPrefixCode = 26;
constexpr int kMaxPrefix = 7;

uint32_t Crc32(const void* data, size_t size) {
    return static_cast<uint32_t>(::crc32(0L, static_cast<const Bytef*>(data), static_cast<uInt>(size)));
}

uint32_t Get32(const unsigned char* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

void Set32(std::string& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}

// Packs 5-bit codes 8 to a 5-byte group, as dictionary.dat does.
class CodePacker {
public:
    explicit CodePacker(std::string& out) : m_out(out) {}
    void Put(int code) {
        m_value = (m_value << 5) | static_cast<uint64_t>(code);
        if (++m_nCodes == 8)
            Flush();
    }
    void Finish() {
        if (m_nCodes == 0)
            return;
        m_value <<= 5 * (8 - m_nCodes);
        Flush();
    }

private:
    void Flush() {
        for (int shift = 32; shift >= 0; shift -= 8)
            m_out.push_back(static_cast<char>((m_value >> shift) & 0xFF));
        m_value = 0;
        m_nCodes = 0;
    }
    std::string& m_out;
    uint64_t m_value = 0;
    int m_nCodes = 0;
};

// One length block's words, in ascending order, encoded as dictionary.dat
// encodes a length block.
void PackWords(const std::vector<std::string>& words, std::string& out) {
    CodePacker packer(out);
    const std::string* prev = nullptr;
    for (const std::string& word : words) {
        size_t k = 0;
        if (prev)
            while (k < word.size() && (*prev)[k] == word[k])
                ++k;
        k = std::min<size_t>(k, kMaxPrefix);
        if (k < 2)
            k = 0;
        if (k > 0)
            packer.Put(static_cast<int>(k) + kFirstPrefixCode - 2);
        for (size_t i = k; i < word.size(); ++i)
            packer.Put(word[i] - 'A');
        prev = &word;
    }
    packer.Finish();
}

bool IsTableWord(const std::string& word) {
    return word.size() >= kMinLength && word.size() <= kMaxLength &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// Walks the packed words of one block, checking as it goes what a sound
// block guarantees: prefix codes only where a word begins and a word before
// it exists, and every word greater than the one before.
class BlockWalker {
public:
    BlockWalker(const unsigned char* codes, size_t size, size_t length) : m_length(length), m_word(length, '\0') {
        Unpack(codes, size);
    }

    // Decodes the next word into Word(); false (with *why) on damage. The
    // word is built over the one before: a prefix code keeps its first
    // letters in place, and the order check needs only the letters that
    // change.
    bool Next(const char** why) {
        char* word = m_word.data();
        if (m_pos == m_codes.size()) {
            *why = "its words run past the end of their block";
            return false;
        }
        size_t n = 0;
        const unsigned char first = m_codes[m_pos];
        if (first >= kFirstPrefixCode) {
            n = static_cast<size_t>(first - kFirstPrefixCode + 2);
            if (!m_bHavePrev || n >= m_length) {
                *why = "a word's letters are damaged";
                return false;
            }
            ++m_pos;
        }
        // The rest are letters, which never take a prefix code.
        if (m_codes.size() - m_pos < m_length - n) {
            *why = "its words run past the end of their block";
            return false;
        }
        const unsigned char* codes = m_codes.data() + m_pos;
        m_pos += m_length - n;
        // The first letter that differs from the word before must be
        // greater; the letters after it are only copied.
        bool changed = !m_bHavePrev;
        size_t i = n;
        for (; i < m_length && !changed; ++i) {
            const unsigned char code = codes[i - n];
            if (code >= kFirstPrefixCode) {
                *why = "a word's letters are damaged";
                return false;
            }
            const char letter = static_cast<char>('A' + code);
            if (letter != word[i]) {
                if (letter < word[i]) {
                    *why = "its words are out of order";
                    return false;
                }
                changed = true;
            }
            word[i] = letter;
        }
        if (!changed) {
            *why = "its words are out of order";
            return false;
        }
        for (; i < m_length; ++i) {
            const unsigned char code = codes[i - n];
            if (code >= kFirstPrefixCode) {
                *why = "a word's letters are damaged";
                return false;
            }
            word[i] = static_cast<char>('A' + code);
        }
        m_bHavePrev = true;
        return true;
    }
    const char* Word() const { return m_word.data(); }
    // True when the walk has used every group of the block.
    bool AtEnd() const { return (m_pos + 7) / 8 * 8 == m_codes.size(); }

    // memcmp for the short runs of letters compared here: eight letters at
    // a time as big-endian numbers, then one by one, without a call.
    static int Compare(const char* a, const char* b, size_t n) {
        size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            uint64_t x, y;
            std::memcpy(&x, a + i, 8);
            std::memcpy(&y, b + i, 8);
            if (x != y) {
                if constexpr (std::endian::native == std::endian::little) {
                    x = __builtin_bswap64(x);
                    y = __builtin_bswap64(y);
                }
                return x < y ? -1 : 1;
            }
        }
        for (; i < n; ++i)
            if (a[i] != b[i])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
        return 0;
    }

private:
    // All codes of the block, unpacked in one pass.
    void Unpack(const unsigned char* data, size_t size) {
        m_codes.resize(size / 5 * 8);
        unsigned char* out = m_codes.data();
        for (size_t at = 0; at + 5 <= size; at += 5, out += 8) {
            uint64_t value = 0;
            for (int i = 0; i < 5; ++i)
                value = (value << 8) | data[at + static_cast<size_t>(i)];
            for (int i = 7; i >= 0; --i) {
                out[i] = static_cast<unsigned char>(value & 31);
                value >>= 5;
            }
        }
    }

    std::vector<unsigned char> m_codes;
    size_t m_pos = 0;
    size_t m_length;
    std::string m_word;
    bool m_bHavePrev = false;
};

}  // namespace

std::string BuildCommonnessTable(std::vector<std::pair<std::string, int>> words) {
    std::map<size_t, std::map<std::string, int>> byLength;
    std::vector<int> levels;
    for (auto& [word, level] : words) {
        if (!IsTableWord(word))
            throw std::invalid_argument("not a word of 2 to 255 letters A-Z: " + word);
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
        Set32(out, at, count);
        Set32(out, at + 4, static_cast<uint32_t>(out.size()));
        Set32(out, at + 8, static_cast<uint32_t>(block.size()));
        Set32(out, at + 12, Crc32(block.data(), block.size()));
        out += block;
    }
    const size_t crcAt = entriesAt + nLengths * kEntrySize;
    Set32(out, crcAt, Crc32(out.data(), crcAt));
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
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    if (Crc32(data, headerSize - 4) != Get32(data + headerSize - 4))
        return Fail("damaged: its header's checksum does not match");
#endif
    std::vector<int> levels;
    for (size_t i = 0; i < nLevels; ++i) {
        levels.push_back(data[6 + i]);
        if (i > 0 && levels[i] <= levels[i - 1])
            return Fail("damaged: levels out of order");
    }
    std::vector<Entry> entries(nLengths);
    for (size_t i = 0; i < nLengths; ++i) {
        const unsigned char* p = data + kFixedHeader + i * kEntrySize;
        Entry& e = entries[i];
        e.count = Get32(p);
        e.offset = Get32(p + 4);
        e.size = Get32(p + 8);
        e.crc = Get32(p + 12);
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

bool CCommonnessTable::ReadBlock(const Entry& entry, std::string& block) {
    if (m_bInMemory) {
        block.assign(m_bytes, entry.offset, entry.size);
    } else {
        block.resize(entry.size);
        size_t got = 0;
        if (!m_file.ReadAt(static_cast<int64_t>(entry.offset), block.data(), block.size(), got)) {
            m_strError = "cannot be read: " + m_file.Error();
            return false;
        }
        if (got != block.size()) {
            m_strError = "shorter than it says";
            return false;
        }
    }
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    if (Crc32(block.data(), block.size()) != entry.crc) {
        m_strError = "damaged: a block's checksum does not match";
        return false;
    }
#endif
    return true;
}

bool CCommonnessTable::RankWords(size_t length, const char* words, size_t nWords, uint8_t* ranks) {
    std::fill(ranks, ranks + nWords, kUnknown);
    const size_t count = WordCount(length);
    if (count == 0 || nWords == 0)
        return true;
    const Entry& entry = m_entries[length - kMinLength];
    std::string block;
    if (!ReadBlock(entry, block))
        return false;
    const auto* data = reinterpret_cast<const unsigned char*>(block.data());
    const size_t nibbleBytes = (count + 1) / 2;
    BlockWalker walker(data + nibbleBytes, block.size() - nibbleBytes, length);

    const char* why = nullptr;
    size_t nDecoded = 0;  // words of the block decoded; Word() is the last
    bool bCurrent = false;  // Word() has not yet been passed by the matches
    const size_t nLevels = m_levels.size();
    for (size_t i = 0; i < nWords; ++i) {
        const char* word = words + i * length;
        for (;;) {
            if (!bCurrent) {
                if (nDecoded == count)
                    break;
                if (!walker.Next(&why)) {
                    m_strError = std::string("damaged: ") + why;
                    return false;
                }
                ++nDecoded;
                bCurrent = true;
            }
            const int cmp = BlockWalker::Compare(walker.Word(), word, length);
            if (cmp < 0) {
                bCurrent = false;
                continue;
            }
            if (cmp == 0) {
                const size_t index = nDecoded - 1;
                const unsigned rank = index % 2 == 0 ? data[index / 2] >> 4 : data[index / 2] & 15;
                if (rank >= nLevels) {
                    m_strError = "damaged: a word's level is not one of the table's";
                    return false;
                }
                ranks[i] = static_cast<uint8_t>(rank);
            }
            break;
        }
    }
    // A walk that reached the last word has read the whole block: its groups
    // must end there too.
    if (nDecoded == count && !walker.AtEnd()) {
        m_strError = "damaged: a block is longer than its words";
        return false;
    }
    return true;
}
