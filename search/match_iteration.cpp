// Walking the words of the prepared length block and returning the matches.
#include "dictionary/dictionary.h"

BOOL CDictionary::NextMatch(CString& word, BOOL bListAll) {
    for (;;) {
        if (NextMatchInBlock(word, bListAll))
            return TRUE;
        if (m_search.LimitReached())
            return FALSE;
        // A pattern with '*' goes on with the next length it allows.
        if (!NextLength())
            return FALSE;
    }
}

BOOL CDictionary::NextMatchInBlock(CString& word, BOOL bListAll) {
    if (m_search.LimitReached())
        return FALSE;
    // No letters to look for: the pattern is only '?' and digit runs (the
    // letters always include the pattern's own), so every word of the block
    // matches, as in list-all mode.
    const bool bEveryWord = bListAll || m_search.MatchesEveryWord();
    // A matching-word search with a square to test decodes each word only as
    // far as it fits.
    if (!bEveryWord && m_search.TestsSquares()) {
        for (;;) {
            if (!NextFittingWord(word))
                return FALSE;
            if (m_search.LettersPlaced() || m_search.MatchesLetters(word)) {
                m_search.CountMatch();
                return TRUE;
            }
        }
    }
    for (;;) {
        // A block that ended before its count has shown its damage once (and
        // an open-length search reads no further block).
        if (!NextWord(word))
            return FALSE;
        if (bEveryWord || m_search.MatchesWord(word)) {
            m_search.CountMatch();
            return TRUE;
        }
    }
}

BOOL CDictionary::NextFittingWord(CString& word) {
    const std::vector<uint32_t>& masks = m_search.SquareMasks();
    if (masks.size() != static_cast<size_t>(m_decoder.Length()))
        return FALSE;
    const BlockStep step = m_decoder.NextFittingWord(masks.data(), word);
    if (step == BlockStep::Word)
        return TRUE;
    if (step != BlockStep::End)
        ReportBlockFailure(step);
    return FALSE;
}
