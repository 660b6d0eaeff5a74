// Every text zibconv's program prints of its own, and its exit statuses,
// in one place. The rooms below word their own findings (tables/, check/,
// workbooks/, review/).
#pragma once

#include "document/ProblemListFile.h"
#include "model/SetCounts.h"
#include "zibconv/anki/AnkiDeck.h"
#include "zibconv/gift/GiftWriter.h"
#include "zibconv/qti/QtiWriter.h"

#include <cstddef>
#include <string>
#include <vector>

// 0 done; 1 the input was read but refused (or, for check, the editor
// would lose something), or the output could not be written; 2 the input
// cannot be read at all; 64 no valid use of the command line.
constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitUsage = 64;

namespace message {

// The command line.
inline constexpr const char* kNoCommand = "コマンドがありません";
inline constexpr const char* kUnknownCommand = "知らないコマンドです";
inline constexpr const char* kUnknownOption = "知らないオプションです";
inline constexpr const char* kNoInput = "入力ファイルを書いてください";
inline constexpr const char* kTooManyFiles = "ファイルが多すぎます";
inline constexpr const char* kEncodingMissing = "--encoding の後に utf-8 か shift_jis を書いてください";
inline constexpr const char* kEncodingUnknown = "--encoding には utf-8 か shift_jis を書いてください";
inline constexpr const char* kCheckOnlyOptions = "--strict と --json は check にだけ付けられます";
inline constexpr const char* kPageHasNoEncoding = "ページは UTF-8 だけで書き出すため、--encoding は付けられません";
inline constexpr const char* kGiftHasNoEncoding = "GIFT ファイルは UTF-8 だけで書き出すため、--encoding は付けられません";
inline constexpr const char* kAnkiHasNoEncoding = "Anki のデッキは UTF-8 だけで書き出すため、--encoding は付けられません";
inline constexpr const char* kQtiHasNoEncoding = "QTI パッケージは UTF-8 だけで書き出すため、--encoding は付けられません";
inline constexpr const char* kUsage = "使い方:";
inline constexpr const char* kUsageOfDroppedFile =
    "  zibconv FILE                 (FILE が .xml なら export、.csv .tsv .txt .xlsx なら import)";
// "check には --force を付けられません"
std::string optionNotTaken(const char* command, const char* option);
// "--version の後には何も書けません"
std::string nothingAfter(const std::string& option);
// The help after the usage, line by line; %FOLDING%, %GROUPNAMED% and
// %ANSWERKINDS% stand for what the review folds before it compares, how
// many of a group it names, and the kinds whose answer is their content.
extern const char* const kHelpDetails[];
extern const std::size_t kHelpDetailCount;

// Files.
inline constexpr const char* kCannotRead = "ファイルを読めません";
inline constexpr const char* kNotAQuizFile = kLoadFailedMessage;
inline constexpr const char* kOutputIsInput = "出力先が入力ファイルと同じです。別の出力先を書いてください";
inline constexpr const char* kOutputNotAFile = "出力先はファイルではないため、置き換えられません";
inline constexpr const char* kOutputExists = "出力先のファイルがすでにあります。置き換えるには --force を付けてください";

// export.
inline constexpr const char* kTableNotWritten = "表を書き出せませんでした";
inline constexpr const char* kBookNotWritten = "ブックを書き出せませんでした (1 つのセルに入るのは 32,767 文字までです)";
inline constexpr const char* kPageNotWritten = "ページを書き出せませんでした";
inline constexpr const char* kGiftNotWritten = "GIFT ファイルを書き出せませんでした";
inline constexpr const char* kQtiNotWritten = "QTI パッケージを書き出せませんでした";
// "問題 3 問 (分岐 1 問)を書き出しました", "…のページを書き出しました"
std::string written(const SetCounts& counts);
std::string pageWritten(const SetCounts& counts);
std::string giftWritten(const SetCounts& counts);
// A line that GIFT holds as a short answer (an essay, its answer blank)
// because it cannot be played as its kind: "3 行目 (問題 2 (四択) の分岐 1): 選択肢がすべて空欄のため、答えを打ち込む問題にしました".
std::string giftFallback(const FallenLine& line);
// The set's kinds that GIFT holds only as short answers (not empty).
std::string giftShortAnswerKinds(const std::vector<const ProblemKind*>& kinds);
inline constexpr const char* kAnkiNotWritten = "Anki のデッキを書き出せませんでした";
// "問題 3 問 (分岐 1 問)を Anki のデッキに書き出しました"
std::string ankiWritten(const SetCounts& counts);
// A line whose card asks with its question alone, or has no answer,
// because it cannot be played as its kind: "3 行目 (問題 2 (四択) の分岐 1): 選択肢がすべて空欄のため、問題文だけのカードにしました".
std::string ankiFallback(const FallenLine& line);
std::string qtiWritten(const SetCounts& counts);
// A line that the QTI package holds as a text entry (one that scores 0,
// its answer blank) because it cannot be played as its kind: "3 行目 (問題 2 (四択) の分岐 1): 選択肢がすべて空欄のため、答えを打ち込む問題にしました".
std::string qtiFallback(const FallenLine& line);
// Panels that spell the answer in more ways than the item holds.
std::string qtiSpellingsCut(const FallenLine& line);
// What a spreadsheet opening a CSV or TSV would change, with the first
// places of `count`: "... 3 個あります (2 行目 answer 列、3 行目 hint1 列 ほか)。..."
std::string retypedCells(std::size_t count, const std::vector<std::string>& places);

// import.
inline constexpr const char* kTableRefused = "表に誤りがあるため、何も書き出していません";
inline constexpr const char* kQuizFileNotSaved = kSaveFailedMessage;
std::string moreFindings(std::size_t count);
inline constexpr const char* kSeeCheck = "。zibconv check で確かめてください";

// The whole program.
inline constexpr const char* kOutOfMemory = "メモリーが足りないため、処理を続けられませんでした";
inline constexpr const char* kCannotGoOn = "処理を続けられませんでした (メモリー不足など)";

} // namespace message
