#include "phrases/phrase_pattern.h"

namespace {

bool IsBreak(char c) { return c == ' ' || c == ',' || c == '-'; }

}  // namespace

bool SplitPhrasePattern(const CString& text, PhrasePattern& out) {
    out = PhrasePattern();
    CString inner = text;
    const bool bracketed = inner.size() >= 2 && inner.front() == '(' && inner.back() == ')';
    if (bracketed)
        inner = inner.substr(1, inner.size() - 2);
    CString part;
    bool inSet = false;
    bool hyphen = false;
    bool pendingBreak = false;
    bool leading = false;  // a break before any part
    for (const char c : inner) {
        if (!inSet && IsBreak(c)) {
            if (part.empty() && out.parts.empty())
                leading = true;
            if (!part.empty()) {
                out.parts.push_back(part);
                part.clear();
            }
            pendingBreak = true;
            hyphen = hyphen || c == '-';
            continue;
        }
        if (pendingBreak && !out.parts.empty()) {
            out.breaks.push_back(hyphen ? '-' : ' ');
        }
        pendingBreak = false;
        hyphen = false;
        if (c == '[')
            inSet = true;
        else if (c == ']')
            inSet = false;
        part.push_back(c);
    }
    const bool trailing = pendingBreak;
    if (!part.empty())
        out.parts.push_back(part);
    if (leading || trailing || out.parts.size() < 2) {
        // No break between two parts: the pattern is searched as it is.
        const bool unwrapped = bracketed && !leading && !trailing && out.parts.size() == 1;
        if (!unwrapped)
            out = PhrasePattern();
        return unwrapped;
    }
    return true;
}
