// Any bytes as a text word list, through the whole import: the five phases
// on the worker thread and the replacement of dictionary.dat. An input this
// small is always within the file format's limits, so the import must
// succeed; the new dictionary must decode to exactly the sorted distinct
// accepted words and hold exactly the bytes the format gives for them, and no
// temporary file may be left behind.
#include "dictionary/dictionary.h"
#include "fuzz/fuzz_support.h"
#include "maintenance/import_job.h"
#include "res/string_table.h"

namespace {

// The dictionary that each import replaces: CRANE, CRANK, CRATE.
const std::string kOldDictionary(
    "\x14\x40\xD2\x71\x5B\x99\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x03\x00\x00\x00"
    "\x05",
    35);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzz::Check;
    fuzz::Env& env = fuzz::Env::Get();
    const std::string text(reinterpret_cast<const char*>(data), size);
    env.Write("dictionary.dat", kOldDictionary);
    env.Write("words.txt", text);
    env.ClearMessages();

    // A list without words gives an empty dictionary here, as it may.
    ImportOptions options;
    options.emptyList = EmptyWordList::Accept;
    CImportJob job(env.File("words.txt"), std::move(options));
    JobPrompts prompts;
    prompts.tell = [](const Status& status) { ShowStatus(status); };
    const UINT result = ShowJobResult(job.Run(fuzz::RunWithoutDisplay, prompts));
    const std::vector<UINT> messages = env.Messages();
    Check(result == IDS_LOAD_DONE, "the import was refused: message " + std::to_string(result));
    Check(messages == std::vector<UINT>{IDS_LOAD_DONE}, "the import showed a message besides its outcome");
    Check(!env.Exists("dictionary.$$$"), "the temporary file was left behind");

    const std::vector<std::vector<std::string>> accepted = fuzz::AcceptedWords(text);
    Check(fuzz::ListAllWords() == accepted, "the new dictionary does not decode to the accepted words");
    Check(env.Read("dictionary.dat") == fuzz::EncodeDictionary(accepted), "the new dictionary's bytes are wrong");
    Check(env.Messages() == messages, "reading the new dictionary showed a message");
    return 0;
}
