#include "cli/cli_commands.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "location/dictionary_dir.h"
#include "location/work_dir.h"
#include "platform/data_dir.h"
#include "cli/clue_search.h"
#include "cli/meaning_command.h"
#include "cli/phrase_find.h"
#include "phrases/phrase_find.h"
#include "cli/terminal_progress.h"
#include "dictionary/dictionary.h"
#include "maintenance/export_job.h"
#include "maintenance/import_job.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "search/find_request.h"
#include "search/find_words.h"
#include "res/string_table.h"
#include "res/version.h"
#include "search/common_first.h"
#include "search/query_grammar.h"
#include "phrases/abbreviation_clue.h"
#include "phrases/phrase_pattern.h"

const char* const kCliUsage =
    "usage: gridwell-cli [-C DIR] find [--anagram] [--limit] [--common] [--clue TEXT [--why]]\n"
    "                    [--phrases] [--abbreviations] [--] PATTERN [LETTERS]\n"
    "       gridwell-cli meaning WORD\n"
    "       gridwell-cli [-C DIR] import [--allow-empty] [--fold-accents] FILE\n"
    "       gridwell-cli [-C DIR] export FILE|-\n"
    "       gridwell-cli --dictionary NAME find|import|export ...\n"
    "       gridwell-cli dictionaries\n"
    "       gridwell-cli --help | --version\n";

const char* const kCliHelp =
    "gridwell-cli - find crossword words in Gridwell's dictionary, dictionary.dat\n"
    "\n"
    "  gridwell-cli find [--anagram] [--limit] [--common] [--clue TEXT [--why]]\n"
    "                    [--phrases] [--abbreviations] [--] PATTERN [LETTERS]\n"
    "      Lists the words that fit PATTERN, one per line, in dictionary order.\n"
    "      PATTERN is made of letters (case does not matter) and these:\n"
    "          ?        one unknown letter             'c?t'        CAT, COT, CUT ...\n"
    "          digits   that many unknown letters      's3e'        SCARE, SHAKE ...\n"
    "          @        one vowel (A E I O U)          'c@t'        CAT, COT, CUT\n"
    "          #        one consonant                  '##@##'      BLACK, BLANK ...\n"
    "          [abc]    one of the letters             '[sz]?[!e]'  SAD, SAT ...\n"
    "          [a-e]    one letter from A to E         '[a-c]@t'    BET, CAT ...\n"
    "          [!abc]   one letter not among them      '?[^aeiou]?' (also [^abc])\n"
    "          *        any run of letters, or none    'un*ing'     UNDOING ...\n"
    "          9        every 9-letter word\n"
    "      Accented letters fold to plain ones: 'caf\xC3\xA9' finds CAFE.\n"
    "      Digits always count unknown letters (s3e); they never stand for a\n"
    "      repeated letter. A pattern with '*' lists every length that fits,\n"
    "      shortest words first.\n"
    "      Quote a pattern that holds ?, *, [ or #: the shell would otherwise\n"
    "      replace it by the names of matching files (c?t by a file named cot,\n"
    "      say), or take # and what follows for a comment.\n"
    "      LETTERS (the remaining letters) must all appear, as often as typed,\n"
    "      among the unknown positions, each in a square it fits; other unknown\n"
    "      positions stay free. @, # and sets may stand among them too:\n"
    "          gridwell-cli find 'c?t' a      CAT\n"
    "          gridwell-cli find '??t?' ea    DATE, GATE, ...\n"
    "      --anagram lists the words made of exactly the letters of PATTERN;\n"
    "      a '?' there stands for one free letter, '@', '#' and sets for one\n"
    "      letter of their kind ('*' has no place in an anagram):\n"
    "          gridwell-cli find --anagram crate     CATER, CRATE, REACT, TRACE ...\n"
    "          gridwell-cli find --anagram 'ca?'     ACE, ARC, CAB, CAT ...\n"
    "          gridwell-cli find --anagram 'ca@'     ACE ...\n"
    "      With LETTERS given, the search is always a matching-word search.\n"
    "      --limit stops after 100 words.\n"
    "      --common lists the most common words first (then dictionary order);\n"
    "      with --limit, the 100 most common matches.\n"
    "      --clue TEXT ranks every fitting word by how well it answers the clue\n"
    "      TEXT, typed as printed (punctuation, \"___\" blanks, \"e.g.\", \"(5)\"):\n"
    "      best answers first, by WordNet's synonyms, kinds, related words and\n"
    "      definitions, and by words hidden in the clue or made of its letters;\n"
    "      then the words with no such evidence in the usual order; the clue's\n"
    "      own words last. With --limit, the 100 best. Needs the WordNet database:\n"
    "          gridwell-cli find --clue 'Large feline' 4     LION ...\n"
    "          gridwell-cli find --clue 'Rank and ___' 4     FILE ...\n"
    "      --why adds a TAB and the reason after each word that has one.\n"
    "      A clue word WordNet does not know is named on stderr.\n"
    "      A space, comma or hyphen between parts of PATTERN is a word break:\n"
    "      phrases whose words fit the parts are listed, from WordNet's entries\n"
    "      of more than one word, then made of two or more dictionary words,\n"
    "      most common words first. An enumeration as printed works too:\n"
    "          gridwell-cli find 'i?e c?e?m'     ICE CREAM\n"
    "          gridwell-cli find '(3,5)'         every phrase of 3 and 5 letters\n"
    "      LETTERS then count over the unknown places of the whole phrase; with\n"
    "      --anagram the breaks give the word lengths and the letters are pooled.\n"
    "      --phrases adds to any other PATTERN its phrases of as many letters\n"
    "      (two words; three when at least half the letters are known):\n"
    "          gridwell-cli find --phrases 'h?t?o?'   ... HOT DOG ...\n"
    "      At most 1,000 phrases made of dictionary words are listed; stderr\n"
    "      says so when more fit.\n"
    "      --abbreviations adds SCOWL's abbreviations (NASA, RSVP, PSI), most\n"
    "      common first with --common; a --clue that asks for one (\"for short\",\n"
    "      \"Abbr.\", \"initially\" ...) lists them first without being asked.\n"
    "      Exit status: 0 words found, 1 none found, 2 the query was refused.\n"
    "\n"
    "  gridwell-cli meaning WORD\n"
    "      Shows what WORD means, from the WordNet database (Debian package\n"
    "      wordnet-base): its senses by part of speech, each with its synonyms\n"
    "      and gloss. Inflected forms are looked up by their base forms\n"
    "      (cats: cat; ran: run). Exit status: 0 found, 1 not found, 2 no WordNet.\n"
    "\n"
    "  gridwell-cli import [--allow-empty] FILE\n"
    "      Rebuilds dictionary.dat from a text file of one word per line. Lines of\n"
    "      2 to 255 ASCII letters are words; every other line is skipped. The old\n"
    "      dictionary stays in place until the new one is complete.\n"
    "      A file that gives no word at all (a list saved as UTF-16, say) is\n"
    "      refused and the old dictionary kept, unless --allow-empty is given.\n"
    "      --fold-accents reads FILE as UTF-8 and folds accented letters to the\n"
    "      plain letters grids use: ETE from ete with accents, ANO from ano with a\n"
    "      tilde, STRASSE from Strasse with a sharp s, AE from the ligature.\n"
    "      Words that folding makes alike are kept once. Lines that are not\n"
    "      UTF-8 (a Latin-1 list, say) are skipped and counted on stderr;\n"
    "      convert such a list first: iconv -f latin1 -t utf-8.\n"
    "\n"
    "  gridwell-cli export FILE|-\n"
    "      Writes every word of dictionary.dat to FILE (or - for standard output),\n"
    "      upper case, one per line, shortest words first.\n"
    "\n"
    "  gridwell-cli dictionaries\n"
    "      Lists the dictionaries of the user's Gridwell folder with their word\n"
    "      counts: \"default\", then the named ones.\n"
    "\n"
    "  On a terminal, import and export show their progress; Ctrl-C cancels them\n"
    "  cleanly (exit status 130). '--' ends the options. --version prints the\n"
    "  program's version.\n"
    "\n"
    "  Where the dictionary is looked for, in this order:\n"
    "    1. -C DIR: DIR/dictionary.dat, and nowhere else (import makes it there).\n"
    "    2. dictionary.dat in the current directory, when there is one.\n"
    "    3. The user's Gridwell folder, $XDG_DATA_HOME/gridwell (by default\n"
    "       ~/.local/share/gridwell). On first use it is made and the packaged\n"
    "       default dictionary is copied into it. Import and export work on the\n"
    "       same folder, so an import replaces the dictionary that find reads.\n"
    "  --dictionary NAME instead picks a dictionary of the user's folder by name:\n"
    "  the folder NAME inside it (made by import), each with a dictionary.dat of\n"
    "  its own; \"default\" is the folder's own dictionary. For a French one:\n"
    "      gridwell-cli --dictionary french import --fold-accents /usr/share/dict/french\n"
    "      gridwell-cli --dictionary french find 'e?e'     ETE ...\n";

namespace {

int UsageError(const char* what) {
    std::fprintf(stderr, "gridwell-cli: %s\n%s", what, kCliUsage);
    return kExitFailure;
}

struct PhraseFlags {
    bool phrases = false;
    bool abbreviations = false;
};

// The rows of a Find as lines on `out`, gathered into a buffer of our own
// and written a buffer at a time (one stdio call per word was a third of a
// long listing); with --why, a TAB and the reason after a word that has one.
class LineWriter : public IFoundSink {
public:
    LineWriter(std::FILE* out, bool bWhy) : m_out(out), m_bWhy(bWhy), m_buffer(1 << 16) {}
    void Word(std::string_view word, std::string_view reason) override {
        const bool bReason = m_bWhy && !reason.empty();
        Append(word);
        if (bReason) {
            Append("\t");
            Append(reason);
        }
        Append("\n");
        ++m_nRows;
    }
    void Lines(std::string_view lines, size_t nLength) override {
        Append(lines);
        m_nRows += lines.size() / (nLength + 1);
    }
    void Flush() {
        std::fwrite(m_buffer.data(), 1, m_used, m_out);
        m_used = 0;
    }
    size_t Rows() const { return m_nRows; }

private:
    void Append(std::string_view text) {
        if (m_buffer.size() - m_used < text.size()) {
            Flush();
            if (text.size() > m_buffer.size()) {
                std::fwrite(text.data(), 1, text.size(), m_out);
                return;
            }
        }
        std::memcpy(m_buffer.data() + m_used, text.data(), text.size());
        m_used += text.size();
    }

    std::FILE* m_out;
    bool m_bWhy;
    std::vector<char> m_buffer;
    size_t m_used = 0;
    size_t m_nRows = 0;
};

// A pattern with word breaks lists phrases only: no single word has breaks.
// bWalkFailed turns true when the dictionary's walk meets damage (said as
// it is met): the phrases listed are then not every one that fits.
int FindPhrasePattern(CDictionary& dict, bool anagram, bool limit, const PhrasePattern& parts,
                      const std::string& letters, std::FILE* out, const bool& bWalkFailed) {
    PhraseListing listing;
    if (!ListPhrasePattern(dict, anagram, parts, letters, limit ? CDictionary::kLimitMatches : SIZE_MAX, out,
                           listing))
        return kExitFailure;
    if (std::fflush(out) != 0 || std::ferror(out)) {
        std::fprintf(stderr, "gridwell-cli: cannot write the matching words to the output\n");
        return kExitFailure;
    }
    const bool damaged = listing.bFailed || bWalkFailed;
    if (listing.nListed == 0 && !damaged)
        std::fprintf(stderr, "%s\n", LoadStringText(IDS_NO_MATCHES).c_str());
    if (damaged)
        return kExitFailure;
    return listing.nListed ? kExitOk : kExitNoMatch;
}

// The same, ranked by a clue: the phrases with evidence first, best first.
int FindPhrasePatternByClue(CDictionary& dict, const CFindRequest& request, const PhrasePattern& parts,
                            const std::string& clue, bool bWhy, std::FILE* out, const bool& bWalkFailed) {
    CFoundPhrases phrases;
    if (Status prepared = FindPhrasesOfPattern(dict, request.bAnagram, parts, request.letters, SIZE_MAX, phrases);
        !prepared) {
        ShowStatus(prepared);
        return kExitFailure;
    }
    CFoundWords ranked;
    const size_t nMaxListed = request.bLimit ? CDictionary::kLimitMatches : SIZE_MAX;
    if (!RankByClue(clue, phrases.phrases, nMaxListed, ranked))
        return kExitFailure;
    LineWriter writer(out, bWhy);
    for (size_t i = 0; i < ranked.words.size(); ++i)
        writer.Word(ranked.words[i], i < ranked.reasons.size() ? std::string_view(ranked.reasons[i]) : std::string_view());
    writer.Flush();
    PhraseListing listing;
    ReportPhrases(phrases, listing);
    if (std::fflush(out) != 0 || std::ferror(out)) {
        std::fprintf(stderr, "gridwell-cli: cannot write the matching words to the output\n");
        return kExitFailure;
    }
    const bool damaged = listing.bFailed || bWalkFailed;
    if (writer.Rows() == 0 && !damaged)
        std::fprintf(stderr, "%s\n", LoadStringText(IDS_NO_MATCHES).c_str());
    if (damaged)
        return kExitFailure;
    return writer.Rows() ? kExitOk : kExitNoMatch;
}

int Find(CFindRequest request, const std::string& clue, bool bWhy, const PhraseFlags& phraseFlags,
         std::FILE* out) {
    if (request.pattern.empty()) {
        AfxMessageBox(IDS_NO_PATTERN, MsgIcon::Exclamation);
        return kExitFailure;
    }
    CDictionary dict(GetWorkDir());
    if (Status opened = dict.OpenForReading(); !opened) {
        ShowStatus(opened);
        return kExitFailure;
    }
    // A damaged block is said as the walk meets it, and makes the search a
    // failure: what was listed is not every word that fits.
    bool bWalkFailed = false;
    dict.SetFailureReporter([&bWalkFailed](const Status& failure) {
        ShowStatus(failure);
        bWalkFailed = true;
    });
    dict.SetNoticeReporter([](const Status& notice) { ShowStatus(notice); });
    PhrasePattern parts;
    if (SplitPhrasePattern(request.pattern, parts)) {
        if (parts.parts.size() > 1) {
            if (HasClue(clue))
                return FindPhrasePatternByClue(dict, request, parts, clue, bWhy, out, bWalkFailed);
            return FindPhrasePattern(dict, request.bAnagram, request.bLimit, parts, request.letters, out,
                                     bWalkFailed);
        }
        request.pattern = parts.parts.front();  // "(5)": the enumeration of one word
    }
    // Longer than any word of the dictionary: with --phrases, phrases only.
    if (phraseFlags.phrases) {
        // Counted in squares: a set is one, however it is written.
        QueryParse parsed;
        ParseQueryTokens(request.pattern, true, parsed);
        if (parsed.fault == QueryFault::None && !parsed.bStar &&
            parsed.tokens.size() > static_cast<size_t>(dict.GetMaxLength())) {
            parts.parts.assign(1, request.pattern);
            parts.breaks.clear();
            return FindPhrasePattern(dict, request.bAnagram, request.bLimit, parts, request.letters, out,
                                     bWalkFailed);
        }
    }
    const bool bClue = HasClue(clue);
    // Every Find counts every match: the limit applies to the rows listed.
    if (Status prepared = PrepareFind(dict, request); !prepared) {
        ShowStatus(prepared);
        return kExitFailure;
    }
    bWalkFailed = false;
    int nFound = 0;
    bool bClueFailed = false;
    // A clue that asks for an abbreviation lists the abbreviations first.
    PhraseListing phrases;
    const size_t nMaxListed = request.bLimit ? CDictionary::kLimitMatches : SIZE_MAX;
    const bool bAbbreviationsFirst = bClue && IsAbbreviationClue(clue);
    // Otherwise, with a clue, the phrases and abbreviations asked for are
    // ranked with the words (taken before the words: the phrase search
    // leaves the query spent); without one they follow the words.
    std::vector<CString> leading;
    std::vector<CString> rankedAbbreviations;
    if (bClue && (bAbbreviationsFirst || phraseFlags.abbreviations)) {
        std::vector<CString> taken = TakeAbbreviationsOfSearch(dict, request.bCommonFirst, SIZE_MAX, phrases);
        (bAbbreviationsFirst ? leading : rankedAbbreviations) = std::move(taken);
    }
    LineWriter writer(out, bWhy);
    CFoundPhrases rankedPhrases;
    const bool bRankPhrases = bClue && phraseFlags.phrases;
    if (bRankPhrases || !rankedAbbreviations.empty()) {
        request.moreCandidates = [&]() {
            std::vector<CString> more = std::move(rankedAbbreviations);
            if (bRankPhrases) {
                rankedPhrases = FindPhrasesOfSearch(dict, SIZE_MAX);
                more.insert(more.end(), rankedPhrases.phrases.begin(), rankedPhrases.phrases.end());
            }
            return more;
        };
    }
    if (bClue) {
        CFoundWords found;
        bClueFailed = !FindByClue(dict, request, clue, found, std::move(leading));
        for (size_t i = 0; i < found.words.size(); ++i)
            writer.Word(found.words[i], i < found.reasons.size() ? std::string_view(found.reasons[i]) : std::string_view());
    } else {
        RunFind(dict, request, writer);
    }
    writer.Flush();
    nFound = static_cast<int>(writer.Rows());
    nFound += static_cast<int>(phrases.nListed);
    const auto left = [&] { return nMaxListed - std::min(nMaxListed, static_cast<size_t>(nFound)); };
    if (phraseFlags.abbreviations && !bClue) {
        phrases.nListed = 0;
        ListAbbreviationsOfSearch(dict, request.bCommonFirst, left(), out, phrases);
        nFound += static_cast<int>(phrases.nListed);
    }
    if (bRankPhrases) {
        ReportPhrases(rankedPhrases, phrases);
    } else if (phraseFlags.phrases) {
        phrases.nListed = 0;
        ListPhrasesOfSearch(dict, left(), out, phrases);
        nFound += static_cast<int>(phrases.nListed);
    }
    // Matches that never reached their reader are no success.
    if (std::fflush(out) != 0 || std::ferror(out)) {
        std::fprintf(stderr, "gridwell-cli: cannot write the matching words to the output\n");
        return kExitFailure;
    }
    // A search that met a damaged dictionary, WordNet database or phrase file
    // has said so; "no matches" would then blame the pattern.
    const bool damaged = bWalkFailed || bClueFailed || phrases.bFailed;
    if (nFound == 0 && !damaged)
        std::fprintf(stderr, "%s\n", LoadStringText(IDS_NO_MATCHES).c_str());
    if (damaged)
        return kExitFailure;
    return nFound ? kExitOk : kExitNoMatch;
}

// A job's prompts on the command line: what stopped a worker is printed
// below the status line as it stops; nothing is asked.
JobPrompts TellOnly() {
    JobPrompts prompts;
    prompts.tell = [](const Status& status) { ShowStatus(status); };
    return prompts;
}

// The shell's view of how a job ended: only a job that did what it was for
// succeeded; one that stopped is interrupted when Ctrl-C stopped it.
int JobExit(const JobResult& result, const TerminalProgress& progress) {
    if (result.end == JobEnd::Done)
        return kExitOk;
    if (result.end == JobEnd::EndedByReader)
        return kExitBrokenPipe;
    return progress.Interrupted() ? kExitInterrupted : kExitFailure;
}

// Under the message that a word list or output file could not be opened:
// which file, and why.
void ExplainTextFileError(const CString& path, const JobResult& result) {
    const UINT nMessage = result.closing.nMessage;
    if ((nMessage == IDS_CANNOT_OPEN_TEXT || nMessage == IDS_CANNOT_CREATE_TEXT) && !result.closing.detail.empty())
        std::fprintf(stderr, "gridwell-cli: %s: %s\n", path.c_str(), result.closing.detail.c_str());
}

// After a successful import: how many words the new dictionary holds, so
// that a list that gave no word at all shows as "0 words". False (the
// dictionary's message shown) when the new dictionary cannot be read.
bool ReportWordCount() {
    CDictionary dict(GetWorkDir());
    if (Status opened = dict.OpenForReading(); !opened) {
        ShowStatus(opened);
        return false;
    }
    const int64_t n = dict.GetTotalWords();
    std::fprintf(stderr, "%s %s\n", FormatThousands(n).c_str(), n == 1 ? "word" : "words");
    return true;
}

// The dictionaries of the user's folder, one a line: name, words, folder.
int ListDictionaries(std::FILE* out) {
    const std::vector<NamedDictionary> dictionaries = ListUserDictionaries();
    if (dictionaries.empty()) {
        std::fprintf(stderr, "gridwell-cli: no dictionary in the user's folder %s\n", UserDictionaryDir().c_str());
        return kExitNoMatch;
    }
    // A dictionary that cannot be read is listed as such, without its message.
    for (const NamedDictionary& entry : dictionaries) {
        CDictionary dict(entry.dir);
        const CString count = dict.OpenForReading() ? FormatThousands(dict.GetTotalWords()) + " words"
                                                    : CString("(cannot be read)");
        std::fprintf(out, "%-16s %15s  %s\n", entry.name.c_str(), count.c_str(), entry.dir.c_str());
    }
    return std::fflush(out) == 0 ? kExitOk : kExitFailure;
}

// Makes the dictionary `name` the one to use: an import makes its folder; any
// other command needs it to hold a dictionary (the default one is filled
// from the packaged default, as without the option).
int UseNamedDictionary(const std::string& name, bool bCreate) {
    if (!IsDictionaryName(name))
        return UsageError("--dictionary NAME: a NAME of letters, digits, - and _");
    const CString dir = NamedDictionaryDir(name);
    if (dir.empty()) {
        std::fprintf(stderr, "gridwell-cli: --dictionary %s: no home folder is known\n", name.c_str());
        return kExitFailure;
    }
    const CString path = dir + "/dictionary.dat";
    if (bCreate || name == kDefaultDictionaryName) {
        if (!MakeDirectories(dir, 0700)) {
            std::fprintf(stderr, "gridwell-cli: --dictionary %s: cannot make %s: %s\n", name.c_str(), dir.c_str(),
                         std::strerror(errno));
            return kExitFailure;
        }
        if (!bCreate && !PathExists(path) && PathExists(DataFilePath("dictionary.dat")))
            InstallDefaultDictionary(DataFilePath("dictionary.dat"), dir);
    } else if (!PathExists(path)) {
        std::fprintf(stderr, "gridwell-cli: there is no dictionary named %s (gridwell-cli dictionaries lists them)\n"
                     "Make it from a word list with: gridwell-cli --dictionary %s import --fold-accents WORDLIST\n",
                     name.c_str(), name.c_str());
        return kExitFailure;
    }
    SetWorkDir(dir);
    return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::FILE* out) {
    std::vector<std::string> positional;
    bool anagram = false;
    bool limit = false;
    bool common = false;
    bool allowEmpty = false;
    bool foldAccents = false;
    PhraseFlags phraseFlags;
    bool why = false;
    bool optionsEnded = false;
    std::string dictionaryDir;
    std::string dictionaryName;
    bool bDictionaryGiven = false;
    std::string clue;
    bool bClueGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.compare(0, 2, "-C") == 0) {
            const std::string dir = arg.size() > 2 ? arg.substr(2) : i + 1 < args.size() ? args[++i] : "";
            if (dir.empty())
                return UsageError("-C needs a DIR");
            // Like git -C: a relative DIR is taken from the one before.
            dictionaryDir = dictionaryDir.empty() || dir[0] == '/' ? dir : dictionaryDir + "/" + dir;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--help" || arg == "-h") {
                std::fputs(kCliHelp, stdout);
                return kExitOk;
            }
            if (arg == "--version") {
                std::fputs("gridwell-cli " GRIDWELL_VERSION "\n", out);
                return std::fflush(out) == 0 ? kExitOk : kExitFailure;
            }
            if (arg == "--anagram")
                anagram = true;
            else if (arg == "--limit")
                limit = true;
            else if (arg == "--common")
                common = true;
            else if (arg == "--allow-empty")
                allowEmpty = true;
            else if (arg == "--fold-accents")
                foldAccents = true;
            else if (arg == "--phrases")
                phraseFlags.phrases = true;
            else if (arg == "--abbreviations")
                phraseFlags.abbreviations = true;
            else if (arg == "--why")
                why = true;
            else if (arg == "--dictionary" && i + 1 < args.size())
                dictionaryName = args[++i], bDictionaryGiven = true;
            else if (arg == "--dictionary")
                return UsageError("--dictionary needs a NAME");
            else if (arg.rfind("--dictionary=", 0) == 0)
                dictionaryName = arg.substr(13), bDictionaryGiven = true;
            else if (arg == "--clue" && i + 1 < args.size())
                clue = args[++i], bClueGiven = true;
            else if (arg == "--clue")
                return UsageError("--clue needs a value: the clue WORDS");
            else if (arg.rfind("--clue=", 0) == 0)
                clue = arg.substr(7), bClueGiven = true;
            else
                return UsageError(("unknown option " + arg).c_str());
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty())
        return UsageError("no command given");
    const std::string command = positional.front();
    positional.erase(positional.begin());
    if (command != "find" && (anagram || limit || common || bClueGiven || why || phraseFlags.phrases ||
                              phraseFlags.abbreviations))
        return UsageError("--anagram, --limit, --common, --clue, --why, --phrases and --abbreviations go with find");
    if (command != "import" && (allowEmpty || foldAccents))
        return UsageError("--allow-empty and --fold-accents go with import");

    // A meaning needs WordNet only, no dictionary.
    if (command == "meaning") {
        // Blank words would look up nothing and blame the dictionary.
        const bool blank = std::all_of(positional.begin(), positional.end(), [](const std::string& part) {
            return std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isspace(c) != 0; });
        });
        if (blank)
            return UsageError("meaning needs a WORD to look up");
        return MeaningCommand(positional, out);
    }
    if (bDictionaryGiven && !dictionaryDir.empty())
        return UsageError("-C DIR and --dictionary NAME both name the folder: give one");
    if (command == "dictionaries") {
        if (!positional.empty() || bDictionaryGiven || !dictionaryDir.empty())
            return UsageError("dictionaries takes nothing more");
        return ListDictionaries(out);
    }
    if (bDictionaryGiven) {
        if (const int code = UseNamedDictionary(dictionaryName, command == "import"); code != kExitOk)
            return code;
    } else if (dictionaryDir.empty()) {
        RecordDictionaryDir();
    } else {
        // The given folder and no other: no fallback to the user's folder.
        int err = 0;
        const CString resolved = ResolveDirectory(dictionaryDir, err);
        if (resolved.empty()) {
            std::fprintf(stderr, "gridwell-cli: -C %s: %s\n", dictionaryDir.c_str(), std::strerror(err));
            return kExitFailure;
        }
        SetWorkDir(resolved);
    }
    TerminalProgress progress(::isatty(STDERR_FILENO) == 1);
    const MessageSink print = progress.Sink();
    const MessageSink previous = SetMessageSink([&](UINT nID, const CString& text, MsgIcon icon, MsgButtons buttons) {
        const int answer = print(nID, text, icon, buttons);
        if (nID == IDS_CANNOT_OPEN_DICT || nID == IDS_NO_LONGEST_LENGTH)
            std::fprintf(stderr, "gridwell-cli: no dictionary could be read at %s\n"
                         "Make one from a word list with: gridwell-cli import WORDLIST\n",
                         WorkDirPath("dictionary.dat").c_str());
        return answer;
    });
    struct RestoreSink {
        MessageSink previous;
        ~RestoreSink() { SetMessageSink(previous); }
    } restore{previous};

    if (command == "find") {
        if (positional.empty() || positional.size() > 2)
            return UsageError("find takes a PATTERN and optional LETTERS");
        // A search has no worker to cancel: Ctrl-C ends it at once.
        std::signal(SIGINT, SIG_DFL);
        CFindRequest request;
        request.bAnagram = anagram;
        request.pattern = positional[0];
        request.letters = positional.size() > 1 ? positional[1] : std::string();
        request.bLimit = limit;
        request.bCommonFirst = common;
        return Find(request, clue, why, phraseFlags, out);
    }
    if (command == "import") {
        if (positional.size() != 1)
            return UsageError("import takes one FILE");
        ImportOptions options;
        options.bFoldAccents = foldAccents;
        options.emptyList = allowEmpty ? EmptyWordList::Accept : EmptyWordList::Refuse;
        CImportJob job(positional[0], options);
        const JobResult result = job.Run(progress.Runner(), TellOnly());
        ShowJobResult(result);
        ExplainTextFileError(job.TextPath(), result);
        if (job.InvalidUtf8Lines() > 0)
            std::fprintf(stderr, "gridwell-cli: %s %s not UTF-8 and skipped (convert a Latin-1 list first: iconv -f latin1 -t utf-8)\n",
                         FormatThousands(job.InvalidUtf8Lines()).c_str(),
                         job.InvalidUtf8Lines() == 1 ? "line was" : "lines were");
        if (result.closing.nMessage == IDS_EMPTY_WORD_LIST_REFUSED)
            std::fprintf(stderr, "gridwell-cli: to make an empty dictionary all the same, use import --allow-empty\n");
        const bool bCounted = result.end == JobEnd::Done && ReportWordCount();
        if (!job.PhraseError().empty())
            std::fprintf(stderr, "gridwell-cli: the word list's phrases were not kept: %s\n",
                         job.PhraseError().c_str());
        if (result.end == JobEnd::Done && (!bCounted || !job.PhraseError().empty()))
            return kExitFailure;
        return JobExit(result, progress);
    }
    if (command == "export") {
        if (positional.size() != 1)
            return UsageError("export takes one FILE, or - for standard output");
        std::unique_ptr<CExportJob> job;
        if (positional[0] == "-") {
            std::fflush(out);
            job = std::make_unique<CExportJob>(std::make_unique<CFile>(::fileno(out)), CString(1, '-'));
        } else {
            job = std::make_unique<CExportJob>(positional[0]);
        }
        const JobResult result = job->Run(progress.Runner(), TellOnly());
        ShowJobResult(result);
        ExplainTextFileError(job->TextPath(), result);
        return JobExit(result, progress);
    }
    return UsageError(("unknown command " + command).c_str());
}
