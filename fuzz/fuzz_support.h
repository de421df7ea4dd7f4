// Shared pieces of the fuzz targets: a scratch working directory for the
// dictionary files, a message sink that records instead of printing, and
// small independent reference implementations that the targets check the
// engine against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/cstring.h"

class CProgressDlg;

namespace fuzz {

// The process-wide fuzzing environment, made on first use: a private
// directory that is the program's working directory, and the recording sink.
class Env {
public:
    static Env& Get();
    const std::string& Dir() const { return m_dir; }
    std::string File(const std::string& name) const { return m_dir + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    void Remove(const std::string& name) const;

    // Message ids shown since the last ClearMessages (any thread).
    std::vector<UINT> Messages() const;
    void ClearMessages();

private:
    Env();
    std::string m_dir;
};

// Aborts with a description when `ok` is false, so libFuzzer records the input.
void Check(bool ok, const char* what);
void Check(bool ok, const std::string& what);

// Splits fuzz input into small typed fields; reads past the end give zeros.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // A length byte (taken modulo maxLength + 1), then that many bytes.
    std::string Text(size_t maxLength);
    std::string Rest();

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Runs the progress protocol until the worker completes or stops, without a
// window and without sleeping between ticks.
int RunWithoutDisplay(CProgressDlg& dlg);

// Every word of dictionary.dat per length (index = length) as list-all mode
// of the search machinery returns them; empty when the file cannot be opened.
// *pDamaged (when given) tells whether some length block could not be found
// or decoded whole.
std::vector<std::vector<std::string>> ListAllWords(bool* pDamaged = nullptr);

// Reference word-list reader, in the file's order: the lines (CR and LF end
// lines) that have 2 to 255 characters, all ASCII letters, upper-cased.
std::vector<std::string> AcceptedLines(const std::string& text);
// The same lines per length (index = length), sorted, each word once.
std::vector<std::vector<std::string>> AcceptedWords(const std::string& text);
// The same from lines AcceptedLines gave.
std::vector<std::vector<std::string>> WordsByLength(std::vector<std::string> lines);

// Reference writer: the exact bytes of a dictionary holding these words
// (per length, sorted and distinct).
std::string EncodeDictionary(const std::vector<std::vector<std::string>>& wordsByLength);

}  // namespace fuzz
