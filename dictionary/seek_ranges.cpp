// The seek index on the reading side: building it from the open file, and
// narrowing a positional walk to the runs of words that can fit its first two
// squares.
#include <cstring>

#include "dictionary/dictionary.h"
#include "platform/file_system.h"
#include "res/string_table.h"

namespace {

constexpr uint32_t kAllLetters = (uint32_t{1} << kLetterCodes) - 1;

}  // namespace

bool CDictionary::MakeSeekIndexKey(SeekIndexKey& key) const {
    const FileIdentity file = IdentityOfOpenFile(GetHandle());
    if (!file.known)
        return false;
    std::string trailer;
    for (int nLength = kMinWordLength; nLength <= m_nMaxLength && m_pnWordCount; ++nLength)
        for (const int value : {m_pnWordCount[nLength], m_pnBlockStart[nLength]})
            for (int shift = 16; shift >= 0; shift -= 8)
                trailer.push_back(static_cast<char>((value >> shift) & 0xFF));
    key = SeekIndexKey{file.size, file.modifiedNs, file.inode, Crc32Of(trailer.data(), trailer.size())};
    return true;
}

std::string CDictionary::MakeSeekIndex(const SeekIndexKey& key) {
    std::vector<std::vector<SeekEntry>> entries(static_cast<size_t>(m_nMaxLength) + 1);
    CString word;
    for (int nLength = kMinWordLength; nLength <= m_nMaxLength && m_pnWordCount; ++nLength) {
        if (m_pnWordCount[nLength] == 0 || !StartBlock(nLength))
            continue;
        std::vector<SeekEntry>& runs = entries[static_cast<size_t>(nLength)];
        for (;;) {
            const int64_t code = m_decoder.NextCodeIndex();
            const int nWord = m_decoder.WordsRead();
            const BlockStep step = m_decoder.NextWord(word);
            if (step == BlockStep::End)
                break;
            // A damaged or unreadable block, or one whose starts come back
            // out of order, is left out: a Find walks it whole, and so meets
            // its damage where it is.
            const bool later = runs.empty() || word[0] > runs.back().first ||
                               (word[0] == runs.back().first && word[1] >= runs.back().second);
            if (step != BlockStep::Word || code > UINT32_MAX || !later) {
                runs.clear();
                break;
            }
            if (runs.empty() || word[0] != runs.back().first || word[1] != runs.back().second)
                runs.push_back(SeekEntry{word[0], word[1], static_cast<uint32_t>(code), static_cast<uint32_t>(nWord)});
        }
    }
    m_decoder.Forget();
    return BuildSeekIndex(key, m_nMaxLength, entries);
}

bool CDictionary::SeekIndexReady() {
    if (m_seekIndexState == SeekIndexState::NotLooked) {
        m_seekIndexState = SeekIndexState::Unusable;
        SeekIndexKey key;
        if (!MakeSeekIndexKey(key))
            return false;
        if (m_seekIndex.Open(m_strIndexPath, key)) {
            m_seekIndexState = SeekIndexState::Ready;
        } else if (CanWriteBeside(m_strIndexPath)) {
            // Missing, damaged or made for another file: made afresh from
            // this one and kept for the next Find. In a folder that cannot
            // keep it, every Find would pay for making it: the blocks are
            // walked whole there, as without an index.
            std::string bytes = MakeSeekIndex(key);
            if (m_seekIndex.OpenBytes(bytes, key)) {
                m_seekIndexState = SeekIndexState::Ready;
                WriteSeekIndexFile(m_strIndexPath, bytes);  // a failed write costs only the next Find's time
            }
        }
    }
    return m_seekIndexState == SeekIndexState::Ready;
}

bool CDictionary::RangesAgreeWithFile(const std::vector<WordRange>& ranges) {
    // Each range's first word is spelt out: its first two codes, which may
    // lie in two groups, are the letters the index gives.
    for (const WordRange& range : ranges) {
        unsigned char bytes[2 * kGroupBytes] = {};
        const int64_t at = m_nBlockStart + int64_t{range.firstCode / kCodesPerGroup} * kGroupBytes;
        const int nCode = static_cast<int>(range.firstCode % kCodesPerGroup);
        const unsigned nNeeded = nCode + 1 < kCodesPerGroup ? kGroupBytes : 2 * kGroupBytes;
        try {
            Seek(at, begin);
            if (Read(bytes, nNeeded) != nNeeded)
                return false;
        } catch (const CFileException&) {
            return false;
        }
        const auto codeAt = [&](int i) {
            const uint64_t group = GroupValue(bytes + (i / kCodesPerGroup) * kGroupBytes);
            return static_cast<int>(group >> (35 - 5 * (i % kCodesPerGroup))) & 0x1F;
        };
        if (codeAt(nCode) != range.first - 'A' || codeAt(nCode + 1) != range.second - 'A')
            return false;
    }
    return true;
}

void CDictionary::NarrowToFittingRanges() {
    const std::vector<uint32_t>& masks = m_search.SquareMasks();
    if (masks.size() < 2 || m_nBlockWords < s_nSeekWorthWords || m_nBlockEnd <= m_nBlockStart)
        return;
    const uint32_t mask0 = masks[0] & kAllLetters;
    const uint32_t mask1 = masks[1] & kAllLetters;
    if (mask0 == kAllLetters && mask1 == kAllLetters)
        return;
    const int nLength = m_nBlockLength;
    const bool ready = SeekIndexReady();
    // Building the index walked the other blocks, and checking it reads the
    // file elsewhere: the block is started afresh after either.
    const auto restart = [&]() {
        if (StartBlock(nLength))
            return true;
        m_decoder.Forget();
        m_bBlockDamaged = true;
        ReportFailure(Status::Message(IDS_CANNOT_FIND_LENGTH, MsgIcon::Stop));
        return false;
    };
    if (!restart() || !ready)
        return;
    std::vector<WordRange> ranges;
    if (!m_seekIndex.FittingRanges(nLength, static_cast<uint32_t>(m_nBlockWords),
                                   static_cast<uint64_t>(m_nBlockEnd - m_nBlockStart), mask0, mask1, ranges))
        return;  // a block the index leaves out is walked whole
    if (!RangesAgreeWithFile(ranges)) {
        // An index that disagrees with the file is given up for the rest
        // of the Find.
        m_seekIndexState = SeekIndexState::Unusable;
        restart();
        return;
    }
    m_ranges = std::move(ranges);
    m_nNextRange = 0;
    m_decoder.Forget();  // when no run fits, nothing is decoded
    StartNextRange();
}

bool CDictionary::StartNextRange() {
    if (m_nNextRange >= m_ranges.size())
        return false;
    const WordRange& range = m_ranges[m_nNextRange++];
    const int64_t at = m_nBlockStart + int64_t{range.firstCode / kCodesPerGroup} * kGroupBytes;
    try {
        Seek(at, begin);
    } catch (const CFileException&) {
        m_decoder.Forget();
        NoteBlockFailure(BlockStep::Unreadable);
        return false;
    }
    m_decoder.Start(*this, at, m_nBlockEnd, static_cast<int>(range.count), m_nBlockLength);
    const BlockStep step = m_decoder.SkipCodes(static_cast<int>(range.firstCode % kCodesPerGroup));
    if (step == BlockStep::Word)
        return true;
    NoteBlockFailure(step);
    return false;
}
