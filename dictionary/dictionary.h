// CDictionary: the one object that opens, decodes, searches and writes the
// packed dictionary file. One object per use: a Find, an export, an import.
//
// File format (doc/dictionary_format.md): length blocks for L = 2..M of the
// packed word codes (dictionary/word_codec.h), then per length a 24-bit word
// count and 24-bit block start, then the longest length M as one byte.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "dictionary/block_decoder.h"
#include "dictionary/seek_index.h"
#include "dictionary/word_codec.h"
#include "platform/atomic_replacement.h"
#include "platform/cstring.h"
#include "platform/file.h"
#include "platform/status.h"
#include "search/search_state.h"

class CDictionary : public CFile {
public:
    static constexpr int kBufferSize = 5000;
    static constexpr int kLimitMatches = CSearchState::kLimitMatches;

    // Works on dictionary.dat and dictionary.$$$ in `dir` ("%s/%s": an empty
    // `dir` puts them at the root). Each caller names its folder; the
    // program's dictionary folder is GetWorkDir().
    explicit CDictionary(const CString& dir);
    ~CDictionary() override;

    // Reading side. Each says what went wrong, for the caller to show;
    // nothing is shown from here.
    Status OpenForReading();
    Status OpenFile(bool bForReading);
    Status LoadTrailer();
    Status SeekToLength(int nLength);
    // The next word of the block the last SeekToLength chose; false at its
    // end, and after a damaged block (see Failure()).
    bool NextWord(CString& word) {
        const BlockStep step = m_decoder.NextWord(word);
        if (step == BlockStep::Word) [[likely]]
            return true;
        if (step != BlockStep::End)
            NoteBlockFailure(step);
        return false;
    }
    int GetMaxLength() const { return m_nMaxLength; }
    int64_t GetTotalWords() const;
    int ReadByte();
    int ReadInt24();

    // Writing side.
    Status OpenForWriting();
    // Blocks are written in increasing length order: BeginBlock, the words
    // in ascending order (WriteWord), EndBlock; then the trailer.
    void BeginBlock(int nLength);
    // Encodes the next word of the block; a repeat of the word before is
    // left out (false).
    bool WriteWord(const char* word) {
        GroupSink sink{*this};
        if (!m_encoder.PutWord(word, m_nWriteLength, sink))
            return false;
        ++m_writtenCounts[static_cast<size_t>(m_nWriteLength)];
        return true;
    }
    // Completes the block and puts it in the file; returns its word count.
    int EndBlock();
    // True when the block of nLength letters, once written, fits the
    // format's 24-bit word count and block start.
    bool LengthFitsFormat(int nLength) const;
    // Writes the word count and block start of every length begun, then the
    // longest length.
    void WriteTrailer();
    // Flushes the new file to disk and closes it; the write failure, if any
    // write failed.
    Status FinishWriting();
    bool ReplaceDictionary();
    // True once any write to the new file has failed; WriteFailure() then
    // says so (message 59148), once per file.
    bool WriteFailed() const { return m_bWriteFailed; }
    Status WriteFailure() const;

    // Search side.
    bool ParseQuery(CString& strOut, const CString& strText, bool bAllowDigits, bool bClearFirst) const;
    // Reads the query and seeks to the block of its shortest length; a
    // refused query returns why (its message, with the message's text
    // filled in as the detail where it has blanks), shown by the caller.
    Status PrepareSearch(bool bAnagram, const CString& strPattern, const CString& strLetters, bool bLimit,
                         int& nResultCount);
    // The next match; a pattern with '*' goes on to the next length it allows
    // when a block ends (shortest words first).
    bool NextMatch(CString& word, bool bListAll);
    // The next match within the current length block only.
    bool NextMatchInBlock(CString& word, bool bListAll);
    // A pattern with '*': moves to the block of the next length it allows.
    // False when there is none, for a fixed length, and after a damaged block.
    bool NextLength();
    // The number of words in the current length block (as the file says).
    int GetBlockCount() const { return m_nBlockWords; }

    // A block of fewer words is walked whole: reading the index would cost
    // more than it saves. Tests lower it to reach the index with small
    // dictionaries.
    static constexpr int kSeekWorthWords = 2048;
    static void SetSeekWorthWordsForTesting(int nWords) { s_nSeekWorthWords = nWords; }
    // What a seek index of the open dictionary file is keyed to; false when
    // the file cannot be told apart from others.
    bool MakeSeekIndexKey(SeekIndexKey& key) const;

    const CString& GetTempPath() const { return m_strTempPath; }
    // True once decoding has met a damaged block or a failed read: what was
    // decoded is not the whole dictionary.
    bool DamageFound() const { return m_bDamageFound; }
    // What the last walk met: the damaged (113) or unreadable (110) block
    // that ended it early, or the next length of a '*' pattern that could
    // not be sought (112); Ok while nothing has gone wrong. A new seek or
    // search starts it afresh.
    const Status& Failure() const { return m_failure; }
    // Called with each block failure as the walk meets it, so that a caller
    // deep in a search can have it shown at that moment (the window and the
    // command line show it; a test may only keep it). Without one the
    // failure is only kept in Failure().
    void SetFailureReporter(std::function<void(const Status&)> report) { m_report = std::move(report); }
    // Called with a notice a search gives as it goes (a most-common-first
    // order that cannot be had), to be shown at that moment; without one the
    // notice goes unsaid.
    void SetNoticeReporter(std::function<void(const Status&)> notify) { m_notify = std::move(notify); }
    void Notify(const Status& notice) const {
        if (m_notify)
            m_notify(notice);
    }
    // Keeps a failure met while walking (a block, or a length that could
    // not be sought) as Failure() and passes it to the reporter.
    void ReportFailure(const Status& failure) {
        m_failure = failure;
        if (m_report)
            m_report(m_failure);
    }

    // The query being searched, for the callers that read it back.
    const CSearchState& GetSearchState() const { return m_search; }

private:
    // Hands the encoder's groups to the output buffer.
    struct GroupSink {
        CDictionary& dict;
        void TakeGroup(uint64_t value) { dict.TakeGroup(value); }
    };
    void TakeGroup(uint64_t value) {
        StoreGroup(value, m_buffer + m_nBufCount);
        m_nBufCount += kGroupBytes;
        m_nWriteOffset += kGroupBytes;
        if (m_nBufCount >= kBufferSize)
            FlushBuffer();
    }
    void WriteByte(int nValue);
    void WriteInt24(int nValue);
    bool RefillBuffer();
    // Leaves no block to decode: NextWord returns false until the next seek.
    void ForgetBlock();
    // Has the decoder walk block nLength from its start; false when the
    // file cannot be positioned there.
    bool StartBlock(int nLength);
    // Before a positional walk of a fresh block: where the index tells which
    // runs of words can fit the first two squares, the walk decodes only
    // those (m_ranges); otherwise the whole block.
    void NarrowToFittingRanges();
    // The seek index of the open dictionary file, built from its blocks.
    std::string MakeSeekIndex(const SeekIndexKey& key);
    // The index of the open file, opened or built at the first need; false
    // when there is none to be had.
    bool SeekIndexReady();
    // True when each range's first two letters are where the index says.
    bool RangesAgreeWithFile(const std::vector<WordRange>& ranges);
    // Has the decoder walk the next of m_ranges; false when none is left or
    // it could not be started (its failure then noted).
    bool StartNextRange();
    // Keeps (and reports) the failure of a block the decoder could not walk.
    void NoteBlockFailure(BlockStep step);
    void FlushBuffer();
    void NoteWriteFailure() { m_bWriteFailed = true; }
    // The next word of the block whose letters fit the squares, decoding
    // the others only up to their first letter that does not fit.
    bool NextFittingWord(CString& word);
    // Makes the search state for words of nLength letters and seeks to their
    // block; the match count goes on.
    Status SetUpLength(int nLength);

    std::unique_ptr<int[]> m_pnWordCount;
    std::unique_ptr<int[]> m_pnBlockStart;
    int m_nMaxLength = 0;
    CString m_strDictPath;
    CString m_strTempPath;
    // Reading: the block being walked.
    CBlockDecoder m_decoder;
    // Writing: the block being encoded, the bytes written so far, and each
    // length's word count and block start.
    CWordEncoder m_encoder;
    int m_nWriteLength = 0;
    int m_nWriteMax = 0;
    int64_t m_nWriteOffset = 0;
    std::vector<int64_t> m_writtenCounts;  // by length, once a block is begun
    std::vector<int64_t> m_blockStarts;
    // The trailer's bytes as they are read, and the output buffer.
    unsigned char m_buffer[kBufferSize] = {};
    int m_nBufCount = 0;
    int m_nBufPos = 0;
    bool m_bDamageFound = false;
    Status m_failure;
    std::function<void(const Status&)> m_report;
    std::function<void(const Status&)> m_notify;

    // Bounds of the data part of the file: the trailer starts here.
    int64_t m_nTrailerStart = 0;
    int64_t m_nReadPos = 0;  // file offset just past the bytes in m_buffer
    // Writing: set after a failed write; the new file, held so that other
    // instances leave it alone until it has replaced dictionary.dat.
    bool m_bWriteFailed = false;
    // The query being searched.
    CSearchState m_search;
    bool m_bBlockDamaged = false;  // a block ended early: no further length is read
    // The block chosen by the last seek: its bounds and word count, whether
    // a walk of it has begun, and the runs of it a positional walk decodes
    // (all of it when there are none), the next one to start.
    int m_nBlockLength = 0;
    int m_nBlockWords = 0;
    int64_t m_nBlockStart = 0;
    int64_t m_nBlockEnd = 0;
    bool m_bBlockFresh = false;
    std::vector<WordRange> m_ranges;
    size_t m_nNextRange = 0;
    enum class SeekIndexState { NotLooked, Ready, Unusable };
    SeekIndexState m_seekIndexState = SeekIndexState::NotLooked;
    CSeekIndex m_seekIndex;
    CString m_strIndexPath;
    static inline int s_nSeekWorthWords = kSeekWorthWords;
    CAtomicReplacement m_newFile;
};
