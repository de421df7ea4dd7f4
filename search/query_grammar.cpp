#include "search/query_grammar.h"

#include <algorithm>
#include <bit>
#include <climits>

#include "res/string_table.h"

namespace {

// A fault at byte `at` of the text (and, for a set, the character `detailAt`
// inside it); positions are kept as bytes here and told in characters.
void Fault(QueryParse& out, QueryFault fault, size_t at, size_t detailAt = 0, CString detail = CString()) {
    out.fault = fault;
    out.nAt = at;
    out.nDetailAt = detailAt;
    out.detail = std::move(detail);
}

// The typed character that starts at byte i: one byte, or a UTF-8 lead byte
// with the continuation bytes after it.
CString CharacterAt(const CString& text, size_t i) {
    size_t end = i + 1;
    if (static_cast<unsigned char>(text[i]) >= 0xC0)
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    return text.substr(i, end - i);
}

// Parses the set whose '[' is at byte i; returns the byte after its ']', or
// 0 after a fault.
size_t ParseSet(const CString& text, size_t i, LetterMask& mask, QueryParse& out) {
    const size_t n = text.size();
    size_t j = i + 1;
    const bool bNegated = j < n && (text[j] == '!' || text[j] == '^');
    if (bNegated)
        ++j;
    LetterMask named = 0;
    bool bAny = false;
    for (;;) {
        if (j >= n) {
            Fault(out, QueryFault::SetNotClosed, i);
            return 0;
        }
        const unsigned char c = static_cast<unsigned char>(text[j]);
        if (c == ']')
            break;
        if (!IsAsciiLetter(c)) {
            Fault(out, QueryFault::SetBadCharacter, i, j, CharacterAt(text, j));
            return 0;
        }
        const char from = ToUpperAscii(static_cast<char>(c));
        bAny = true;
        if (j + 1 < n && text[j + 1] == '-') {
            if (j + 2 >= n) {
                Fault(out, QueryFault::SetNotClosed, i);
                return 0;
            }
            const unsigned char last = static_cast<unsigned char>(text[j + 2]);
            if (!IsAsciiLetter(last)) {
                // "[a-]": the '-' has no last letter.
                const size_t bad = last == ']' ? j + 1 : j + 2;
                Fault(out, QueryFault::SetBadCharacter, i, bad, CharacterAt(text, bad));
                return 0;
            }
            const char to = ToUpperAscii(static_cast<char>(last));
            if (to < from) {
                Fault(out, QueryFault::SetBackwardRange, i, j, CString{from, to});
                return 0;
            }
            for (char letter = from; letter <= to; ++letter)
                named |= MaskOf(letter);
            j += 3;
            continue;
        }
        named |= MaskOf(from);
        ++j;
    }
    if (!bAny) {
        Fault(out, QueryFault::SetEmpty, i);
        return 0;
    }
    mask = bNegated ? kAnyLetter & ~named : named;
    if (mask == 0) {
        Fault(out, QueryFault::SetAllowsNothing, i);
        return 0;
    }
    return j + 1;
}

size_t CharacterNumber(const CString& text, size_t byte) {
    return CountTypedCharacters(text.substr(0, byte)) + 1;
}

}  // namespace

void ParseQueryTokens(const CString& text, bool bPattern, QueryParse& out) {
    constexpr int64_t kMax = INT_MAX;
    out = QueryParse();
    size_t nSquares = 0;
    const auto push = [&](LetterMask mask, bool bLetter) {
        out.tokens.push_back({mask, bLetter});
        ++nSquares;
        if (!bLetter)
            out.nWild = std::min(out.nWild + 1, kMax);
    };
    int64_t run = 0;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsAsciiLetter(c)) {
            push(MaskOf(ToUpperAscii(static_cast<char>(c))), true);
        } else if (c == '?') {
            push(kAnyLetter, false);
        } else if (c == '@') {
            push(kVowels, false);
        } else if (c == '#') {
            push(kConsonants, false);
        } else if (c == '[') {
            LetterMask mask = 0;
            const size_t next = ParseSet(text, i, mask, out);
            if (next == 0)
                break;
            push(mask, false);
            i = next;
            continue;
        } else if (c == ']') {
            Fault(out, QueryFault::StrayBracket, i);
            break;
        } else if (c == '*') {
            if (!bPattern) {
                Fault(out, QueryFault::Star, i);
                break;
            }
            // A run of stars is one star.
            if (out.tokens.empty() || !out.tokens.back().IsStar())
                out.tokens.push_back({0, false});
            out.bStar = true;
        } else if (c >= '0' && c <= '9' && bPattern) {
            run = std::min(run * 10 + (c - '0'), kMax);
            const bool bRunEnds = i + 1 == text.size() || text[i + 1] < '0' || text[i + 1] > '9';
            if (bRunEnds) {
                // The squares stop at the most any dictionary could match;
                // the wild count takes the run's full value.
                const size_t room = nSquares < kMaxQuerySquares ? kMaxQuerySquares - nSquares : 0;
                for (size_t k = std::min(static_cast<size_t>(run), room); k > 0; --k) {
                    out.tokens.push_back({kAnyLetter, false});
                    ++nSquares;
                }
                out.nWild = std::min(out.nWild + run, kMax);
                run = 0;
            }
        } else {
            Fault(out, QueryFault::BadCharacter, i);
            break;
        }
        ++i;
    }
    if (out.fault != QueryFault::None) {
        out.nAt = CharacterNumber(text, out.nAt);
        if (out.fault == QueryFault::SetBadCharacter || out.fault == QueryFault::SetBackwardRange)
            out.nDetailAt = CharacterNumber(text, out.nDetailAt);
    }
}

UINT QueryFaultMessage(const QueryParse& parse, const char* what, CString& text) {
    const int at = static_cast<int>(parse.nAt);
    UINT nID = 0;
    switch (parse.fault) {
    case QueryFault::None:
    case QueryFault::BadCharacter:
        return 0;
    case QueryFault::SetNotClosed:
        nID = IDS_SET_NOT_CLOSED;
        text = FormatString(LoadStringText(nID).c_str(), at, what);
        break;
    case QueryFault::SetEmpty:
        nID = IDS_SET_EMPTY;
        text = FormatString(LoadStringText(nID).c_str(), at, what);
        break;
    case QueryFault::SetBadCharacter: {
        nID = IDS_SET_BAD_CHARACTER;
        const CString shown = parse.detail == " " ? CString("a blank") : "\"" + parse.detail + "\"";
        text = FormatString(LoadStringText(nID).c_str(), at, what, shown.c_str(), static_cast<int>(parse.nDetailAt));
        break;
    }
    case QueryFault::SetBackwardRange: {
        nID = IDS_SET_BACKWARD_RANGE;
        const char from = parse.detail[0];
        const char to = parse.detail[1];
        text = FormatString(LoadStringText(nID).c_str(), from, to, static_cast<int>(parse.nDetailAt), what, to, from);
        break;
    }
    case QueryFault::SetAllowsNothing:
        nID = IDS_SET_ALLOWS_NOTHING;
        text = FormatString(LoadStringText(nID).c_str(), at, what);
        break;
    case QueryFault::StrayBracket:
        nID = IDS_STRAY_BRACKET;
        text = FormatString(LoadStringText(nID).c_str(), at, what);
        break;
    case QueryFault::Star:
        nID = IDS_LETTERS_STAR;
        text = FormatString(LoadStringText(nID).c_str(), at);
        break;
    }
    return nID;
}

CString QueryTokensText(const std::vector<QueryToken>& tokens) {
    CString text;
    for (const QueryToken& token : tokens) {
        if (token.IsStar()) {
            text += '*';
        } else if (token.bLetter) {
            text += static_cast<char>('A' + std::countr_zero(token.mask));
        } else if (token.mask == kAnyLetter) {
            text += '?';
        } else if (token.mask == kVowels) {
            text += '@';
        } else if (token.mask == kConsonants) {
            text += '#';
        } else {
            const bool bNegated = std::popcount(token.mask) > 13;
            const LetterMask shown = bNegated ? kAnyLetter & ~token.mask : token.mask;
            text += bNegated ? "[!" : "[";
            for (int letter = 0; letter < 26; ++letter)
                if (shown & (1u << letter))
                    text += static_cast<char>('A' + letter);
            text += ']';
        }
    }
    return text;
}

size_t CountLetterItems(const CString& text) {
    CString items;
    for (size_t i = 0; i < text.size(); ++i) {
        items += text[i];
        if (text[i] == '[') {
            const size_t close = text.find(']', i + 1);
            i = close == CString::npos ? text.size() : close;
        }
    }
    return CountTypedCharacters(items);
}
