// The writing side of CDictionary: creating dictionary.$$$, encoding each
// length block's words through the output buffer, the trailer, and putting
// the finished file in the place of dictionary.dat.
#include "dictionary/dictionary.h"
#include "res/string_table.h"

Status CDictionary::OpenForWriting() { return OpenFile(false); }

// One failure per file: after a failure the import stops at the end of the
// block, and the damaged file never replaces dictionary.dat.
Status CDictionary::WriteFailure() const {
    return m_bWriteFailed ? Status::Message(IDS_CANNOT_WRITE_DICT, MsgIcon::Stop) : Status::Ok();
}

void CDictionary::FlushBuffer() {
    if (m_nBufCount > 0 && !m_bWriteFailed) {
        try {
            Write(m_buffer, static_cast<unsigned>(m_nBufCount));
        } catch (const CFileException&) {
            NoteWriteFailure();
        }
    }
    m_nBufCount = 0;
}

void CDictionary::BeginBlock(int nLength) {
    if (m_writtenCounts.empty()) {
        m_writtenCounts.resize(kMaxWordLength + 1);
        m_blockStarts.resize(kMaxWordLength + 1);
    }
    // A length passed over has an empty block, which starts where the next
    // one does.
    for (int n = m_nWriteMax + 1; n <= nLength; ++n) {
        m_blockStarts[static_cast<size_t>(n)] = m_nWriteOffset;
        m_writtenCounts[static_cast<size_t>(n)] = 0;
    }
    if (nLength > m_nWriteMax)
        m_nWriteMax = nLength;
    m_nWriteLength = nLength;
    m_encoder.StartBlock();
}

int CDictionary::EndBlock() {
    // A partly filled last group is completed with codes 0; either way the
    // whole block is in the file before the next block or the trailer.
    GroupSink sink{*this};
    m_encoder.FinishBlock(sink);
    FlushBuffer();
    return static_cast<int>(m_writtenCounts[static_cast<size_t>(m_nWriteLength)]);
}

bool CDictionary::LengthFitsFormat(int nLength) const {
    if (nLength < 0 || static_cast<size_t>(nLength) >= m_writtenCounts.size())
        return true;  // nothing written
    return m_writtenCounts[static_cast<size_t>(nLength)] <= kMaxInt24 &&
           m_blockStarts[static_cast<size_t>(nLength)] <= kMaxInt24;
}

void CDictionary::WriteTrailer() {
    for (int n = 2; n <= m_nWriteMax; ++n) {
        WriteInt24(static_cast<int>(m_writtenCounts[static_cast<size_t>(n)]));
        WriteInt24(static_cast<int>(m_blockStarts[static_cast<size_t>(n)]));
    }
    WriteByte(m_nWriteMax);
}

void CDictionary::WriteByte(int nValue) {
    const unsigned char byte = static_cast<unsigned char>(nValue);
    if (m_bWriteFailed)
        return;
    try {
        Write(&byte, 1);
    } catch (const CFileException&) {
        NoteWriteFailure();
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
        NoteWriteFailure();
    }
}

Status CDictionary::FinishWriting() {
    if (!m_bWriteFailed) {
        try {
            Flush();
            Close();
        } catch (const CFileException&) {
            NoteWriteFailure();
        }
    }
    Abort();
    return WriteFailure();
}

bool CDictionary::ReplaceDictionary() {
    // One atomic rename: dictionary.dat is always either the old or the new
    // complete file. The new file was flushed to disk by FinishWriting.
    if (m_bWriteFailed || !m_newFile.IsHeld())
        return false;
    try {
        m_newFile.Replace(m_strDictPath);
    } catch (const CFileException&) {
        return false;
    }
    return true;
}
