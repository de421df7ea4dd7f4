#include "cli/meaning_command.h"

#include "cli/cli_commands.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "wordnet/wordnet_session.h"

int MeaningCommand(const std::vector<std::string>& words, std::FILE* out) {
    std::string word;
    for (const std::string& part : words)
        word += (word.empty() ? "" : " ") + part;
    CWordNetSession session;
    const CWordNetSession::Meaning meaning = session.LookUp(word);
    if (meaning.status != WnStatus::ok) {
        AfxMessageBox(CWordNetSession::MessageFor(meaning.status), CWordNetSession::IconFor(meaning.status));
        return kExitFailure;
    }
    if (!meaning.bFound) {
        std::fprintf(stderr, "%s\n", meaning.text.c_str());
        return kExitNoMatch;
    }
    std::fwrite(meaning.text.data(), 1, meaning.text.size(), out);
    if (std::fflush(out) != 0 || std::ferror(out)) {
        std::fprintf(stderr, "gridwell-cli: cannot write the meaning to the output\n");
        return kExitFailure;
    }
    return kExitOk;
}
