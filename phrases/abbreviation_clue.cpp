#include "phrases/abbreviation_clue.h"

#include <string>

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Whether `marker` stands in `text` (lower case) as words of their own: no
// letter just before it, nor just after unless it ends in a dot.
bool HasMarker(const std::string& text, std::string_view marker) {
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) {
        const size_t end = at + marker.size();
        const bool startsWord = at == 0 || !IsLetter(text[at - 1]);
        const bool endsWord = marker.back() == '.' || end == text.size() || !IsLetter(text[end]);
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

}  // namespace

bool IsAbbreviationClue(std::string_view clue) {
    std::string text(clue);
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    // Setters' usual signs: "Abbr." (also "abbrev."), "for short", "in
    // brief", "briefly", "in short", "initially", "for one's initials", an
    // organisation's "org." or "grp.", "acronym".
    for (const std::string_view marker : {"abbr", "abbr.", "abbrev", "abbrev.", "for short", "in brief", "briefly",
                                          "in short", "initially", "initials", "org.", "orgs.", "grp.", "acronym"})
        if (HasMarker(text, marker))
            return true;
    return false;
}
