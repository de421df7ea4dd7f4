#include "res/string_table.h"

#include <unordered_map>

namespace {

const std::unordered_map<UINT, const char*>& Table() {
    static const std::unordered_map<UINT, const char*> table = {
        {IDS_ABOUTBOX, "&About Gridwell..."},
        {IDS_NO_PATTERN, "You have not specified a pattern to which a word can be matched."},
        {IDS_BAD_PATTERN,
         "The pattern can only contain upper and lower case characters, and either question marks (?) to "
         "denote unknown letters or numbers (0-9) to denote several consecutive unknown letters."},
        {IDS_BAD_REMAINDER,
         "The wild characters are used to replace unknown characters in the pattern.  Therefore they can only "
         "contain upper or lower case letters."},
        {IDS_REMAINDER_TOO_LONG,
         "The number of characters specified in the remainder exceeds the number of wild characters specified "
         "in the pattern.\n\nNOTE: The remainder should not include characters that are already specified in "
         "the pattern."},
        {IDS_CANNOT_OPEN_DICT,
         "Unable to open the dictionary file for input.  Check that it is in the same directory as the program "
         "and that the 'working directory' is set to the same location."},
        {IDS_CANNOT_OPEN_EXCLUSIVE,
         "Unable to open the dictionary file exclusively.  Another program is using the dictionary - close that "
         "program and then try again."},
        {IDS_NO_LONGEST_LENGTH, "Unable to locate size of longest word in the dictionary."},
        {IDS_CANNOT_READ_LENGTHS, "Unable to read the word lengths from the dictionary file.\n\nThe file may be corrupt."},
        {IDS_CANNOT_READ_DICT,
         "Cannot read data from dictionary file.\n\nPlease close down the application immediately and restart."},
        {IDS_OUT_OF_MEMORY, "Cannot allocate enough memory to run."},
        {IDS_CANNOT_FIND_LENGTH,
         "Failed to find the place in the dictionary where words of the specified length start."},
        {IDS_INVALID_CHARACTER, "Invalid character detected within the dictionary.\n\nThe file may be corrupt."},
        {IDS_LOAD_DICTIONARY, "&Load Dictionary from file..."},
        {IDS_SAVE_DICTIONARY, "&Save Dictionary to file..."},
        {IDS_TEXT_EXTENSION, "txt"},
        {IDS_TEXT_FILTER, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"},
        {IDS_CANNOT_CREATE_TEXT, "Failed to open file to save dictionary."},
        {IDS_DEFAULT_TEXT_NAME, "dictionary"},
        {IDS_CANNOT_WRITE_DICT,
         "Cannot write data to the dictionary file.\n\nPlease close down the application immediately and restart."},
        {IDS_SAVE_DONE, "Dictionary was successfully saved to file."},
        {IDS_SAVE_CANCELLED, "Saving of the dictionary file was cancelled by the user."},
        {IDS_LOAD_DONE, "Dictionary was successfully loaded from file."},
        {IDS_LOAD_CANCELLED, "Loading of the dictionary from file was cancelled by the user."},
        {IDS_CANNOT_OPEN_TEXT, "Failed to open file from which to load the dictionary."},
        {IDS_CANNOT_SEEK_TEXT, "Failed to seek to start of text file being used as a dictionary."},
        {IDS_WRITING_LENGTH, "Writing out %d-letter words"},
        {IDS_SAVING_TITLE, "Saving dictionary..."},
        {IDS_FINDING_LONGEST, "Reading file to find longest word..."},
        {IDS_COUNTING_WORDS, "Counting words and their lengths..."},
        {IDS_LOADING_TITLE, "Loading dictionary..."},
        {IDS_NO_MEMORY_FOR_IMPORT,
         "Failed to allocate sufficient memory to rebuild dictionary.\n\nTry quitting some applications and "
         "having another go."},
        {IDS_STORING_WORDS, "Read words into memory..."},
        {IDS_SORTING_WORDS, "Sorting dictionay into correct order..."},
        {IDS_NO_MATCHES, "No matching words found"},
        {IDS_CANNOT_OPEN_TEMP, "Failed to open a temporary version of the dictionary."},
        {IDS_WRITING_DICTIONARY, "Writing out dictionary..."},
        {IDS_CANNOT_RENAME,
         "Failed to rename dictionary from the temporary filename to the correct one.  Please check that there "
         "are no other instances of this program running."},
        {IDS_PATTERN_TOO_LONG, "The word you are attempting to find is longer than any of the words in the dictionary."},
        {IDS_WORD_LIST_TOO_LARGE,
         "The word list was refused: it is too large for a dictionary file.  A dictionary holds at most "
         "16,777,215 words of one length, and every length must start within its first 16,777,216 bytes.\n\n"
         "The dictionary was not changed."},
        {IDS_CANNOT_WRITE_TEXT,
         "Cannot write to the text file.  The disk may be full.\n\nThe text file was not completed."},
        {IDS_WORD_LIST_CHANGED,
         "The word list file changed while it was being read.\n\nThe dictionary was not changed.  Try again "
         "once nothing else is writing to the file."},
        {IDS_CANNOT_START_TASK, "Unable to start the background task.\n\nNothing was changed."},
        {IDS_LOAD_FAILED, "Loading of the dictionary from file failed.\n\nThe dictionary was not changed."},
        {IDS_SAVE_FAILED, "Saving of the dictionary to file failed.\n\nNo file was replaced."},
        {IDS_EMPTY_WORD_LIST_QUESTION,
         "The word list holds no words, so the new dictionary would be empty and every search would fail.  A "
         "line is a word when it holds 2 to 255 letters A to Z and nothing else (a list saved as UTF-16, a "
         "binary file or a list of phrases has none).\n\nReplace the dictionary with an empty one?"},
        {IDS_EMPTY_WORD_LIST_REFUSED,
         "The word list holds no words, so the dictionary was not replaced.  A line is a word when it holds 2 "
         "to 255 letters A to Z and nothing else (a list saved as UTF-16, a binary file or a list of phrases "
         "has none)."},
        {IDS_HELP_FAILED, "Failed to launch help."},
        {IDS_COMMON_ORDER_UNAVAILABLE,
         "The table of common words is missing or damaged, so the words are listed in dictionary order."},
        {IDS_WORDNET_MISSING,
         "Meanings and clue words need the WordNet database (Debian package wordnet-base), which cannot be "
         "found or read.\n\nFind without clue words works as before."},
        {IDS_WORDNET_DAMAGED,
         "The WordNet database is damaged, so meanings and clue words are not available.  Reinstalling the "
         "Debian package wordnet-base repairs it."},
        {IDS_SET_NOT_CLOSED, "The letter set that starts at character %d of the %s has no closing ]."},
        {IDS_SET_EMPTY,
         "The letter set at character %d of the %s names no letter: put the letters the square may hold "
         "between [ and ], as in [sz], or after [! or [^ the letters it may not hold."},
        {IDS_SET_BAD_CHARACTER,
         "The letter set that starts at character %d of the %s holds %s at character %d: a set takes "
         "letters and ranges such as a-e, after an optional ! or ^."},
        {IDS_SET_BACKWARD_RANGE, "The range %c-%c at character %d of the %s runs backwards: write it %c-%c."},
        {IDS_SET_ALLOWS_NOTHING, "The letter set at character %d of the %s leaves no letter for the square."},
        {IDS_STRAY_BRACKET, "The ] at character %d of the %s closes no letter set."},
        {IDS_ANAGRAM_STAR,
         "An anagram has a fixed number of letters, so the * at character %d of the pattern cannot be used in "
         "one.  Use ? for each free letter."},
        {IDS_LETTERS_STAR,
         "Each remaining letter fills one square, so the * at character %d of the remaining letters cannot be "
         "used there."},
        {IDS_NO_MEANING, "No meaning found for %s."},
        {IDS_NO_MEANING_KNOWN, "No meaning known for %s"},
        {IDS_DEFINITIONS_DAMAGED,
         "Gridwell's definition index (definitions.idx) is damaged: a clue ranks by WordNet's links alone.  "
         "Reinstalling Gridwell repairs it."},
        {IDS_CLUE_WITHOUT_WORDS, "The clue holds no words to look up: every fitting word is listed."},
        {IDS_MEANING_CAPTION, "Meaning"},
        {IDS_CLUE_WORDS_LABEL, "Cl&ue:"},
        {IDS_MEANING_MENU, "&Meaning"},
        {IDS_MEANING_OF, "Meaning of %s"},
        {IDS_DICTIONARY_LABEL, "&Dictionary:"},
        {IDS_ADD_WORD_LIST, "Add from installed word lists..."},
        {IDS_NO_INSTALLED_WORD_LISTS,
         "No word list is installed in /usr/share/dict.  Debian's word-list packages, such as wfrench, "
         "wngerman or wspanish, put them there."},
        {IDS_ENGLISH_DATA_ONLY,
         "Meanings, clue words and Common words first use English data, so with the %s dictionary they find "
         "little or nothing.  Find itself works as ever."},
        {IDS_CHOOSE_WORD_LIST,
         "Choose a word list.  Gridwell makes a dictionary of its own from it, with accented letters folded "
         "to plain ones (\xC3\x89 to E)."},
        {IDS_CHOOSE_WORD_LIST_CAPTION, "Add from installed word lists"},
        {IDS_FOLD_QUESTION, "%s words have accented letters. Fold them to plain letters (\xC3\x89 \xE2\x86\x92 E)?"},
        {IDS_PHRASES_DAMAGED,
         "A phrase file or the abbreviation list is damaged, so some phrases may be missing.  Importing your "
         "word list again, or reinstalling Gridwell, repairs it."},
        {IDS_PHRASE_STAR,
         "A pattern with word breaks gives the length of each word, so the * in its part \"%s\" cannot be "
         "used there.  Use ? for each free letter, or leave out the breaks."},
    };
    return table;
}

}  // namespace

CString LoadStringText(UINT nID) {
    const auto& table = Table();
    const auto it = table.find(nID);
    return it == table.end() ? CString() : CString(it->second);
}

int AfxMessageBox(UINT nID, MsgIcon icon, MsgButtons buttons) {
    return AfxMessageBox(nID, LoadStringText(nID), icon, buttons);
}

int ShowStatus(const Status& status) {
    if (status.Succeeded())
        return IDOK;
    CString text = LoadStringText(status.nMessage);
    if (!status.detail.empty() && text.find('%') != CString::npos)
        text = status.detail;
    return AfxMessageBox(status.nMessage, text, status.icon);
}
