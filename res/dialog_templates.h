// The dialog templates of the desktop program: control ids, texts and
// rectangles in dialog units (1/4 of the average character width across,
// 1/8 of the character height down), as the windows lay themselves out.
#pragma once

namespace tmpl {

struct Rect {
    int x, y, cx, cy;
};

// Main dialog (template 102): 300 x 130, caption "Gridwell", grown at the
// bottom by one row for the line that counts a Find's words, by 28 more
// for the clue box, by 12 for the phrase options (beside which a note names
// the clue's words that WordNet does not know) and by 16 for the dictionary
// choice.
namespace main_dlg {
inline constexpr int kWidth = 300;
inline constexpr int kHeight = 199;
inline constexpr const char* kCaption = "Gridwell";

inline constexpr int IDC_MATCHING = 1000;
inline constexpr int IDC_ANAGRAM = 1001;
inline constexpr int IDC_LIMIT = 1002;
inline constexpr int IDC_PATTERN = 1003;
inline constexpr int IDC_LETTERS = 1004;
inline constexpr int IDC_SOLUTIONS = 1005;
inline constexpr int IDC_FIND = 1007;
inline constexpr int IDC_COUNT = 1011;
inline constexpr int IDC_COMMON = 1012;
inline constexpr int IDC_CLUE = 1013;
inline constexpr int IDC_PHRASES = 1014;
inline constexpr int IDC_ABBREVIATIONS = 1015;
inline constexpr int IDC_CLUE_NOTE = 1016;
inline constexpr int IDC_DICTIONARY = 1017;
inline constexpr int IDC_EXIT = 2;  // IDCANCEL
// The template's ID_HELP (57670) is beyond the window ids that GTK windows
// take; the Help button carries the toolkit's own help id instead.
inline constexpr int IDC_HELP_TEMPLATE = 57670;

inline constexpr Rect kSearchTypeBox{4, 4, 71, 41};
inline constexpr Rect kMatching{10, 15, 60, 8};
inline constexpr Rect kAnagram{10, 30, 52, 8};
inline constexpr Rect kLimit{5, 50, 70, 8};
inline constexpr Rect kPatternLabel{5, 65, 60, 8};
inline constexpr Rect kPattern{5, 75, 136, 94};  // the height includes the dropped list
inline constexpr Rect kLettersLabel{5, 95, 60, 8};
inline constexpr Rect kLetters{5, 105, 135, 15};
inline constexpr Rect kSolutionsLabel{145, 5, 37, 8};
inline constexpr Rect kSolutions{145, 15, 150, 133};  // 105 high before the clue box
inline constexpr Rect kFind{85, 10, 52, 14};
inline constexpr Rect kExit{85, 30, 52, 14};
inline constexpr Rect kHelp{85, 50, 52, 14};
// The rows the dialog gained: the clue words box under the remaining letters,
// and below it the count line under the solutions.
inline constexpr Rect kClueLabel{5, 124, 60, 8};
inline constexpr Rect kClue{5, 134, 135, 15};
inline constexpr Rect kCount{145, 154, 150, 8};
inline constexpr Rect kCommon{5, 154, 90, 10};  // the bottom row, left of the count line
// Under it, the options that add phrases and abbreviations to a Find.
inline constexpr Rect kPhrases{5, 168, 60, 10};
inline constexpr Rect kAbbreviations{70, 168, 75, 10};
// Under the count: the clue's words that WordNet does not know.
inline constexpr Rect kClueNote{145, 164, 150, 8};
// Under them, which dictionary the window searches.
inline constexpr Rect kDictionaryLabel{5, 185, 45, 8};
inline constexpr Rect kDictionary{52, 182, 143, 14};

inline constexpr const char* kSearchTypeText = "Search type";
inline constexpr const char* kMatchingText = "&Matching word";
inline constexpr const char* kAnagramText = "&Anagram";
inline constexpr const char* kLimitText = "&Limit to 100 words";
inline constexpr const char* kPatternLabelText = "&Pattern to match:";
inline constexpr const char* kLettersLabelText = "&Remaining letters:";
inline constexpr const char* kSolutionsLabelText = "&Solutions:";
inline constexpr const char* kFindText = "&Find";
inline constexpr const char* kExitText = "E&xit";
inline constexpr const char* kHelpText = "&Help";
inline constexpr const char* kCommonText = "&Common words first";
inline constexpr const char* kPhrasesText = "Phras&es";  // Alt+P and Alt+A are the pattern's and Anagram's
inline constexpr const char* kAbbreviationsText = "A&bbreviations";
}  // namespace main_dlg

// About box (template 100): 180 x 57, caption "About Gridwell".
namespace about_dlg {
inline constexpr int kWidth = 180;
inline constexpr int kHeight = 57;
inline constexpr const char* kCaption = "About Gridwell";

inline constexpr int IDC_OK = 1;  // IDOK
inline constexpr int IDC_PICTURE = 1006;

inline constexpr Rect kVersion{60, 4, 108, 8};
inline constexpr Rect kNotice{60, 22, 64, 8};
inline constexpr Rect kOk{132, 36, 44, 14};
inline constexpr Rect kName{60, 40, 64, 8};
inline constexpr Rect kPicture{4, 4, 56, 52};

inline constexpr const char* kNoticeText = "A crossword solver's aid";
inline constexpr const char* kNameText = "Gridwell team";
inline constexpr const char* kOkText = "OK";
}  // namespace about_dlg

// Progress dialog (template 130): 192 x 61, caption "Gwell - working".
namespace progress_dlg {
inline constexpr int kWidth = 192;
inline constexpr int kHeight = 61;

inline constexpr int IDC_CANCEL = 2;  // IDCANCEL
inline constexpr int IDC_STATUS = 1008;
inline constexpr int IDC_PERCENT = 1009;
inline constexpr int IDC_BAR = 1010;

inline constexpr Rect kCancel{70, 40, 50, 14};
inline constexpr Rect kStatus{5, 8, 150, 12};
inline constexpr Rect kPercent{165, 8, 20, 12};
inline constexpr Rect kBar{5, 20, 180, 10};

inline constexpr const char* kCancelText = "Cancel";
inline constexpr int kTimerId = 1;
inline constexpr int kTimerMs = 600;
}  // namespace progress_dlg

// The program's commands in its window menu (multiples of 16), and the
// window commands that share that menu.
namespace sys_cmd {
inline constexpr unsigned IDM_ABOUTBOX = 16;
inline constexpr unsigned IDM_LOADDICT = 32;
inline constexpr unsigned IDM_SAVEDICT = 48;
inline constexpr unsigned SC_SIZE = 0xF000;
inline constexpr unsigned SC_MOVE = 0xF010;
inline constexpr unsigned SC_MINIMIZE = 0xF020;
inline constexpr unsigned SC_MAXIMIZE = 0xF030;
inline constexpr unsigned SC_CLOSE = 0xF060;
inline constexpr unsigned SC_RESTORE = 0xF120;
}  // namespace sys_cmd

}  // namespace tmpl
