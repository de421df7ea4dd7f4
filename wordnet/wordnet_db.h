// CWordNet: the WordNet 3.0 database as Debian's wordnet-base installs it
// (index.POS, data.POS and POS.exc for noun, verb, adj and adv, and
// cntlist.rev for the counts of tagged senses), read with our own small
// reader of the documented files rather than through libwordnet, whose
// global state, fixed buffers and lack of thread safety do not fit a program
// that looks words up for anything the user types.
//
// After Open, every member is const and touches no shared state other than
// pread on the open files, so one object can serve several threads.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/cstring.h"
#include "wordnet/line_file.h"
#include "wordnet/wordnet_records.h"

enum class WnStatus { ok, missing, damaged };

class CWordNet {
public:
    static constexpr const char* kDefaultDir = "/usr/share/wordnet";

    // The database directory: WordNet's own WNSEARCHDIR when it is set and
    // not empty, otherwise /usr/share/wordnet.
    static CString SearchDir();

    // Opens the database in `dir`: missing when a file of it cannot be opened,
    // damaged when an exception list cannot be read as one.
    WnStatus Open(const CString& dir);
    bool IsOpen() const { return m_bOpen; }

    // The index entry of `lemma` (lower case, collocations joined by '_').
    WnRead FindIndex(WnPos pos, std::string_view lemma, WnIndexEntry& entry) const;
    // found when `lemma` is in the index of `pos`.
    WnRead IsDefined(WnPos pos, std::string_view lemma) const;
    // The synset at `offset` of data.POS; damaged unless a well-formed line
    // with that offset starts there.
    WnRead ReadSynset(WnPos pos, uint32_t offset, WnSynset& synset) const;
    // The base forms that POS.exc gives for an inflected form; null if none.
    const std::vector<std::string>* Exceptions(WnPos pos, std::string_view word) const;
    // Every exception list of `pos`: inflected form -> base forms.
    const std::unordered_map<std::string, std::vector<std::string>>& ExceptionList(WnPos pos) const {
        return m_exceptions[pos];
    }
    // How often the sense with this sense key was tagged in the semantic
    // concordances (cntlist.rev); 0 when unknown or when the file is absent.
    int TagCount(std::string_view senseKey) const;

private:
    bool m_bOpen = false;
    CLineFile m_index[kWnPosCount];
    CLineFile m_data[kWnPosCount];
    CLineFile m_counts;
    std::unordered_map<std::string, std::vector<std::string>> m_exceptions[kWnPosCount];
};
