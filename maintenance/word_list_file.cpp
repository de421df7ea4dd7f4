#include "maintenance/word_list_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <string>

#include "dictionary/dictionary.h"
#include "platform/file_faults.h"
#include "platform/large_pages.h"
#include "res/string_table.h"

namespace {

// The n ASCII letters at `letters` upper-cased into out[0..n) (a-z to A-Z,
// A-Z staying as they are), writing no byte outside it: eight at a time,
// the last eight (or four, or two) overlapping the ones before, so that no
// length takes a loop of single bytes.
inline void CopyUpperCase(char* out, const unsigned char* letters, size_t n) {
    const auto copy = [&](size_t at, auto chunk) {
        using Chunk = decltype(chunk);
        constexpr Chunk kCaseBits = static_cast<Chunk>(0x2020202020202020u);
        Chunk x;
        std::memcpy(&x, letters + at, sizeof x);
        x = static_cast<Chunk>(x & ~kCaseBits);
        std::memcpy(out + at, &x, sizeof x);
    };
    if (n >= 8) {
        for (size_t i = 0; i + 8 < n; i += 8)
            copy(i, uint64_t{});
        copy(n - 8, uint64_t{});
    } else if (n >= 4) {
        copy(0, uint32_t{});
        copy(n - 4, uint32_t{});
    } else if (n >= 2) {
        copy(0, uint16_t{});
        copy(n - 2, uint16_t{});
    } else if (n == 1) {
        out[0] = static_cast<char>(letters[0] & ~0x20);
    }
}

}  // namespace

CWordListFile::CWordListFile() = default;

CWordListFile::~CWordListFile() { Abort(); }

void CWordListFile::SetFoldAccents(bool bFold) {
    m_pRaw.reset(bFold ? new unsigned char[kBufferSize] : nullptr);
}

bool CWordListFile::RefillFolded() {
    m_nBufPos = 0;
    m_nNextWord = 0;
    size_t nOut = 0;
    // A read may give nothing but a sequence cut at its end: read on.
    while (nOut == 0) {
        size_t nRead = 0;
        try {
            nRead = Read(m_pRaw.get() + m_nRawKept, kBufferSize - m_nRawKept);
        } catch (const CFileException& e) {
            NoteReadFailure(e);
            m_nRawKept = 0;
        }
        const size_t nRaw = m_nRawKept + nRead;
        if (nRaw == 0) {
            m_nBufCount = 0;
            m_bEndOfInput = true;
            m_lines.Clear();
            return false;
        }
        // The byte-order mark is read as a line break, as without folding.
        if (m_bAtStart && nRaw >= 3 && m_pRaw[0] == 0xEF && m_pRaw[1] == 0xBB && m_pRaw[2] == 0xBF)
            std::memset(m_pRaw.get(), '\n', 3);
        m_bAtStart = false;
        const size_t nTaken = FoldWordListText(m_pRaw.get(), nRaw, nRead == 0, m_buffer, nOut, m_fold);
        m_nRawKept = nRaw - nTaken;
        std::memmove(m_pRaw.get(), m_pRaw.get() + nTaken, m_nRawKept);
    }
    m_nBufCount = static_cast<int>(nOut);
    m_lines.Find(m_buffer, m_nBufCount);
    return true;
}

bool CWordListFile::Refill() {
    if (m_pRaw)
        return RefillFolded();
    m_nBufPos = 0;
    m_nNextWord = 0;
    try {
        m_nBufCount = static_cast<int>(Read(m_buffer, kBufferSize));
    } catch (const CFileException& e) {
        NoteReadFailure(e);
        m_nBufCount = 0;
    }
    if (m_nBufCount == 0) {
        m_bEndOfInput = true;
        m_lines.Clear();
        return false;
    }
    // A UTF-8 byte-order mark at the start of the file is no part of the
    // first line: read as a line break, it is skipped (and counted) like one.
    if (m_bAtStart && m_nBufCount >= 3 && m_buffer[0] == 0xEF && m_buffer[1] == 0xBB && m_buffer[2] == 0xBF)
        std::memset(m_buffer, '\n', 3);
    m_bAtStart = false;
    m_lines.Find(m_buffer, m_nBufCount);
    return true;
}

Status CWordListFile::OpenList(const CString& path) {
    CFileException error(CFileException::none, 0, path);
    if (!Open(path, CFile::modeRead | CFile::shareDenyNone, &error))
        return Status::Message(IDS_CANNOT_OPEN_TEXT, MsgIcon::Exclamation, std::strerror(error.m_lOsError));
    if (!OpenedRegularFile()) {
        Abort();
        return Status::Message(IDS_CANNOT_OPEN_TEXT, MsgIcon::Exclamation, "Not a regular file");
    }
    return Status::Ok();
}

void CWordListFile::NoteReadFailure(const CFileException& e) {
    if (m_readError.Succeeded())
        m_readError = Status::Message(IDS_CANNOT_READ_DICT, MsgIcon::Stop, std::strerror(e.m_lOsError));
}

Status CWordListFile::MeasureAndRewind(int64_t& nLength) {
    m_bEndOfInput = false;
    try {
        nLength = Seek(0, end);
        Seek(0, begin);
    } catch (const CFileException& e) {
        return Status::Message(IDS_CANNOT_SEEK_TEXT, MsgIcon::Stop, std::strerror(e.m_lOsError));
    }
    m_nBufCount = 0;
    m_nBufPos = 0;
    m_lines.Clear();
    m_nNextWord = 0;
    m_bAtStart = true;
    m_nRawKept = 0;
    m_fold = LetterFoldState();
    return Status::Ok();
}

bool CWordListFile::NextWord(const unsigned char*& letters, size_t& nLetters, int64_t& nByteCounter) {
    // The bytes are taken from the buffer a run at a time and counted as they
    // are taken; the one call that meets the end of the input counts too.
    for (;;) {
        // The words that lie whole in the buffer, as found when it was filled.
        // One that starts behind the read position is the end of a line begun
        // in the buffer before, taken already.
        while (m_nNextWord < m_lines.WordCount()) {
            const auto word = m_lines.Word(m_nNextWord++);
            if (word.start < m_nBufPos)
                continue;
            Consume(word.start + word.length + 1 - m_nBufPos, nByteCounter);
            letters = m_buffer + word.start;
            nLetters = static_cast<size_t>(word.length);
            return true;
        }
        if (m_nBufCount == 0) {
            if (m_bEndOfInput)
                return false;
            if (!Refill()) {
                ++nByteCounter;
                return false;
            }
            continue;
        }

        // What is left of the buffer is lines that are not words, then the
        // start of a line that the buffer's end cuts (or nothing): that line
        // is gathered in m_line from this buffer and the ones after it, up to
        // its CR or LF, which is taken with it, or to the end of the input.
        Consume(m_lines.LastStart() - m_nBufPos, nByteCounter);
        if (m_nBufCount == 0)
            continue;
        size_t nLength = 0;
        bool allLetters = m_lines.LastAllLetters();
        GatherLine(m_nBufCount, nLength);
        Consume(m_nBufCount, nByteCounter);
        for (;;) {
            if (!Refill()) {
                ++nByteCounter;
                break;
            }
            const int nRun = m_lines.FirstBreak();
            const bool lineEnds = nRun != m_nBufCount;
            allLetters = allLetters && m_lines.FirstAllLetters();
            GatherLine(nRun, nLength);
            Consume(nRun + (lineEnds ? 1 : 0), nByteCounter);
            if (lineEnds)
                break;
        }
        if (!allLetters || nLength < kMinWordLength || nLength > kMaxWordLength)
            continue;
        letters = m_line;
        nLetters = nLength;
        return true;
    }
}

void CWordListFile::GatherLine(int nRun, size_t& nLength) {
    // Past the longest word only the length matters: the line is no word.
    const size_t room = sizeof m_line - std::min(nLength, sizeof m_line);
    std::memcpy(m_line + (sizeof m_line - room), m_buffer + m_nBufPos, std::min(static_cast<size_t>(nRun), room));
    nLength += static_cast<size_t>(nRun);
}

bool CWordListFile::ReadWordLength(int& nLength, int64_t& nByteCounter) {
    const unsigned char* letters = nullptr;
    size_t nLetters = 0;
    if (!NextWord(letters, nLetters, nByteCounter))
        return false;
    nLength = static_cast<int>(nLetters);
    return true;
}

bool CWordListFile::ReadAndStoreWord(int64_t& nByteCounter) {
    const unsigned char* letters = nullptr;
    size_t nLength = 0;
    if (!NextWord(letters, nLength, nByteCounter))
        return false;
    StoreLetters(letters, nLength);
    return true;
}

Status CWordListFile::AllocateLengthTables(int nLongest) {
    m_nMaxLength = nLongest;
    const size_t entries = static_cast<size_t>(nLongest) + 1;
    m_pnLengthTable.reset(new (std::nothrow) int64_t[entries]());
    m_pnLengthLimit.reset(new (std::nothrow) int64_t[entries]());
    if (!m_pnLengthTable || !m_pnLengthLimit || ShouldFailFileOp(FileOp::Allocate, "length tables"))
        return Status::Message(IDS_OUT_OF_MEMORY, MsgIcon::Stop);
    return Status::Ok();
}

void CWordListFile::CountLength(int nLength) {
    if (nLength > m_nMaxLength) {
        m_bInputChanged = true;
        return;
    }
    ++m_pnLengthTable[nLength];
    ++m_nWordCount;
}

Status CWordListFile::AllocateWordStore() {
    size_t arenaBytes = 0;
    for (int n = 2; n <= m_nMaxLength; ++n)
        arenaBytes += static_cast<size_t>(m_pnLengthTable[n]) * static_cast<size_t>(n + 1);
    m_pArena.reset(new (std::nothrow) char[arenaBytes ? arenaBytes : 1]);
    m_ppWords.reset(new (std::nothrow) char*[m_nWordCount ? static_cast<size_t>(m_nWordCount) : 1]);
    if (!m_pArena || !m_ppWords || ShouldFailFileOp(FileOp::Allocate, "word store")) {
        m_pArena.reset();
        m_ppWords.reset();
        return Status::Message(IDS_NO_MEMORY_FOR_IMPORT, MsgIcon::Exclamation);
    }
    // The word store is filled once, front to back, right after this: large
    // pages save the kernel most of its page faults (a fifth of a large
    // import's time).
    PreferLargePages(m_pArena.get(), arenaBytes);
    PreferLargePages(m_ppWords.get(), static_cast<size_t>(m_nWordCount) * sizeof(char*));
    char* slot = m_pArena.get();
    int64_t index = 0;
    for (int n = 2; n <= m_nMaxLength; ++n) {
        const int64_t count = m_pnLengthTable[n];
        for (int64_t k = 0; k < count; ++k, slot += n + 1)
            m_ppWords[index++] = slot;
    }
    int64_t total = 0;
    for (int n = 2; n <= m_nMaxLength; ++n) {
        const int64_t count = m_pnLengthTable[n];
        m_pnLengthTable[n] = total;
        total += count;
        m_pnLengthLimit[n] = total;
    }
    return Status::Ok();
}

void CWordListFile::StoreLetters(const unsigned char* letters, size_t nLetters) {
    const int nLength = static_cast<int>(nLetters);
    if (nLength < 2 || nLength > m_nMaxLength || m_pnLengthTable[nLength] >= m_pnLengthLimit[nLength]) {
        m_bInputChanged = true;
        return;
    }
    const int64_t position = m_pnLengthTable[nLength]++;
    char* slot = m_ppWords[position];
    CopyUpperCase(slot, letters, nLetters);
    slot[nLetters] = '\0';
}

bool CWordListFile::InputChanged() const {
    if (m_bInputChanged)
        return true;
    for (int n = 2; n <= m_nMaxLength; ++n)
        if (m_pnLengthTable[n] != m_pnLengthLimit[n])
            return true;
    return false;
}

int64_t CWordListFile::SortLength(int nLength) {
    char** first = m_ppWords.get() + m_pnLengthTable[nLength - 1];
    char** last = m_ppWords.get() + m_pnLengthTable[nLength];
    // All words of a sort have the same length and hold only A-Z, so a plain
    // byte comparison gives alphabetical order, A first, which is the same as
    // comparing them without regard to case.
    const size_t n = static_cast<size_t>(nLength);
    const size_t count = static_cast<size_t>(last - first);

    // Comparing through memcmp costs a call per comparison. Sort each word's
    // first eight letters as one big-endian number instead (zero-padded, the
    // same for every word of this length), with the word beside it: most
    // comparisons are one integer comparison, and only words whose first
    // eight letters agree compare the rest. Word lists usually come nearly
    // sorted already, which a merge sort handles several times faster than
    // std::sort. Without memory for the pairs the words are sorted directly,
    // in the same order.
    struct KeyedWord {
        uint64_t key;
        char* word;
    };
    std::unique_ptr<KeyedWord[]> keyed(count > 1 ? new (std::nothrow) KeyedWord[count] : nullptr);
    if (!keyed || ShouldFailFileOp(FileOp::Allocate, "sort keys")) {
        std::sort(first, last, [n](const char* a, const char* b) { return std::memcmp(a, b, n) < 0; });
        return last - first;
    }
    const size_t nKey = n < 8 ? n : 8;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* letters = reinterpret_cast<const unsigned char*>(first[i]);
        uint64_t key = 0;
        for (size_t k = 0; k < nKey; ++k)
            key = (key << 8) | letters[k];
        keyed[i] = {key << (8 * (8 - nKey)), first[i]};
    }
    std::stable_sort(keyed.get(), keyed.get() + count, [n](const KeyedWord& a, const KeyedWord& b) {
        if (a.key != b.key)
            return a.key < b.key;
        return n > 8 && std::memcmp(a.word + 8, b.word + 8, n - 8) < 0;
    });
    for (size_t i = 0; i < count; ++i)
        first[i] = keyed[i].word;
    return last - first;
}

int CWordListFile::WriteLengthBlock(int nLength, CDictionary* pDict) {
    pDict->BeginBlock(nLength);
    for (char* const* it = WordsBegin(nLength); it != WordsEnd(nLength); ++it)
        pDict->WriteWord(*it);
    return pDict->EndBlock();
}
