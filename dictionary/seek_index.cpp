// Writing and reading the seek index. Every number read is checked before it
// is used: a damaged index only costs the Find its shortcut.
#include "dictionary/seek_index.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "dictionary/word_codec.h"

namespace {

constexpr unsigned char kMagic[4] = {'G', 'W', 'S', 'I'};
constexpr unsigned char kVersion = 1;
constexpr size_t kFixedHeader = 34;  // magic, version, size, time, inode, trailer CRC, M
constexpr size_t kEntryBytes = 10;

void AppendBigEndian64(std::string& out, uint64_t value) {
    AppendBigEndian32(out, static_cast<uint32_t>(value >> 32));
    AppendBigEndian32(out, static_cast<uint32_t>(value));
}

uint64_t GetBigEndian64(const unsigned char* p) {
    return (uint64_t{GetBigEndian32(p)} << 32) | GetBigEndian32(p + 4);
}

size_t HeaderSize(int maxLength) {
    const size_t nLengths = maxLength >= kMinWordLength ? static_cast<size_t>(maxLength - 1) : 0;
    return kFixedHeader + nLengths * kLengthBlockEntrySize + 4;
}

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

std::string BuildSeekIndex(const SeekIndexKey& dictionary, int maxLength,
                           const std::vector<std::vector<SeekEntry>>& entries) {
    if (maxLength < kMinWordLength)
        maxLength = 0;
    std::string out(reinterpret_cast<const char*>(kMagic), sizeof kMagic);
    out.push_back(static_cast<char>(kVersion));
    AppendBigEndian64(out, dictionary.size);
    AppendBigEndian64(out, dictionary.modifiedNs);
    AppendBigEndian64(out, dictionary.inode);
    AppendBigEndian32(out, dictionary.trailerCrc);
    out.push_back(static_cast<char>(maxLength));
    const size_t entriesAt = out.size();
    out.resize(HeaderSize(maxLength) - 4);
    std::string blocks;
    const size_t blocksAt = HeaderSize(maxLength);
    for (int length = kMinWordLength; length <= maxLength; ++length) {
        std::string block;
        if (static_cast<size_t>(length) < entries.size())
            for (const SeekEntry& entry : entries[static_cast<size_t>(length)]) {
                block.push_back(entry.first);
                block.push_back(entry.second);
                AppendBigEndian32(block, entry.code);
                AppendBigEndian32(block, entry.word);
            }
        const LengthBlock index{static_cast<uint32_t>(block.size() / kEntryBytes),
                                static_cast<uint32_t>(blocksAt + blocks.size()), static_cast<uint32_t>(block.size()),
                                Crc32Of(block.data(), block.size())};
        SetLengthBlockEntry(out, entriesAt + static_cast<size_t>(length - kMinWordLength) * kLengthBlockEntrySize,
                            index);
        blocks += block;
    }
    AppendBigEndian32(out, Crc32Of(out.data(), out.size()));
    return out + blocks;
}

bool WriteSeekIndexFile(const CString& path, const std::string& bytes) {
    CString temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<size_t>(n);
    }
    const bool ok = ::close(fd) == 0 && written == bytes.size();
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool CSeekIndex::Open(const CString& path, const SeekIndexKey& dictionary) {
    m_bOpen = false;
    m_bFromMemory = false;
    m_file.Close();
    if (!m_file.Open(path))
        return false;
    // The header of the longest possible dictionary is small: one read takes
    // it whole, and a shorter file gives what it has.
    std::string header(HeaderSize(kMaxWordLength), '\0');
    size_t got = 0;
    if (!m_file.ReadAt(0, header.data(), header.size(), got))
        return false;
    return ParseHeader(reinterpret_cast<const unsigned char*>(header.data()), got,
                       static_cast<uint64_t>(m_file.Size()), dictionary);
}

bool CSeekIndex::OpenBytes(std::string bytes, const SeekIndexKey& dictionary) {
    m_bOpen = false;
    m_file.Close();
    m_bytes = std::move(bytes);
    m_bFromMemory = true;
    return ParseHeader(reinterpret_cast<const unsigned char*>(m_bytes.data()), m_bytes.size(), m_bytes.size(),
                       dictionary);
}

bool CSeekIndex::ParseHeader(const unsigned char* data, size_t size, uint64_t fileSize,
                             const SeekIndexKey& dictionary) {
    if (size < kFixedHeader || std::memcmp(data, kMagic, sizeof kMagic) != 0 || data[4] != kVersion)
        return false;
    const SeekIndexKey key{GetBigEndian64(data + 5), GetBigEndian64(data + 13), GetBigEndian64(data + 21),
                           GetBigEndian32(data + 29)};
    if (!(key == dictionary))
        return false;
    const int maxLength = data[33];
    if (maxLength == 1)
        return false;
    const size_t headerSize = HeaderSize(maxLength);
    if (size < headerSize || !ChecksumMatches(data, headerSize - 4, GetBigEndian32(data + headerSize - 4)))
        return false;
    m_blocks.clear();
    for (int length = kMinWordLength; length <= maxLength; ++length) {
        const size_t at = kFixedHeader + static_cast<size_t>(length - kMinWordLength) * kLengthBlockEntrySize;
        const LengthBlock block = ReadLengthBlockEntry(data + at);
        if (uint64_t{block.count} * kEntryBytes != block.size || uint64_t{block.offset} + block.size > fileSize)
            return false;
        m_blocks.push_back(block);
    }
    m_nMaxLength = maxLength;
    m_bOpen = true;
    return true;
}

bool CSeekIndex::ReadBlock(const LengthBlock& block, std::string& out) const {
    if (m_bFromMemory) {
        if (uint64_t{block.offset} + block.size > m_bytes.size())
            return false;
        out.assign(m_bytes, block.offset, block.size);
    } else {
        out.resize(block.size);
        size_t got = 0;
        if (!m_file.ReadAt(block.offset, out.data(), out.size(), got) || got != out.size())
            return false;
    }
    return ChecksumMatches(out.data(), out.size(), block.crc);
}

bool CSeekIndex::FittingRanges(int length, uint32_t wordCount, uint64_t blockBytes, uint32_t mask0, uint32_t mask1,
                               std::vector<WordRange>& ranges) const {
    ranges.clear();
    if (!m_bOpen || length < kMinWordLength || length > m_nMaxLength || wordCount == 0)
        return false;
    const LengthBlock& block = m_blocks[static_cast<size_t>(length - kMinWordLength)];
    std::string bytes;
    if (block.count == 0 || !ReadBlock(block, bytes))
        return false;
    const uint64_t blockCodes = blockBytes / kGroupBytes * kCodesPerGroup;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    // The entries must tile the block: the first at its first word, each
    // further one later in words and codes and with a greater start.
    SeekEntry previous;
    bool open = false;
    for (uint32_t i = 0; i < block.count; ++i, p += kEntryBytes) {
        const SeekEntry entry{static_cast<char>(p[0]), static_cast<char>(p[1]), GetBigEndian32(p + 2),
                              GetBigEndian32(p + 6)};
        const bool sound = IsLetter(entry.first) && IsLetter(entry.second) && entry.word < wordCount &&
                           entry.code < blockCodes &&
                           (i == 0 ? entry.word == 0 && entry.code == 0
                                   : entry.word > previous.word && entry.code > previous.code &&
                                         (entry.first > previous.first ||
                                          (entry.first == previous.first && entry.second > previous.second)));
        if (!sound) {
            ranges.clear();
            return false;
        }
        // A run that fits opens a range, or goes on with the one open; one
        // that does not fit closes it.
        const bool fits = ((mask0 >> (entry.first - 'A')) & 1) && ((mask1 >> (entry.second - 'A')) & 1);
        if (fits && !open)
            ranges.push_back(WordRange{entry.code, entry.word, 0, entry.first, entry.second});
        else if (!fits && open)
            ranges.back().count = entry.word - ranges.back().firstWord;
        open = fits;
        previous = entry;
    }
    if (open)
        ranges.back().count = wordCount - ranges.back().firstWord;
    return true;
}
