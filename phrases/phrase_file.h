// The phrase file: answers of more than one word (ICE CREAM, SELF-TAUGHT)
// and the abbreviation list (NASA, RSVP), kept apart from dictionary.dat,
// whose format stays as it is. Layout in doc/phrase_format.md.
//
// Entries are grouped by their number of letters, as a grid counts them;
// each group is one block that a Find reads whole (a few kilobytes to some
// tens of kilobytes) and walks without decoding: the letters are stored as
// plain capitals, so a pattern's known letters are compared in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/length_block_index.h"
#include "platform/cstring.h"
#include "platform/read_only_file.h"

inline constexpr const char* kPhraseFileName = "phrases.gwp";
inline constexpr const char* kAbbreviationFileName = "abbreviations.gwp";

// The SCOWL level of each rank an entry may carry; rank 15 is "no level".
inline constexpr int kPhraseLevels[] = {10, 20, 35, 40, 50, 55, 60, 70, 80, 95};
inline constexpr uint8_t kPhraseNoRank = 15;
// Letters of the longest entry the format holds (a break's position is 7 bits).
inline constexpr int kMaxPhraseLetters = 127;
// Breaks of one entry at most (a nibble): sixteen words.
inline constexpr int kMaxPhraseBreaks = 15;

// One entry as written: "ICE CREAM" is the letters ICECREAM with a space
// after 3 letters. `breaks` holds, in ascending order, the number of letters
// before each break, with 0x80 added for a hyphen.
struct PhraseEntry {
    std::string letters;
    std::vector<uint8_t> breaks;
    uint8_t rank = kPhraseNoRank;

    // The entry as shown: words separated by a space or a hyphen.
    std::string Text() const;
    bool operator==(const PhraseEntry&) const = default;
};

// Reads an entry from text: words of letters A-Z (any case) separated by one
// space, underscore or hyphen each. False (entry unspecified) for anything
// else, for fewer than `minWords` words, or an entry too long for the format.
bool ParsePhraseText(std::string_view text, PhraseEntry& entry, int minWords = 2);

// The rank of a SCOWL level: the first of kPhraseLevels at or above it.
uint8_t RankOfLevel(int level);

// Builds the file's bytes. Entries are sorted, an entry listed twice is kept
// once (with its lowest rank). Throws std::invalid_argument for an entry the
// format cannot hold (no letters, a letter outside A-Z, more than
// kMaxPhraseLetters letters or kMaxPhraseBreaks breaks, breaks out of order).
std::string BuildPhraseFile(std::vector<PhraseEntry> entries);

// A view of one stored entry while a block is walked.
struct PhraseRecord {
    const char* letters;   // `length` capitals
    const uint8_t* breaks; // nBreaks break bytes, as PhraseEntry::breaks
    int nBreaks;
    uint8_t rank;
};

class CPhraseFile {
public:
    // Opens the file at `path` and checks its header. False when it is
    // missing, unreadable or damaged; Error() then says why.
    bool Open(const CString& path);
    // The same, from the file's bytes in memory.
    bool OpenBytes(std::string bytes);

    int MaxLength() const { return m_nMaxLength; }
    size_t EntryCount(int length) const;

    // Reads the block of entries with `length` letters and calls `visit` for
    // each, in stored order. False when the block is unreadable or damaged
    // (Error() says how); the entries visited before that stay valid. A
    // length the file holds no entries of visits none and returns true.
    bool Walk(int length, const std::function<void(const PhraseRecord&)>& visit);

    const std::string& Error() const { return m_strError; }

private:
    bool Fail(std::string why);
    bool ParseHeader(const unsigned char* data, size_t size, uint64_t fileSize);

    CReadOnlyFile m_file;
    bool m_bInMemory = false;
    std::string m_bytes;
    int m_nMaxLength = 0;
    std::vector<LengthBlock> m_blocks;  // index L - 2
    std::string m_strError;
};
