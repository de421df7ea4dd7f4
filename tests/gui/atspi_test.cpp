// The solutions list as a screen reader reads it: over AT-SPI, from another
// process, while the program runs its event loop.
#include <sys/stat.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/process.h>
#include <wx/sstream.h>
#include <wx/tokenzr.h>
#include <wx/txtstrm.h>
#include <wx/utils.h>

#include <cstdlib>

#include <wx/textctrl.h>

#include "tests/gui/main_dlg_fixture.h"
#include "tests/wordnet/wordnet_test_db.h"

using Strings = std::vector<std::string>;

namespace {

// Runs the reader script against this process once; its lines, and what it
// said on stderr in `err`.
Strings ReadOnce(int* exitCode, wxString& err);

// The reader's lines. A reader that could not reach the accessibility bus
// (it is started on demand, and is slow to answer on a loaded machine) ends
// on a signal having printed nothing: it is run again, up to three times.
Strings ReadOverAtSpi(int* exitCode) {
    wxString err;
    Strings lines;
    for (int attempt = 0; attempt < 3; ++attempt) {
        err.clear();
        lines = ReadOnce(exitCode, err);
        if (*exitCode >= 0 || !lines.empty())
            break;
        Settle(500);
    }
    if (!err.Strip(wxString::both).empty())
        ADD_FAILURE() << "reader said: " << err.utf8_string();
    return lines;
}

Strings ReadOnce(int* exitCode, wxString& err) {
    auto* process = new wxProcess(wxPROCESS_REDIRECT);
    bool ended = false;
    int status = -1;
    process->Bind(wxEVT_END_PROCESS, [&ended, &status](wxProcessEvent& event) {
        status = event.GetExitCode();
        ended = true;
    });
    const wxString command = wxString::Format("/usr/bin/python3 %s/read_solutions.py %ld", GRIDWELL_GUI_TEST_DIR,
                                              static_cast<long>(::getpid()));
    Strings lines;
    if (wxExecute(command, wxEXEC_ASYNC, process) == 0) {
        delete process;
        *exitCode = -1;
        return lines;
    }
    // The reader asks this process for the list's rows: keep answering.
    wxString out;
    auto drain = [&]() {
        while (process->IsInputAvailable())
            out += wxTextInputStream(*process->GetInputStream()).ReadLine() + "\n";
        while (process->IsErrorAvailable())
            err += wxTextInputStream(*process->GetErrorStream()).ReadLine() + "\n";
    };
    WaitFor([&]() {
        drain();
        return ended;
    }, 60000);
    drain();
    *exitCode = ended ? status : -2;
    wxStringTokenizer tokens(out, "\n");
    while (tokens.HasMoreTokens()) {
        const wxString line = tokens.GetNextToken();
        if (!line.empty())
            lines.push_back(line.utf8_string());
    }
    if (!ended)
        process->Detach();
    else
        delete process;
    return lines;
}

}  // namespace

using AtSpiTest = MainDlgTest;

// One dialog for the whole test: the reader walks the program's whole
// accessible tree, and windows of earlier tests would only be in its way.
TEST_F(AtSpiTest, ScreenReaderReadsTheWordsFindListed) {
    Find("??t?", "ea");
    ASSERT_EQ(Rows(), (Strings{"DATE", "GATE", "MATE"}));
    Settle(100);
    int exitCode = 0;
    Strings lines = ReadOverAtSpi(&exitCode);
    ASSERT_EQ(exitCode, 0);
    EXPECT_EQ(lines, (Strings{"Solutions:", "DATE", "GATE", "MATE"}));

    // A new search: the reader sees the new rows, here the one message row.
    Find("x?x");
    Settle(100);
    lines = ReadOverAtSpi(&exitCode);
    ASSERT_EQ(exitCode, 0);
    EXPECT_EQ(lines, (Strings{"Solutions:", "No matching words found"}));

    // A Find by a clue: each word's reason is read after it.
    // (In the test's scratch folder: a second ScratchDir would become the
    // working directory.)
    const std::string wordnet = m_dir->File("wordnet");
    ::mkdir(wordnet.c_str(), 0700);
    SampleWordNet().WriteTo(wordnet);
    ::setenv("WNSEARCHDIR", wordnet.c_str(), 1);
    m_dlg->ClueEdit()->ChangeValue("feline");
    Find("c?t");
    ::unsetenv("WNSEARCHDIR");
    Settle(100);
    lines = ReadOverAtSpi(&exitCode);
    ASSERT_EQ(exitCode, 0);
    EXPECT_EQ(lines, (Strings{"Solutions:", "CAT\ta kind of feline", "COT", "CUT"}));
}
