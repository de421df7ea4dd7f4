// The writing side of CDictionary: creating dictionary.$$$, packing codes into
// 5-byte groups through the output buffer, the trailer numbers, and putting
// the finished file in the place of dictionary.dat.
#include <cstring>

#include "dictionary/dictionary.h"
#include "platform/message_box.h"
#include "res/string_table.h"

BOOL CDictionary::OpenForWriting() { return OpenFile(FALSE); }

void CDictionary::ReportWriteFailure() {
    // One message per file: after a failure the import stops at the end of
    // the block, and the damaged file never replaces dictionary.dat.
    if (!m_bWriteFailed)
        AfxMessageBox(IDS_CANNOT_WRITE_DICT, MsgIcon::Stop);
    m_bWriteFailed = true;
}

void CDictionary::FlushBuffer() {
    if (m_nBufCount > 0 && !m_bWriteFailed) {
        try {
            Write(m_buffer, static_cast<unsigned>(m_nBufCount));
        } catch (const CFileException&) {
            ReportWriteFailure();
        }
    }
    m_nBufCount = 0;
}

int CDictionary::PutCodeAndPack(int nCode) {
    if (nCode >= 0) {
        m_codes[m_nCodes++] = static_cast<unsigned char>(nCode & 0x1F);
        if (m_nCodes == 8) {
            PackGroup(FALSE);
            return 5;
        }
        return 0;
    }
    // End of block: complete a partly filled group with zero codes and make
    // sure the whole block is in the file.
    if (m_nCodes > 0) {
        PackGroup(TRUE);
        return 5;
    }
    FlushBuffer();
    return 0;
}

void CDictionary::PackGroup(BOOL bForceWrite) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 5) | (m_codes[i] & 0x1F);
    unsigned char* out = m_buffer + m_nBufCount;
    for (int i = 0; i < 5; ++i)
        out[i] = static_cast<unsigned char>(v >> (32 - 8 * i));
    m_nBufCount += 5;
    if (m_nBufCount >= kBufferSize || bForceWrite)
        FlushBuffer();
    std::memset(m_codes, 0, sizeof m_codes);
    m_nCodes = 0;
}

void CDictionary::WriteByte(int nValue) {
    const unsigned char byte = static_cast<unsigned char>(nValue);
    if (m_bWriteFailed)
        return;
    try {
        Write(&byte, 1);
    } catch (const CFileException&) {
        ReportWriteFailure();
    }
}

void CDictionary::WriteInt24(int nValue) {
    const unsigned char bytes[3] = {static_cast<unsigned char>(nValue >> 16), static_cast<unsigned char>(nValue >> 8),
                                    static_cast<unsigned char>(nValue)};
    if (m_bWriteFailed)
        return;
    try {
        Write(bytes, 3);
    } catch (const CFileException&) {
        ReportWriteFailure();
    }
}

BOOL CDictionary::FinishWriting() {
    if (!m_bWriteFailed) {
        try {
            Flush();
            Close();
        } catch (const CFileException&) {
            ReportWriteFailure();
        }
    }
    Abort();
    return !m_bWriteFailed;
}

BOOL CDictionary::ReplaceDictionary() {
    // One atomic rename: dictionary.dat is always either the old or the new
    // complete file. The new file was flushed to disk by FinishWriting.
    if (m_bWriteFailed || !m_newFile.IsHeld())
        return FALSE;
    try {
        m_newFile.Replace(m_strDictPath);
    } catch (const CFileException&) {
        return FALSE;
    }
    return TRUE;
}
