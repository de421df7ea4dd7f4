// Folding accented Latin letters to A-Z: in word-list text read a buffer at a
// time, in a word list read with folding, and in typed queries.
#include <string>
#include <vector>

#include "maintenance/word_list_file.h"
#include "tests/test_support.h"
#include "text/letter_folding.h"

namespace {

// Folds `text` cut into pieces of `piece` bytes, as the reader's buffers cut
// it, carrying a cut sequence over to the next piece.
std::string FoldInPieces(const std::string& text, size_t piece, LetterFoldState& state) {
    std::string out, pending;
    for (size_t at = 0; at <= text.size(); at += piece) {
        const bool bFinal = at + piece >= text.size();
        std::string in = pending + text.substr(at, piece);
        std::string folded(in.size(), '\0');
        size_t nOut = 0;
        const size_t taken = FoldWordListText(reinterpret_cast<const unsigned char*>(in.data()), in.size(), bFinal,
                                              reinterpret_cast<unsigned char*>(folded.data()), nOut, state);
        out += folded.substr(0, nOut);
        pending = in.substr(taken);
        if (bFinal)
            break;
    }
    EXPECT_TRUE(pending.empty());
    return out;
}

const std::string kNot(1, static_cast<char>(kNotALetter));

std::string Fold(const std::string& text) {
    LetterFoldState state;
    return FoldInPieces(text, text.size() + 1, state);
}

TEST(LetterFolding, MarksAreDroppedAndLettersWithoutDecompositionFoldByTable) {
    EXPECT_EQ(Fold("\xC3\xA9t\xC3\xA9\n"), "EtE\n");                    // été
    EXPECT_EQ(Fold("a\xC3\xB1o fa\xC3\xA7" "ade \xC3\xA5"), "aNo faCade A");  // año façade å
    EXPECT_EQ(Fold("Stra\xC3\x9F" "e"), "StraSSe");                      // Straße
    EXPECT_EQ(Fold("\xC3\xA6 \xC5\x93 \xC3\xB8 \xC5\x82 \xC3\xB0 \xC3\xBE"), "AE OE O L D TH");
    EXPECT_EQ(Fold("\xE1\xBA\x9E \xE1\xBB\x87"), "SS E");  // capital sharp s, e with circumflex and dot below
    // The first and one of the last two-byte letters the table holds, and
    // the first past it (IPA, no letter of any grid).
    EXPECT_EQ(Fold("\xC3\x80\xC8\xA9\xC9\x90"), "AE" + kNot);
    // Decomposed text: the combining acute accent after e is dropped.
    EXPECT_EQ(Fold("e\xCC\x81t\xC3\xA9"), "etE");
    // Not Latin letters: a Greek alpha, a right single quote, an emoji.
    EXPECT_EQ(Fold("\xCE\xB1|\xE2\x80\x99|\xF0\x9F\x98\x80"), kNot + "|" + kNot + "|" + kNot);
}

TEST(LetterFolding, BytesThatAreNotUtf8RejectTheirLineAndAreCounted) {
    LetterFoldState state;
    // Latin-1 "été", an overlong '/', a surrogate, a stray continuation byte,
    // then a good line; the last line is cut short by the end of the input.
    const std::string text = "\xE9t\xE9\r\n\xC0\xAF\nx\xED\xA0\x80\nok\n\x80\nfine\n\xC3";
    const std::string folded = FoldInPieces(text, 1000, state);
    EXPECT_EQ(folded, kNot + "t" + kNot + "\r\n" + kNot + kNot + "\nx" + kNot + kNot + kNot + "\nok\n" + kNot +
                          "\nfine\n" + kNot);
    EXPECT_EQ(state.nInvalidLines, 5);
}

TEST(LetterFolding, ASequenceCutByTheBufferIsFoldedWhole) {
    const std::string text = "caf\xC3\xA9\nna\xC3\xAFve\n\xE1\xBA\x9E\xE1\xBA\x9E\nplain ascii text here\n";
    for (size_t piece = 1; piece <= text.size(); ++piece) {
        LetterFoldState state;
        EXPECT_EQ(FoldInPieces(text, piece, state), "cafE\nnaIve\nSSSS\nplain ascii text here\n") << piece;
        EXPECT_EQ(state.nInvalidLines, 0) << piece;
    }
}

TEST(LetterFolding, QueriesFoldTheirLettersAndKeepEverythingElse) {
    EXPECT_EQ(FoldQueryLetters("caf\xC3\xA9"), "cafE");
    EXPECT_EQ(FoldQueryLetters("stra\xC3\x9F?"), "straSS?");
    EXPECT_EQ(FoldQueryLetters("e\xCC\x81?[\xC3\xA0-c]"), "e?[A-c]");
    EXPECT_EQ(FoldQueryLetters("c?t"), "c?t");
    // What folds to no letter stays as typed, for the query's own refusal.
    EXPECT_EQ(FoldQueryLetters("\xCE\xB1?\xE9"), "\xCE\xB1?\xE9");
}

std::vector<std::string> ReadFolded(const ScratchDir& dir, const std::string& contents, int64_t& invalidLines) {
    dir.Write("list.txt", contents);
    CWordListFile reader;
    reader.SetFoldAccents(true);
    EXPECT_TRUE(reader.Open(dir.File("list.txt"), CFile::modeRead | CFile::shareDenyNone));
    const WordListPasses passes = ReadWordListPasses(reader);
    invalidLines = reader.InvalidUtf8Lines();
    return passes.words;
}

TEST(LetterFolding, AWordListReadWithFoldingKeepsTheLinesThatFoldToLetters) {
    ScratchDir dir;
    int64_t invalid = -1;
    // A byte-order mark, accented words, a Latin-1 line, a line with an
    // apostrophe, and a word whose é the reader's first buffer cuts.
    const std::string start =
        "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\nete\nc\xE9" "dille\naujourd\xE2\x80\x99hui\nStra\xC3\x9F" "e\n";
    const std::string filler(CWordListFile::kBufferSize - start.size() - 5, 'x');
    const std::string list = start + filler + "\nabc\xC3\xA9" "d\n";
    ASSERT_EQ(list.substr(CWordListFile::kBufferSize - 1, 2), "\xC3\xA9");
    const std::vector<std::string> words = ReadFolded(dir, list, invalid);
    EXPECT_EQ(words, (std::vector<std::string>{"ETE", "ETE", "STRASSE", "ABCED"}));
    EXPECT_EQ(invalid, 1);
}

}  // namespace
