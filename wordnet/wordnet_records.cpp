#include "wordnet/wordnet_records.h"

#include <algorithm>

namespace {

// Splits a line into fields separated by runs of blanks.
class FieldReader {
public:
    explicit FieldReader(std::string_view line) : m_rest(line) {}
    bool Next(std::string_view& field) {
        while (!m_rest.empty() && m_rest.front() == ' ')
            m_rest.remove_prefix(1);
        if (m_rest.empty())
            return false;
        const size_t end = std::min(m_rest.find(' '), m_rest.size());
        field = m_rest.substr(0, end);
        m_rest.remove_prefix(end);
        return true;
    }
    std::string_view Rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

// A number of 1 to maxDigits digits in `base` (10 or 16).
bool ParseNumber(std::string_view field, int base, size_t maxDigits, uint64_t& value) {
    if (field.empty() || field.size() > maxDigits)
        return false;
    value = 0;
    for (const char c : field) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    return true;
}

bool NextNumber(FieldReader& reader, int base, size_t maxDigits, uint64_t& value) {
    std::string_view field;
    return reader.Next(field) && ParseNumber(field, base, maxDigits, value);
}

// The syntactic markers that data.adj appends to a word.
std::string_view WithoutMarker(std::string_view word) {
    for (const std::string_view marker : {"(a)", "(p)", "(ip)"}) {
        if (word.size() > marker.size() && word.substr(word.size() - marker.size()) == marker)
            return word.substr(0, word.size() - marker.size());
    }
    return word;
}

}  // namespace

const char* WnPosName(WnPos pos) {
    switch (pos) {
    case kWnNoun:
        return "noun";
    case kWnVerb:
        return "verb";
    case kWnAdj:
        return "adj";
    default:
        return "adv";
    }
}

bool WnPosFromCode(char code, WnPos& pos) {
    switch (code) {
    case 'n':
        pos = kWnNoun;
        return true;
    case 'v':
        pos = kWnVerb;
        return true;
    case 'a':
    case 's':
        pos = kWnAdj;
        return true;
    case 'r':
        pos = kWnAdv;
        return true;
    default:
        return false;
    }
}

std::string WnLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool ParseIndexLine(std::string_view line, WnPos pos, WnIndexEntry& entry) {
    // lemma pos synset_cnt p_cnt [ptr_symbol...] sense_cnt tagsense_cnt synset_offset...
    FieldReader reader(line);
    std::string_view lemma, posField, field;
    uint64_t nSynsets = 0, nPointers = 0, nSenses = 0, nTagged = 0;
    if (!reader.Next(lemma) || line.front() == ' ' || !reader.Next(posField) || posField.size() != 1)
        return false;
    WnPos linePos;
    if (!WnPosFromCode(posField[0], linePos) || posField[0] == 's' || linePos != pos)
        return false;
    if (!NextNumber(reader, 10, 5, nSynsets) || nSynsets == 0 || !NextNumber(reader, 10, 3, nPointers))
        return false;
    for (uint64_t i = 0; i < nPointers; ++i)
        if (!reader.Next(field) || field.size() > 2)
            return false;
    if (!NextNumber(reader, 10, 5, nSenses) || nSenses != nSynsets || !NextNumber(reader, 10, 5, nTagged) ||
        nTagged > nSynsets)
        return false;
    entry.lemma.assign(lemma);
    entry.nTaggedSenses = static_cast<int>(nTagged);
    entry.offsets.clear();
    for (uint64_t i = 0; i < nSynsets; ++i) {
        uint64_t offset = 0;
        if (!NextNumber(reader, 10, 9, offset))
            return false;
        entry.offsets.push_back(static_cast<uint32_t>(offset));
    }
    return !reader.Next(field);
}

bool ParseDataLine(std::string_view line, WnPos pos, WnSynset& synset) {
    // synset_offset lex_filenum ss_type w_cnt word lex_id [word lex_id...] p_cnt [ptr...] [frames...] | gloss
    FieldReader reader(line);
    std::string_view field;
    uint64_t value = 0, nWords = 0, nPointers = 0;
    if (!NextNumber(reader, 10, 9, value))
        return false;
    synset.offset = static_cast<uint32_t>(value);
    if (!NextNumber(reader, 10, 2, value))
        return false;
    synset.nLexFile = static_cast<int>(value);
    WnPos typePos;
    if (!reader.Next(field) || field.size() != 1 || !WnPosFromCode(field[0], typePos) || typePos != pos)
        return false;
    synset.ssType = field[0];
    if (!NextNumber(reader, 16, 2, nWords) || nWords == 0)
        return false;
    synset.words.clear();
    for (uint64_t i = 0; i < nWords; ++i) {
        WnSynsetWord word;
        if (!reader.Next(field))
            return false;
        word.text.assign(WithoutMarker(field));
        if (!NextNumber(reader, 16, 2, value))
            return false;
        word.nLexId = static_cast<int>(value);
        synset.words.push_back(std::move(word));
    }
    if (!NextNumber(reader, 10, 4, nPointers))
        return false;
    synset.pointers.clear();
    for (uint64_t i = 0; i < nPointers; ++i) {
        WnPointer pointer;
        if (!reader.Next(field) || field.size() > 2)
            return false;
        pointer.symbol.assign(field);
        if (!NextNumber(reader, 10, 9, value))
            return false;
        pointer.offset = static_cast<uint32_t>(value);
        if (!reader.Next(field) || field.size() != 1 || !WnPosFromCode(field[0], pointer.pos))
            return false;
        if (!reader.Next(field) || field.size() != 4 || !ParseNumber(field, 16, 4, value))
            return false;
        pointer.nSource = static_cast<int>(value >> 8);
        pointer.nTarget = static_cast<int>(value & 0xFF);
        synset.pointers.push_back(std::move(pointer));
    }
    if (!reader.Next(field))
        return false;
    if (pos == kWnVerb && field != "|") {
        // f_cnt + f_num w_num [+ f_num w_num...]
        uint64_t nFrames = 0;
        if (!ParseNumber(field, 10, 2, nFrames))
            return false;
        for (uint64_t i = 0; i < nFrames; ++i) {
            if (!reader.Next(field) || field != "+" || !NextNumber(reader, 10, 2, value) ||
                !NextNumber(reader, 16, 2, value))
                return false;
        }
        if (!reader.Next(field))
            return false;
    }
    if (field != "|")
        return false;
    std::string_view gloss = reader.Rest();
    while (!gloss.empty() && (gloss.front() == ' '))
        gloss.remove_prefix(1);
    while (!gloss.empty() && (gloss.back() == ' ' || gloss.back() == '\r'))
        gloss.remove_suffix(1);
    synset.gloss.assign(gloss);
    return true;
}
