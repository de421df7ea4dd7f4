// Construction, destruction and the reading side of CDictionary: opening
// dictionary.dat, loading the trailer and seeking to one length block, which
// the block decoder walks.
#include <new>

#include "dictionary/dictionary.h"
#include "platform/file_faults.h"
#include "res/string_table.h"

CDictionary::CDictionary(const CString& dir) {
    m_strDictPath = FormatString("%s/%s", dir.c_str(), "dictionary.dat");
    m_strTempPath = FormatString("%s/%s", dir.c_str(), "dictionary.$$$");
    m_strIndexPath = FormatString("%s/%s", dir.c_str(), kSeekIndexName);
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

Status CDictionary::OpenForReading() {
    if (Status opened = OpenFile(true); !opened)
        return opened;
    return LoadTrailer();
}

Status CDictionary::OpenFile(bool bForReading) {
    if (!bForReading) {
        if (!m_newFile.Create(*this, m_strTempPath))
            return Status::Message(IDS_CANNOT_OPEN_EXCLUSIVE, MsgIcon::Stop);
        return Status::Ok();
    }

    if (!Open(m_strDictPath, modeRead | shareDenyNone | typeBinary) || !OpenedRegularFile()) {
        Abort();
        return Status::Message(IDS_CANNOT_OPEN_DICT, MsgIcon::Stop);
    }
    int64_t lastByte = 0;
    try {
        lastByte = Seek(-1, end);
    } catch (const CFileException&) {
        Abort();
        return Status::Message(IDS_NO_LONGEST_LENGTH, MsgIcon::Stop);
    }
    m_nReadPos = lastByte;
    m_nBufCount = 0;
    m_nBufPos = 0;
    m_nTrailerStart = lastByte;
    // A longest length that cannot be read leaves a dictionary that would
    // look empty: the read failure is the outcome.
    const int nLongest = ReadByte();
    if (nLongest < 0)
        return m_failure;
    m_nMaxLength = nLongest;
    return Status::Ok();
}

Status CDictionary::LoadTrailer() {
    const int nMax = m_nMaxLength;
    m_pnWordCount.reset(new (std::nothrow) int[nMax + 1]());
    m_pnBlockStart.reset(new (std::nothrow) int[nMax + 1]());
    if (!m_pnWordCount || !m_pnBlockStart || ShouldFailFileOp(FileOp::Allocate, "length tables"))
        return Status::Message(IDS_OUT_OF_MEMORY, MsgIcon::Stop);
    if (nMax < 2)
        return Status::Ok();  // no lengths, no entries to read

    const int64_t trailerSize = 6LL * nMax - 5;
    try {
        m_nTrailerStart = Seek(-trailerSize, end);
    } catch (const CFileException&) {
        return Status::Message(IDS_CANNOT_READ_LENGTHS, MsgIcon::Stop);
    }
    m_nReadPos = m_nTrailerStart;
    m_nBufCount = 0;
    m_nBufPos = 0;
    for (int nLength = 2; nLength <= nMax; ++nLength) {
        const int nCount = ReadInt24();
        const int nStart = ReadInt24();
        if (nCount < 0 || nStart < 0)
            return m_failure;  // the read failed
        m_pnWordCount[nLength] = nCount;
        m_pnBlockStart[nLength] = nStart;
    }
    return Status::Ok();
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

// Reads one byte through the buffer; -1 when none is left, with message
// 110 kept in Failure().
int CDictionary::ReadByte() {
    if (m_nBufCount < 1 && !RefillBuffer()) {
        m_failure = Status::Message(IDS_CANNOT_READ_DICT, MsgIcon::Stop);
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
    m_decoder.Forget();
    m_ranges.clear();
    m_nNextRange = 0;
    m_bBlockFresh = false;
    m_nBlockWords = 0;
}

bool CDictionary::StartBlock(int nLength) {
    int64_t start = m_pnBlockStart[nLength];
    try {
        start = Seek(start, begin);
    } catch (const CFileException&) {
        return false;
    }
    const int64_t next = nLength < m_nMaxLength ? m_pnBlockStart[nLength + 1] : m_nTrailerStart;
    m_nBlockLength = nLength;
    m_nBlockWords = m_pnWordCount[nLength];
    m_nBlockStart = start;
    m_nBlockEnd = next < m_nTrailerStart ? next : m_nTrailerStart;
    m_decoder.Start(*this, start, m_nBlockEnd, m_nBlockWords, nLength);
    return true;
}

Status CDictionary::SeekToLength(int nLength) {
    ForgetBlock();
    m_failure = Status::Ok();
    if (nLength >= 2 && nLength <= m_nMaxLength && m_pnBlockStart) {
        if (!StartBlock(nLength))
            return Status::Message(IDS_CANNOT_FIND_LENGTH, MsgIcon::Stop);
        m_bBlockFresh = true;
    }
    m_search.ResetMatches();
    return Status::Ok();
}

void CDictionary::NoteBlockFailure(BlockStep step) {
    m_bDamageFound = true;
    // A block that ended before its count: an open-length search reads no
    // further block.
    m_bBlockDamaged = true;
    ReportFailure(Status::Message(step == BlockStep::Unreadable ? IDS_CANNOT_READ_DICT : IDS_INVALID_CHARACTER,
                                  MsgIcon::Stop));
}
