// The program's string table: every message, caption and label text that is
// looked up by number.
#pragma once

#include "platform/cstring.h"
#include "platform/message_box.h"
#include "platform/status.h"
#include "res/version.h"

enum : UINT {
    IDS_ABOUTBOX = 101,
    IDS_NO_PATTERN = 102,
    IDS_BAD_PATTERN = 103,
    IDS_BAD_REMAINDER = 104,
    IDS_REMAINDER_TOO_LONG = 105,
    IDS_CANNOT_OPEN_DICT = 106,
    IDS_CANNOT_OPEN_EXCLUSIVE = 107,
    IDS_NO_LONGEST_LENGTH = 108,
    IDS_CANNOT_READ_LENGTHS = 109,
    IDS_CANNOT_READ_DICT = 110,
    IDS_OUT_OF_MEMORY = 111,
    IDS_CANNOT_FIND_LENGTH = 112,
    IDS_INVALID_CHARACTER = 113,
    IDS_LOAD_DICTIONARY = 59142,
    IDS_SAVE_DICTIONARY = 59143,
    IDS_TEXT_EXTENSION = 59144,
    IDS_TEXT_FILTER = 59145,
    IDS_CANNOT_CREATE_TEXT = 59146,
    IDS_DEFAULT_TEXT_NAME = 59147,
    IDS_CANNOT_WRITE_DICT = 59148,
    IDS_SAVE_DONE = 59149,
    IDS_SAVE_CANCELLED = 59150,
    IDS_LOAD_DONE = 59151,
    IDS_LOAD_CANCELLED = 59152,
    IDS_CANNOT_OPEN_TEXT = 59153,
    IDS_CANNOT_SEEK_TEXT = 59154,
    IDS_WRITING_LENGTH = 59155,
    IDS_SAVING_TITLE = 59156,
    IDS_FINDING_LONGEST = 59157,
    IDS_COUNTING_WORDS = 59158,
    IDS_LOADING_TITLE = 59159,
    IDS_NO_MEMORY_FOR_IMPORT = 59160,
    IDS_STORING_WORDS = 59161,
    IDS_SORTING_WORDS = 59162,
    IDS_NO_MATCHES = 59163,
    IDS_CANNOT_OPEN_TEMP = 59164,
    IDS_WRITING_DICTIONARY = 59165,
    IDS_CANNOT_RENAME = 59166,
    IDS_PATTERN_TOO_LONG = 59167,
    // Messages of this port for faults that the file format or the platform
    // make possible.
    IDS_WORD_LIST_TOO_LARGE = 59168,
    IDS_CANNOT_WRITE_TEXT = 59169,
    IDS_WORD_LIST_CHANGED = 59170,
    IDS_CANNOT_START_TASK = 59171,
    // Outcomes of an import or export that did not succeed, other than a
    // cancel, and the question before an empty dictionary replaces the old.
    IDS_LOAD_FAILED = 59200,
    IDS_SAVE_FAILED = 59201,
    IDS_EMPTY_WORD_LIST_QUESTION = 59202,
    IDS_EMPTY_WORD_LIST_REFUSED = 59203,
    // "Common words first" (59180-59189).
    IDS_COMMON_ORDER_UNAVAILABLE = 59180,
    // Malformed patterns and letters (59220-59229): each says what is wrong
    // and at which character; the %s is "pattern" or "remaining letters".
    IDS_SET_NOT_CLOSED = 59220,
    IDS_SET_EMPTY = 59221,
    IDS_SET_BAD_CHARACTER = 59222,
    IDS_SET_BACKWARD_RANGE = 59223,
    IDS_SET_ALLOWS_NOTHING = 59224,
    IDS_STRAY_BRACKET = 59225,
    IDS_ANAGRAM_STAR = 59226,
    IDS_LETTERS_STAR = 59227,
    // Meanings and clue words from the WordNet database.
    IDS_WORDNET_MISSING = 59190,
    IDS_WORDNET_DAMAGED = 59191,
    IDS_NO_MEANING = 59192,
    IDS_MEANING_CAPTION = 59193,
    IDS_CLUE_WORDS_LABEL = 59194,
    IDS_MEANING_MENU = 59195,
    IDS_MEANING_OF = 59196,
    // Phrases and abbreviations (59210-59219).
    IDS_PHRASES_DAMAGED = 59210,
    IDS_PHRASE_STAR = 59211,
    // Ranking by a clue.
    IDS_NO_MEANING_KNOWN = 59230,
    IDS_CLUE_WITHOUT_WORDS = 59231,
    IDS_DEFINITIONS_DAMAGED = 59232,
    // Several dictionaries (59240-59259).
    IDS_DICTIONARY_LABEL = 59240,
    IDS_ADD_WORD_LIST = 59241,
    IDS_NO_INSTALLED_WORD_LISTS = 59242,
    IDS_ENGLISH_DATA_ONLY = 59243,
    IDS_CHOOSE_WORD_LIST = 59244,
    IDS_CHOOSE_WORD_LIST_CAPTION = 59245,
    IDS_FOLD_QUESTION = 59246,
    IDS_HELP_FAILED = 61703,
};

// The text of a string-table entry; empty for an unknown id.
CString LoadStringText(UINT nID);

// Shows string-table entry nID, its text looked up here, through the message
// sink; returns the button chosen (IDOK, IDRETRY or IDCANCEL). Without a sink
// the text goes to stderr and the answer is IDOK, or IDCANCEL for a
// Retry/Cancel question.
int AfxMessageBox(UINT nID, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);

// Shows the status's message the same way (nothing for success) and returns
// the button chosen (IDOK when nothing was shown). For a message with blanks
// to fill ("%d", "%s"), a detail is the message's filled-in text and is
// shown in its place; any other detail (a system's reason) is for callers
// that print it themselves.
int ShowStatus(const Status& status);

// Fixed texts that are not string-table entries.
inline constexpr const char* kAppVersionText = "Gridwell: Version " GRIDWELL_VERSION;
inline constexpr const char* kProgressCaption = "Gwell - working";
inline constexpr const char* kProgressInitialStatus = "Initialising";
inline constexpr const char* kProgressCompleteStatus = "Complete";
