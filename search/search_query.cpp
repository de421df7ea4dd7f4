// Preparing a search: the query read into the dictionary's search state, and
// the dictionary positioned at the block of the pattern's length (and, for a
// pattern with '*', at each longer length in turn).
#include <algorithm>
#include <climits>
#include <cstdint>

#include "dictionary/dictionary.h"
#include "res/string_table.h"

bool CDictionary::ParseQuery(CString& strOut, const CString& strTyped, bool bAllowDigits, bool bClearFirst) const {
    return ParseQueryText(strOut, strTyped, bAllowDigits, bClearFirst);
}

Status CDictionary::PrepareSearch(bool bAnagram, const CString& strPattern, const CString& strLetters, bool bLimit,
                                  int& nResultCount) {
    // Whatever block an earlier query was walking is given up first: a
    // refused query must leave nothing to decode, since the pattern it leaves
    // behind need not fit the block (or the decoder's word buffer).
    ForgetBlock();
    m_bBlockDamaged = false;
    m_failure = Status::Ok();
    if (Status prepared = m_search.Prepare(bAnagram, strPattern, strLetters, bLimit); !prepared)
        return prepared;
    const int nFixedSquares = m_search.FixedSquares();
    if (nFixedSquares > m_nMaxLength)
        return Status::Message(IDS_PATTERN_TOO_LONG, MsgIcon::Information);
    // A pattern of zeros only is empty: it selects no block and finds nothing.
    if (Status seeked = SetUpLength(nFixedSquares); !seeked)
        return seeked;
    int64_t nWords = m_nBlockWords;
    if (m_search.IsOpenLength())
        for (int nLength = nFixedSquares + 1; nLength <= m_nMaxLength; ++nLength)
            nWords += nLength >= 2 && m_pnWordCount ? m_pnWordCount[nLength] : 0;
    nResultCount = m_search.IsLimited() ? kLimitMatches : static_cast<int>(std::min<int64_t>(nWords, INT_MAX));
    return Status::Ok();
}

Status CDictionary::SetUpLength(int nLength) {
    m_search.SetLength(nLength);
    const int nMatches = m_search.MatchCount();
    if (Status seeked = SeekToLength(nLength); !seeked)
        return seeked;
    // The match count goes on across the lengths of an open-length search.
    m_search.SetMatchCount(nMatches);
    return Status::Ok();
}

bool CDictionary::NextLength() {
    if (!m_search.IsOpenLength() || m_bBlockDamaged || m_search.Length() >= m_nMaxLength)
        return false;
    // A seek that fails here ends the walk with its failure kept, as a
    // damaged block does.
    if (Status seeked = SetUpLength(m_search.Length() + 1); !seeked) {
        ReportFailure(seeked);
        return false;
    }
    return true;
}
