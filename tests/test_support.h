// Helpers shared by the test binaries.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "maintenance/job_result.h"
#include "platform/cstring.h"
#include "platform/message_box.h"

// A fresh directory for one test, made the program's working directory for
// the dictionary files; removed with everything in it afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    void Write(const std::string& name, const std::string& contents) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::string m_path;
};

struct RecordedMessage {
    UINT id;
    MsgIcon icon;
    MsgButtons buttons;
    bool operator==(const RecordedMessage&) const = default;
};

// Records every message box while it lives; answers Retry/Cancel and Yes/No
// questions from a queue of answers (IDCANCEL or IDNO when it is empty).
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    std::vector<RecordedMessage> Messages() const;
    std::vector<UINT> Ids() const;
    void Clear();
    void QueueAnswer(int answer);

private:
    struct State;
    State* m_state;
    MessageSink m_previous;
};

// The packed bytes of a dictionary built from these words, through the real
// import in the current working directory; leaves dictionary.dat there.
std::string BuildDictionary(const ScratchDir& dir, const std::vector<std::string>& words);
// Shows a status in a failed expectation: its id, icon and detail.
void PrintTo(const Status& status, std::ostream* os);
// A job's prompts as the desktop program gives them, through the message
// sink: what stopped a worker is shown, and questions are asked.
JobPrompts PromptsThroughMessageBox();
// Runs the whole import of `wordListPath` headless, showing its messages;
// returns the last message id.
UINT ImportHeadless(const std::string& wordListPath);
// Runs the whole export headless to `path`; returns the last message id.
UINT ExportHeadless(const std::string& path);
// All words of dictionary.dat in stored order, read through list-all mode,
// showing what went wrong as the front ends do.
std::vector<std::string> ReadAllWords();
class CDictionary;
// As the window and the command line do with what the engine returns: shows
// a failed status (nothing for success); true when it succeeded.
bool ShowIfFailed(const Status& status);
// Has `dict` show each block failure and notice as its walk meets them, as
// they do too.
void ShowWalkFailures(CDictionary& dict);
class CWordListFile;
// What the import's reading passes take from an opened word list: its words
// in the order read (each length's stored words, before sorting, put back in
// the order of the lengths pass) and the byte counter after each word.
struct WordListPasses {
    std::vector<std::string> words;
    std::vector<int64_t> bytesAfterWord;
    int64_t bytes = 0;    // the counter at the end of a pass
    int64_t length = -1;  // the file's length as measured
    bool inputChanged = false;
};
// Runs a lengths pass, counts what it found, and stores the words in a
// second pass; checks on the way that both passes agree.
WordListPasses ReadWordListPasses(CWordListFile& reader);
// Bytes as hexadecimal, two digits a byte, separated by blanks.
std::string Hex(const std::string& bytes);

// What one query on dictionary.dat of the current folder gave: whether it
// was prepared, its matches, and the messages shown with their texts.
struct QueryOutcome {
    bool prepared = false;
    std::vector<std::string> words;
    std::vector<UINT> messages;
    std::vector<std::string> texts;
    int resultCount = -1;
};
QueryOutcome RunQuery(const std::string& pattern, const std::string& letters = "", bool anagram = false,
                      bool limit = false);

// While it lives, every search consults the seek index, however few words
// its block has (dictionaries made in tests are small).
class SeekIndexForEveryBlock {
public:
    SeekIndexForEveryBlock();
    ~SeekIndexForEveryBlock();
};
