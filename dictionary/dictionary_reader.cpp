// Construction, destruction and the reading side of CDictionary: opening
// dictionary.dat, loading the trailer and decoding one length block.
#include <cstring>
#include <new>

#include "dictionary/dictionary.h"
#include "platform/file_faults.h"
#include "platform/message_box.h"
#include "res/string_table.h"

CDictionary::CDictionary(const CString& dir) {
    m_strDictPath = FormatString("%s/%s", dir.c_str(), "dictionary.dat");
    m_strTempPath = FormatString("%s/%s", dir.c_str(), "dictionary.$$$");
}

CDictionary::~CDictionary() {
    Abort();
    // Our own new file that never replaced dictionary.dat goes; so does a
    // leftover of an earlier run, unless a running import still holds it.
    if (m_newFile.IsHeld())
        m_newFile.Discard();
    else
        CAtomicReplacement::RemoveAbandoned(m_strTempPath);
}

BOOL CDictionary::OpenForReading() { return OpenFile(TRUE) && LoadTrailer(); }

BOOL CDictionary::OpenFile(BOOL bForReading) {
    if (!bForReading) {
        if (!m_newFile.Create(*this, m_strTempPath)) {
            AfxMessageBox(IDS_CANNOT_OPEN_EXCLUSIVE, MsgIcon::Stop);
            return FALSE;
        }
        return TRUE;
    }

    if (!Open(m_strDictPath, modeRead | shareDenyNone | typeBinary) || !OpenedRegularFile()) {
        Abort();
        AfxMessageBox(IDS_CANNOT_OPEN_DICT, MsgIcon::Stop);
        return FALSE;
    }
    int64_t lastByte = 0;
    try {
        lastByte = Seek(-1, end);
    } catch (const CFileException&) {
        AfxMessageBox(IDS_NO_LONGEST_LENGTH, MsgIcon::Stop);
        Abort();
        return FALSE;
    }
    m_nReadPos = lastByte;
    m_nBufCount = 0;
    m_nBufPos = 0;
    m_nTrailerStart = lastByte;
    const int nLongest = ReadByte();
    m_nMaxLength = nLongest < 0 ? 0 : nLongest;
    return TRUE;
}

BOOL CDictionary::LoadTrailer() {
    const int nMax = m_nMaxLength;
    m_pnWordCount.reset(new (std::nothrow) int[nMax + 1]());
    m_pnBlockStart.reset(new (std::nothrow) int[nMax + 1]());
    if (!m_pnWordCount || !m_pnBlockStart || ShouldFailFileOp(FileOp::Allocate, "length tables")) {
        AfxMessageBox(IDS_OUT_OF_MEMORY, MsgIcon::Stop);
        return FALSE;
    }
    if (nMax < 2)
        return TRUE;  // no lengths, no entries to read

    const int64_t trailerSize = 6LL * nMax - 5;
    try {
        m_nTrailerStart = Seek(-trailerSize, end);
    } catch (const CFileException&) {
        AfxMessageBox(IDS_CANNOT_READ_LENGTHS, MsgIcon::Stop);
        return FALSE;
    }
    m_nReadPos = m_nTrailerStart;
    m_nBufCount = 0;
    m_nBufPos = 0;
    for (int nLength = 2; nLength <= nMax; ++nLength) {
        const int nCount = ReadInt24();
        const int nStart = ReadInt24();
        if (nCount < 0 || nStart < 0)
            return FALSE;  // the read failed and has been reported
        m_pnWordCount[nLength] = nCount;
        m_pnBlockStart[nLength] = nStart;
    }
    return TRUE;
}

int64_t CDictionary::GetTotalWords() const {
    int64_t total = 0;
    for (int nLength = 1; nLength <= m_nMaxLength && m_pnWordCount; ++nLength)
        total += m_pnWordCount[nLength];
    return total;
}

bool CDictionary::RefillBuffer() {
    try {
        m_nBufCount = static_cast<int>(Read(m_buffer, kBufferSize));
    } catch (const CFileException&) {
        m_nBufCount = 0;
    }
    m_nBufPos = 0;
    m_nReadPos += m_nBufCount;
    return m_nBufCount > 0;
}

// Reads one byte through the buffer; -1 (after message 110) when none is left.
int CDictionary::ReadByte() {
    if (m_nBufCount < 1 && !RefillBuffer()) {
        AfxMessageBox(IDS_CANNOT_READ_DICT, MsgIcon::Stop);
        return -1;
    }
    --m_nBufCount;
    return m_buffer[m_nBufPos++];
}

int CDictionary::ReadInt24() {
    int value = 0;
    for (int i = 0; i < 3; ++i) {
        const int byte = ReadByte();
        if (byte < 0)
            return -1;
        value = value * 256 + byte;
    }
    return value;
}

void CDictionary::ForgetBlock() {
    m_nBufCount = 0;
    m_nBufPos = 0;
    m_nBlockCount = 0;
    m_nBlockEnd = 0;
    m_nWordsRead = 0;
    m_nCodes = 0;
    m_nUnsettledPrefixes = 0;
}

BOOL CDictionary::SeekToLength(int nLength) {
    ForgetBlock();
    if (nLength >= 2 && nLength <= m_nMaxLength && m_pnBlockStart) {
        const int64_t start = m_pnBlockStart[nLength];
        try {
            m_nReadPos = Seek(start, begin);
        } catch (const CFileException&) {
            AfxMessageBox(IDS_CANNOT_FIND_LENGTH, MsgIcon::Stop);
            return FALSE;
        }
        m_nBlockCount = m_pnWordCount[nLength];
        const int64_t next = nLength < m_nMaxLength ? m_pnBlockStart[nLength + 1] : m_nTrailerStart;
        m_nBlockEnd = next < m_nTrailerStart ? next : m_nTrailerStart;
    }
    m_nGroup = 0;
    m_nCodes = 0;
    m_nWordsRead = 0;
    m_nMatches = 0;
    m_nPrevLength = 0;
    return TRUE;
}

namespace {

// A code group's 5 bytes as one 40-bit big-endian number.
inline int64_t GroupValue(const unsigned char* b) {
    return (int64_t{b[0]} << 32) | (int64_t{b[1]} << 24) | (int64_t{b[2]} << 16) | (int64_t{b[3]} << 8) |
           int64_t{b[4]};
}

}  // namespace

int64_t CDictionary::UnpackGroup() {
    // The group must lie inside the block: a count that needs more codes than
    // the block holds means the file is damaged.
    const int64_t groupStart = m_nReadPos - m_nBufCount;
    if (groupStart + 5 > m_nBlockEnd) {
        m_bDamageFound = true;
        AfxMessageBox(IDS_INVALID_CHARACTER, MsgIcon::Stop);
        return -1;
    }
    if (m_nBufCount < 5 && (!RefillBuffer() || m_nBufCount < 5)) {
        m_bDamageFound = true;
        AfxMessageBox(IDS_CANNOT_READ_DICT, MsgIcon::Stop);
        return -1;
    }
    const unsigned char* b = m_buffer + m_nBufPos;
    m_nBufPos += 5;
    m_nBufCount -= 5;
    return GroupValue(b);
}

BOOL CDictionary::NextWord(CString& word) {
    const int nLength = static_cast<int>(m_strPattern.size());
    if (m_nWordsRead >= m_nBlockCount || nLength > kMaxWordLength)
        return FALSE;

    // The letters go straight into the word and into the copy of it that the
    // next word's prefix code reads; the decoder's state stays in locals.
    word.resize(static_cast<size_t>(nLength));
    char* const out = word.data();
    char* const prev = m_prevLetters;
    uint64_t group = m_nGroup;
    int nCodes = m_nCodes;
    int nHave = 0;
    bool damaged = false;
    while (nHave < nLength) {
        if (nCodes == 0) {
            // The common case, a whole group of the block in the buffer, is
            // taken here; UnpackGroup refills and checks the rest.
            int64_t next;
            if (m_nBufCount >= 5 && m_nReadPos - m_nBufCount + 5 <= m_nBlockEnd) {
                next = GroupValue(m_buffer + m_nBufPos);
                m_nBufPos += 5;
                m_nBufCount -= 5;
            } else {
                next = UnpackGroup();
            }
            if (next < 0) {
                m_nWordsRead = m_nBlockCount;  // the rest of the block is unusable
                m_nCodes = 0;
                return FALSE;
            }
            group = static_cast<uint64_t>(next);
            nCodes = 8;
        }
        const int code = static_cast<int>(group >> 35) & 0x1F;
        group <<= 5;
        --nCodes;
        if (code < 26) {
            const char letter = static_cast<char>('A' + code);
            out[nHave] = letter;
            prev[nHave] = letter;
            ++nHave;
            continue;
        }
        // A prefix code may only start a word, and may only repeat letters
        // that the previous word has, leaving at least one letter to spell.
        const int nPrefix = code - 24;
        if (nHave != 0 || nPrefix >= nLength || nPrefix > m_nPrevLength) {
            damaged = true;
            break;
        }
        std::memcpy(out, prev, static_cast<size_t>(nPrefix));
        nHave = nPrefix;
    }
    m_nGroup = group;
    m_nCodes = nCodes;
    if (damaged) {
        m_bDamageFound = true;
        AfxMessageBox(IDS_INVALID_CHARACTER, MsgIcon::Stop);
        m_nWordsRead = m_nBlockCount;
        return FALSE;
    }
    m_nPrevLength = nLength;
    ++m_nWordsRead;
    return TRUE;
}
