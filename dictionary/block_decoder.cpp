// Walking one length block: the plain word-by-word decoding, and the
// positional walk that decodes each word only as far as its squares allow.
//
// The positional walk tests a word letter by letter as it is decoded, and
// once a letter does not fit its square passes over the rest of the word's
// codes whole.
//
// A prefix code copies the previous word's first letters. After a word was
// given up at square F, only its letters 0..F are known; a following word
// that copies more than F letters shares the letter that failed, so it fails
// there too, and one that copies fewer copies only known letters, all of
// which fit their squares.
//
// Damage in the codes passed over (a prefix code where a letter must be) is
// found by counting: every prefix code of every group read must be the first
// code of some word. The count is settled before a word is returned, before
// a group is read the slow way and at the block's end, so a search still
// lists the words before the damage and stops there, and the walk need not
// look at each code it passes over.
#include "dictionary/block_decoder.h"

#include <cstring>

#include "platform/file.h"

namespace {

// Bit 0 of each of the eight 5-bit fields of a 40-bit group.
constexpr uint64_t kFieldLowBits = 0x0842108421ull;

// How many of the first `n` codes (0 to 8) of a left-aligned group (its next
// code in bits 39-35) are prefix codes, 26 to 31: bits 4 and 3 set, and 2 or 1.
inline int CountPrefixCodes(uint64_t group, int n) {
    const uint64_t firstN = ~((uint64_t{1} << (40 - 5 * n)) - 1);
    const uint64_t bits = (group >> 4) & (group >> 3) & ((group >> 2) | (group >> 1)) & kFieldLowBits & firstN;
    // One bit per 5-bit field: the product sums the eight fields into bits
    // 35-39 (at most 8, so no field carries into the next).
    return static_cast<int>((bits * kFieldLowBits) >> 35) & 0x1F;
}

}  // namespace

void CBlockDecoder::Forget() {
    m_pFile = nullptr;
    m_nBufCount = 0;
    m_nBufPos = 0;
    m_nCount = 0;
    m_nBlockEnd = 0;
    m_nWordsRead = 0;
    m_nCodes = 0;
    m_nGroup = 0;
    m_nPrevLength = 0;
    m_nUnsettledPrefixes = 0;
}

void CBlockDecoder::Start(CFile& file, int64_t start, int64_t end, int nCount, int nLength) {
    Forget();
    m_pFile = &file;
    m_nReadPos = start;
    m_nStart = start;
    m_nBlockEnd = end;
    m_nCount = nCount;
    m_nLength = nLength;
    m_nPrevFailedAt = nLength;
}

BlockStep CBlockDecoder::SkipCodes(int n) {
    if (n <= 0)
        return BlockStep::Word;
    const int64_t next = ReadGroup();
    if (next < 0)
        return Stop(next == kGroupUnreadable ? BlockStep::Unreadable : BlockStep::Damaged);
    // The codes passed over belong to words before the walk: their prefix
    // codes are none of its business.
    m_nGroup = static_cast<uint64_t>(next) << (5 * n);
    m_nCodes = kCodesPerGroup - n;
    m_nUnsettledPrefixes = CountPrefixCodes(m_nGroup, m_nCodes);
    return BlockStep::Word;
}

BlockStep CBlockDecoder::Stop(BlockStep step) {
    m_nWordsRead = m_nCount;  // the rest of the block is unusable
    m_nCodes = 0;
    return step;
}

bool CBlockDecoder::Refill() {
    try {
        m_nBufCount = static_cast<int>(m_pFile->Read(m_buffer, kBufferSize));
    } catch (const CFileException&) {
        m_nBufCount = 0;
    }
    m_nBufPos = 0;
    m_nReadPos += m_nBufCount;
    return m_nBufCount > 0;
}

int64_t CBlockDecoder::ReadGroup() {
    // The group must lie inside the block: a count that needs more codes than
    // the block holds means the file is damaged.
    const int64_t groupStart = m_nReadPos - m_nBufCount;
    if (groupStart + kGroupBytes > m_nBlockEnd || !m_pFile)
        return kNoGroupInBlock;
    if (m_nBufCount < kGroupBytes && (!Refill() || m_nBufCount < kGroupBytes))
        return kGroupUnreadable;
    const unsigned char* b = m_buffer + m_nBufPos;
    m_nBufPos += kGroupBytes;
    m_nBufCount -= kGroupBytes;
    return static_cast<int64_t>(GroupValue(b));
}

BlockStep CBlockDecoder::NextWord(CString& word) {
    const int nLength = m_nLength;
    if (m_nWordsRead >= m_nCount)
        return BlockStep::End;

    // The letters go straight into the word and into the copy of it that the
    // next word's prefix code reads; the decoder's state stays in locals.
    word.resize(static_cast<size_t>(nLength));
    char* const out = word.data();
    char* const prev = m_prevLetters;
    uint64_t group = m_nGroup;
    int nCodes = m_nCodes;
    int nHave = 0;
    while (nHave < nLength) {
        if (nCodes == 0) {
            // The common case, a whole group of the block in the buffer, is
            // taken here; ReadGroup refills and checks the rest.
            int64_t next;
            if (m_nBufCount >= kGroupBytes && m_nReadPos - m_nBufCount + kGroupBytes <= m_nBlockEnd) {
                next = static_cast<int64_t>(GroupValue(m_buffer + m_nBufPos));
                m_nBufPos += kGroupBytes;
                m_nBufCount -= kGroupBytes;
            } else {
                next = ReadGroup();
                if (next < 0)
                    return Stop(next == kGroupUnreadable ? BlockStep::Unreadable : BlockStep::Damaged);
            }
            group = static_cast<uint64_t>(next);
            nCodes = kCodesPerGroup;
        }
        const int code = static_cast<int>(group >> 35) & 0x1F;
        group <<= 5;
        --nCodes;
        if (code < kLetterCodes) {
            const char letter = static_cast<char>('A' + code);
            out[nHave] = letter;
            prev[nHave] = letter;
            ++nHave;
            continue;
        }
        // A prefix code may only start a word, and may only repeat letters
        // that the previous word has, leaving at least one letter to spell.
        const int nPrefix = code - kPrefixCodeBias;
        if (nHave != 0 || nPrefix >= nLength || nPrefix > m_nPrevLength)
            return Stop(BlockStep::Damaged);
        std::memcpy(out, prev, static_cast<size_t>(nPrefix));
        nHave = nPrefix;
    }
    m_nGroup = group;
    m_nCodes = nCodes;
    m_nPrevLength = nLength;
    ++m_nWordsRead;
    return BlockStep::Word;
}

BlockStep CBlockDecoder::NextFittingWord(const uint32_t* const masks, CString& word) {
    const int nLength = m_nLength;
    word.resize(static_cast<size_t>(nLength));
    char* const out = word.data();
    char* const prev = m_prevLetters;
    uint64_t group = m_nGroup;
    int nCodes = m_nCodes;
    int nFailedAt = m_nPrevFailedAt;
    // The word count and the previous word's length stay in registers.
    int nRead = m_nWordsRead;
    const int nCount = m_nCount;
    int nPrevLength = m_nPrevLength;
    bool bDamaged = false;
    // What a failed ReadGroup found (kNoGroupInBlock or kGroupUnreadable), or 0.
    int64_t nReadFailure = 0;

    // The buffer's bytes in locals: whole groups up to pFast lie in both the
    // buffer and the block and are taken without a check; the rest go
    // through ReadGroup, which refills and checks.
    const unsigned char* p = m_buffer + m_nBufPos;
    const unsigned char* pFast = p;
    const auto reload = [&]() __attribute__((always_inline)) {
        p = m_buffer + m_nBufPos;
        const int64_t inBlock = m_nBlockEnd - (m_nReadPos - m_nBufCount);
        const int64_t bytes = inBlock < m_nBufCount ? inBlock : m_nBufCount;
        pFast = p + (bytes > 0 ? bytes / kGroupBytes * kGroupBytes : 0);
    };
    const auto sync = [&]() __attribute__((always_inline)) {
        const int used = static_cast<int>(p - (m_buffer + m_nBufPos));
        m_nBufPos += used;
        m_nBufCount -= used;
    };
    reload();
    // Prefix codes of the groups read so far that no word has yet started
    // with: the walk is sound while this is the number of prefix codes among
    // the codes of the current group not yet decoded.
    int64_t nUnsettled = m_nUnsettledPrefixes;
    const auto settled = [&]() __attribute__((always_inline)) {
        return nUnsettled == CountPrefixCodes(group, nCodes);
    };
    // The next group of the block, or false when the block has none left.
    const auto fetch = [&]() __attribute__((always_inline)) {
        if (p < pFast) [[likely]] {
            // One load of 8 bytes: the buffer has room past its last group.
            uint64_t bytes;
            std::memcpy(&bytes, p, 8);
            group = __builtin_bswap64(bytes) >> 24;
            p += kGroupBytes;
            nCodes = kCodesPerGroup;
            nUnsettled += CountPrefixCodes(group, kCodesPerGroup);
            return true;
        }
        // Damage already passed over is told before a failed read is.
        if (!settled()) {
            bDamaged = true;
            return false;
        }
        sync();
        const int64_t next = ReadGroup();
        reload();
        if (next < 0) {
            nReadFailure = next;
            return false;
        }
        group = static_cast<uint64_t>(next);
        nCodes = kCodesPerGroup;
        nUnsettled += CountPrefixCodes(group, kCodesPerGroup);
        return true;
    };
    // Passes over n codes of letters.
    const auto skip = [&](int n) __attribute__((always_inline)) {
        if (n <= nCodes + kCodesPerGroup && p < pFast) [[likely]] {
            // The codes end in this group or the next, which is whole in
            // the buffer: moving on to it (also when this group ends with
            // them) is chosen without a branch on n.
            uint64_t bytes;
            std::memcpy(&bytes, p, 8);
            const uint64_t next = __builtin_bswap64(bytes) >> 24;
            const bool bNext = n >= nCodes;
            const int nInNext = bNext ? n - nCodes : 0;
            const int nHere = bNext ? 0 : n;
            group = bNext ? next << (5 * nInNext) : group << (5 * nHere);
            nUnsettled += bNext ? CountPrefixCodes(next, kCodesPerGroup) : 0;
            p += bNext ? kGroupBytes : 0;
            nCodes = bNext ? kCodesPerGroup - nInNext : nCodes - n;
            return true;
        }
        while (n > nCodes) {
            n -= nCodes;
            if (!fetch())
                return false;
        }
        group <<= 5 * n;
        nCodes -= n;
        return true;
    };
    // The walk's registers back into the decoder, for the next call.
    const auto keepState = [&]() __attribute__((always_inline)) {
        sync();
        m_nWordsRead = nRead;
        m_nPrevLength = nPrevLength;
        m_nGroup = group;
        m_nCodes = nCodes;
        m_nPrevFailedAt = nFailedAt;
        m_nUnsettledPrefixes = nUnsettled;
    };

    while (nRead < nCount) {
        if (nCodes == 0 && !fetch())
            break;
        int code = static_cast<int>(group >> 35) & 0x1F;
        int at = 0;
        if (code >= kFirstPrefixCode) {
            // A prefix code may only repeat letters that the previous word
            // has, leaving at least one letter to spell.
            const int nPrefix = code - kPrefixCodeBias;
            if (nPrefix >= nLength || nPrefix > nPrevLength) {
                bDamaged = true;
                break;
            }
            group <<= 5;
            --nCodes;
            --nUnsettled;
            if (nPrefix > nFailedAt) {
                // It repeats the letter the previous word failed on.
                if (!skip(nLength - nPrefix))
                    break;
                ++nRead;
                continue;
            }
            at = nPrefix;
        }
        // The word's own letters, each tested as it comes.
        bool bFits = true;
        while (at < nLength) {
            if (nCodes == 0 && !fetch())
                break;
            code = static_cast<int>(group >> 35) & 0x1F;
            if (code >= kFirstPrefixCode) {
                bDamaged = true;
                break;
            }
            group <<= 5;
            --nCodes;
            prev[at] = static_cast<char>('A' + code);
            if (((masks[at] >> code) & 1) == 0) {
                nFailedAt = at;
                bFits = false;
                break;
            }
            ++at;
        }
        if (bDamaged || nReadFailure != 0)
            break;
        if (!bFits && !skip(nLength - 1 - nFailedAt))
            break;
        nPrevLength = nLength;
        ++nRead;
        if (bFits) {
            if (!settled()) {
                bDamaged = true;
                break;
            }
            nFailedAt = nLength;
            std::memcpy(out, prev, static_cast<size_t>(nLength));
            keepState();
            return BlockStep::Word;
        }
    }
    // The block's end: its last group's codes past the last word are padding.
    if (!bDamaged && nReadFailure == 0 && !settled())
        bDamaged = true;
    keepState();
    if (bDamaged)
        return Stop(BlockStep::Damaged);
    if (nReadFailure != 0)
        return Stop(nReadFailure == kGroupUnreadable ? BlockStep::Unreadable : BlockStep::Damaged);
    return BlockStep::End;
}
