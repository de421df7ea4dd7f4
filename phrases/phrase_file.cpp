#include "phrases/phrase_file.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "dictionary/length_block_index.h"

namespace {

constexpr char kMagic[4] = {'G', 'W', 'P', 'F'};
constexpr uint8_t kVersion = 1;
constexpr size_t kFixedHeader = 6;  // magic, version, longest length
constexpr size_t kBlockEntry = kLengthBlockEntrySize;

bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }

// The order of entries within a block: by letters, then by where the breaks
// fall (so SELF-TAUGHT and SELF TAUGHT, if both were listed, stand together).
bool EntryLess(const PhraseEntry& a, const PhraseEntry& b) {
    if (a.letters != b.letters)
        return a.letters < b.letters;
    return a.breaks < b.breaks;
}

}  // namespace

std::string PhraseEntry::Text() const {
    std::string text;
    text.reserve(letters.size() + breaks.size());
    size_t from = 0;
    for (const uint8_t b : breaks) {
        const size_t at = std::min<size_t>(b & 0x7F, letters.size());
        text.append(letters, from, at - from);
        text.push_back(b & 0x80 ? '-' : ' ');
        from = at;
    }
    text.append(letters, from, std::string::npos);
    return text;
}

bool ParsePhraseText(std::string_view text, PhraseEntry& entry, int minWords) {
    entry.letters.clear();
    entry.breaks.clear();
    bool afterBreak = true;  // no separator first, none twice in a row
    for (const char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            if (entry.letters.size() == static_cast<size_t>(kMaxPhraseLetters))
                return false;
            entry.letters.push_back(static_cast<char>(c & ~0x20));
            afterBreak = false;
        } else if (c == ' ' || c == '_' || c == '-') {
            if (afterBreak || entry.breaks.size() == static_cast<size_t>(kMaxPhraseBreaks))
                return false;
            entry.breaks.push_back(static_cast<uint8_t>(entry.letters.size() | (c == '-' ? 0x80 : 0)));
            afterBreak = true;
        } else {
            return false;
        }
    }
    return !afterBreak && static_cast<int>(entry.breaks.size()) + 1 >= minWords;
}

uint8_t RankOfLevel(int level) {
    for (size_t i = 0; i < std::size(kPhraseLevels); ++i)
        if (level <= kPhraseLevels[i])
            return static_cast<uint8_t>(i);
    return kPhraseNoRank;
}

std::string BuildPhraseFile(std::vector<PhraseEntry> entries) {
    int maxLength = 0;
    for (const PhraseEntry& e : entries) {
        const size_t n = e.letters.size();
        if (n < 2 || n > static_cast<size_t>(kMaxPhraseLetters) || e.breaks.size() > kMaxPhraseBreaks ||
            e.rank > kPhraseNoRank || !std::all_of(e.letters.begin(), e.letters.end(), IsCapital))
            throw std::invalid_argument("phrase entry the format cannot hold: " + e.Text());
        unsigned previous = 0;
        for (const uint8_t b : e.breaks) {
            const unsigned at = b & 0x7F;
            if (at <= previous || at >= n)
                throw std::invalid_argument("phrase entry with its breaks out of place: " + e.Text());
            previous = at;
        }
        maxLength = std::max(maxLength, static_cast<int>(n));
    }
    std::sort(entries.begin(), entries.end(), [](const PhraseEntry& a, const PhraseEntry& b) {
        if (a.letters.size() != b.letters.size())
            return a.letters.size() < b.letters.size();
        if (EntryLess(a, b) || EntryLess(b, a))
            return EntryLess(a, b);
        return a.rank < b.rank;
    });
    // Duplicates follow their lowest rank, which the sort put first.
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](const PhraseEntry& a, const PhraseEntry& b) {
                                  return a.letters == b.letters && a.breaks == b.breaks;
                              }),
                  entries.end());

    const size_t nLengths = maxLength >= 2 ? static_cast<size_t>(maxLength - 1) : 0;
    std::vector<std::string> blocks(nLengths);
    std::vector<uint32_t> counts(nLengths);
    for (const PhraseEntry& e : entries) {
        std::string& block = blocks[e.letters.size() - 2];
        block.push_back(static_cast<char>((e.rank << 4) | e.breaks.size()));
        block += e.letters;
        block.append(reinterpret_cast<const char*>(e.breaks.data()), e.breaks.size());
        ++counts[e.letters.size() - 2];
    }

    std::string out(kMagic, sizeof kMagic);
    out.push_back(static_cast<char>(kVersion));
    out.push_back(static_cast<char>(maxLength));
    uint64_t offset = kFixedHeader + kBlockEntry * nLengths + 4;
    for (size_t i = 0; i < nLengths; ++i) {
        if (offset + blocks[i].size() > UINT32_MAX)
            throw std::invalid_argument("phrase list too large for the format");
        AppendLengthBlockEntry(out, LengthBlock{counts[i], static_cast<uint32_t>(offset),
                                                static_cast<uint32_t>(blocks[i].size()),
                                                Crc32Of(blocks[i].data(), blocks[i].size())});
        offset += blocks[i].size();
    }
    AppendBigEndian32(out, Crc32Of(out.data(), out.size()));
    for (const std::string& block : blocks)
        out += block;
    return out;
}

bool CPhraseFile::Fail(std::string why) {
    m_strError = std::move(why);
    return false;
}

bool CPhraseFile::Open(const CString& path) {
    m_bInMemory = false;
    m_bytes.clear();
    if (!m_file.Open(path))
        return Fail(path + ": " + m_file.Error());
    unsigned char fixed[kFixedHeader];
    size_t got = 0;
    if (!m_file.ReadAt(0, fixed, sizeof fixed, got))
        return Fail(path + ": " + m_file.Error());
    if (got < sizeof fixed || std::memcmp(fixed, kMagic, sizeof kMagic) != 0)
        return Fail(path + ": not a phrase file");
    const size_t headerSize = kFixedHeader + kBlockEntry * (fixed[5] >= 2 ? fixed[5] - 1u : 0u) + 4;
    std::string header(headerSize, '\0');
    if (!m_file.ReadAt(0, header.data(), headerSize, got))
        return Fail(path + ": " + m_file.Error());
    if (!ParseHeader(reinterpret_cast<const unsigned char*>(header.data()), got,
                     static_cast<uint64_t>(m_file.Size())))
        return Fail(path + ": " + m_strError);
    return true;
}

bool CPhraseFile::OpenBytes(std::string bytes) {
    m_file.Close();
    m_bytes = std::move(bytes);
    m_bInMemory = true;
    return ParseHeader(reinterpret_cast<const unsigned char*>(m_bytes.data()), m_bytes.size(), m_bytes.size());
}

bool CPhraseFile::ParseHeader(const unsigned char* data, size_t size, uint64_t fileSize) {
    m_nMaxLength = 0;
    m_blocks.clear();
    if (size < kFixedHeader + 4 || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return Fail("not a phrase file");
    if (data[4] != kVersion)
        return Fail("phrase file of an unknown version");
    const int maxLength = data[5];
    if (maxLength == 1 || maxLength > kMaxPhraseLetters)
        return Fail("damaged phrase file (longest length)");
    const size_t nLengths = maxLength >= 2 ? static_cast<size_t>(maxLength - 1) : 0;
    const size_t headerSize = kFixedHeader + kBlockEntry * nLengths;
    if (size < headerSize + 4)
        return Fail("damaged phrase file (short header)");
    if (!ChecksumMatches(data, headerSize, GetBigEndian32(data + headerSize)))
        return Fail("damaged phrase file (header checksum)");
    std::vector<LengthBlock> blocks(nLengths);
    for (size_t i = 0; i < nLengths; ++i) {
        const LengthBlock& b = blocks[i] = ReadLengthBlockEntry(data + kFixedHeader + kBlockEntry * i);
        // Each entry takes at least its header byte and its letters.
        if (uint64_t{b.offset} + b.size > fileSize || uint64_t{b.count} * (i + 3) > b.size)
            return Fail("damaged phrase file (block " + std::to_string(i + 2) + " out of place)");
    }
    m_blocks = std::move(blocks);
    m_nMaxLength = maxLength;
    return true;
}

size_t CPhraseFile::EntryCount(int length) const {
    if (length < 2 || length > m_nMaxLength)
        return 0;
    return m_blocks[static_cast<size_t>(length - 2)].count;
}

bool CPhraseFile::Walk(int length, const std::function<void(const PhraseRecord&)>& visit) {
    if (length < 2 || length > m_nMaxLength)
        return true;
    const LengthBlock& b = m_blocks[static_cast<size_t>(length - 2)];
    if (b.count == 0)
        return true;
    std::string room;
    const char* data;
    if (m_bInMemory) {
        data = m_bytes.data() + b.offset;
    } else {
        room.resize(b.size);
        size_t got = 0;
        if (!m_file.ReadAt(b.offset, room.data(), b.size, got))
            return Fail(m_file.Error());
        if (got != b.size)
            return Fail("phrase file cut short");
        data = room.data();
    }
    if (!ChecksumMatches(data, b.size, b.crc))
        return Fail("damaged phrase file (block " + std::to_string(length) + " checksum)");
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = p + b.size;
    for (uint32_t n = 0; n < b.count; ++n) {
        const int nBreaks = *p & 0x0F;
        const auto rank = static_cast<uint8_t>(*p >> 4);
        if (end - p < 1 + length + nBreaks)
            return Fail("damaged phrase file (entry past its block)");
        const unsigned char* letters = p + 1;
        const unsigned char* breaks = letters + length;
        for (int i = 0; i < length; ++i)
            if (letters[i] < 'A' || letters[i] > 'Z')
                return Fail("damaged phrase file (not a letter)");
        int previous = 0;
        for (int i = 0; i < nBreaks; ++i) {
            const int at = breaks[i] & 0x7F;
            if (at <= previous || at >= length)
                return Fail("damaged phrase file (break out of place)");
            previous = at;
        }
        visit(PhraseRecord{reinterpret_cast<const char*>(letters), breaks, nBreaks, rank});
        p = breaks + nBreaks;
    }
    return true;
}
