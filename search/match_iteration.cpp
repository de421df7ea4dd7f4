// Walking the words of the prepared length block and returning the matches.
#include "dictionary/dictionary.h"

bool CDictionary::NextMatch(CString& word, bool bListAll) {
    for (;;) {
        if (NextMatchInBlock(word, bListAll))
            return true;
        if (m_search.LimitReached())
            return false;
        // A pattern with '*' goes on with the next length it allows.
        if (!NextLength())
            return false;
    }
}

bool CDictionary::NextMatchInBlock(CString& word, bool bListAll) {
    if (m_search.LimitReached())
        return false;
    // No letters to look for: the pattern is only '?' and digit runs (the
    // letters always include the pattern's own), so every word of the block
    // matches, as in list-all mode.
    const bool bEveryWord = bListAll || m_search.MatchesEveryWord();
    // A matching-word search with a square to test decodes each word only as
    // far as it fits, and of a fresh block only the runs of words whose
    // first letters can fit.
    const bool bPositional = !bEveryWord && m_search.TestsSquares();
    if (m_bBlockFresh) {
        m_bBlockFresh = false;
        if (bPositional)
            NarrowToFittingRanges();
    }
    if (bPositional) {
        for (;;) {
            if (!NextFittingWord(word))
                return false;
            if (m_search.LettersPlaced() || m_search.MatchesLetters(word)) {
                m_search.CountMatch();
                return true;
            }
        }
    }
    for (;;) {
        // A block that ended before its count has kept its damage (and an
        // open-length search reads no further block).
        if (!NextWord(word))
            return false;
        if (bEveryWord || m_search.MatchesWord(word)) {
            m_search.CountMatch();
            return true;
        }
    }
}

bool CDictionary::NextFittingWord(CString& word) {
    const std::vector<uint32_t>& masks = m_search.SquareMasks();
    if (masks.size() != static_cast<size_t>(m_decoder.Length()))
        return false;
    for (;;) {
        const BlockStep step = m_decoder.NextFittingWord(masks.data(), word);
        if (step == BlockStep::Word)
            return true;
        if (step != BlockStep::End)
            NoteBlockFailure(step);
        else if (StartNextRange())
            continue;
        return false;
    }
}
