#include "zibconv/Messages.h"

#include "review/FindingText.h"

namespace message {

std::string optionNotTaken(const char* command, const char* option)
{
    return std::string(command) + " には " + option + " を付けられません";
}

std::string nothingAfter(const std::string& option)
{
    return option + " の後には何も書けません";
}

const char* const kHelpDetails[] = {
    "",
    "export   クイズファイルを表 (CSV、OUTPUT が .tsv か .txt ならタブ区切り、.xlsx ならブック) に書き出します。",
    "         OUTPUT を省くと入力と同じフォルダーと名前で拡張子 .xlsx (ブック) になります。",
    "         OUTPUT が .html なら、ブラウザーで校正・印刷・プレイできる 1 つのページを書き出します。",
    "         OUTPUT が .gift なら、Moodle の問題バンクにインポートできる GIFT ファイルを書き出します。",
    "         OUTPUT が .apkg なら、Anki などの単語帳ソフトに読み込める Anki のデッキを書き出します。",
    "         OUTPUT が .zip なら、QTI 2.1 を読む学習プラットフォームにインポートできるパッケージを書き出します。",
    "import   表かブック (.xlsx) をクイズファイルに書き出します。OUTPUT を省くと拡張子 .xml になります。",
    "check    エディターで開いたときに読み込まれないもの (表なら import が拒むもの) と、",
    "         内容の誤りらしいところを報告します: 見える欄の空欄、答えと同じ選択肢や同じ選択肢、",
    "         同じ種類で問題文が同じ問題 (答えが違えばそう言います)、答えや選択肢の前後の空白と改行、",
    "         答えを作れないパネル、答えの文字がないリール。",
    "         %ANSWERKINDS%では問題文は多くの問題に共通の指示になりうるので、",
    "         問題文と答えがともに同じ問題だけを同じ問題とします。同じ問題の組は、何問あっても",
    "         最初の問題で 1 回だけ、初めの %GROUPNAMED% 問を挙げ残りを「ほか N 問」と数えて言います",
    "         (--json では組のすべての問題を \"same\" に 1 回ずつ、ページでは最初の問題の注に。",
    "         ほかの問題の注はそこへのリンクです)。",
    "         比べる前にそろえるもの: %FOLDING%。",
    "--strict    check: 内容の誤りらしいところが 1 件でもあれば終了コード 1 にします。",
    "--json      check: 報告全体を 1 つの JSON 文書 (UTF-8) として標準出力に書きます。",
    "--encoding  表の文字コード。書き出しの既定は BOM 付き UTF-8 です。",
    "            読み込みでは BOM と中身から判定し、指定があればそれに従います。",
    "--force     OUTPUT がすでにあるとき置き換えます。",
    "",
    "終了コード: 0 成功、1 入力を拒否した、書き出せない、check で失われるものがある",
    "            (--strict では内容の誤りらしいところもある)、2 入力を読めない、64 使い方の誤り",
};
const std::size_t kHelpDetailCount = std::size(kHelpDetails);

namespace {

std::string countText(const SetCounts& counts)
{
    return "問題 " + std::to_string(counts.problems) + " 問 (分岐 " + std::to_string(counts.branches) + " 問)";
}

} // namespace

std::string written(const SetCounts& counts)
{
    return countText(counts) + "を書き出しました";
}

std::string pageWritten(const SetCounts& counts)
{
    return countText(counts) + "のページを書き出しました";
}

std::string giftWritten(const SetCounts& counts)
{
    return countText(counts) + "を GIFT ファイルに書き出しました";
}

namespace {

// The line a notice is about: "3 行目 (問題 2 (四択) の分岐 1): ".
std::string lineNamed(const FallenLine& line)
{
    return std::to_string(line.line) + " 行目 (" + problemName(line.place, line.kind) + "): ";
}

// Why a line cannot be played as its kind, before "ため".
std::string fallbackReason(Fallback why)
{
    switch (why) {
    case Fallback::BlankAnswer: return "答えが空欄の";
    case Fallback::NotCircleOrCross: return "答えが ○ でも × でもない";
    case Fallback::NoWrongChoice: return "選択肢がすべて空欄の";
    case Fallback::NoPanels: return "パネルがすべて空欄の";
    case Fallback::PanelsCannotSpell: return "パネルで答えを作れない";
    case Fallback::NoReels: return "リールがすべて空欄の";
    case Fallback::ReelCount: return "答えの文字数がリールの数と違う";
    case Fallback::ReelLacksCharacter: return "答えの文字がないリールがある";
    case Fallback::None: break;
    }
    return "遊べない";
}

// A line an export holds otherwise than as its kind: what it became, with
// a blank answer or with any other reason, each after "ため、".
std::string fallbackNotice(const FallenLine& line, const char* becameIfBlank, const char* becameOtherwise)
{
    return lineNamed(line) + fallbackReason(line.why) + "ため、" +
           (line.why == Fallback::BlankAnswer ? becameIfBlank : becameOtherwise);
}

} // namespace

std::string giftFallback(const FallenLine& line)
{
    return fallbackNotice(line, "採点する答えのない作文問題にしました", "答えを打ち込む問題にしました");
}

std::string qtiWritten(const SetCounts& counts)
{
    return countText(counts) + "を QTI パッケージに書き出しました";
}

std::string qtiFallback(const FallenLine& line)
{
    return fallbackNotice(line, "採点する答えのない、打ち込む問題にしました", "答えを打ち込む問題にしました");
}

std::string qtiSpellingsCut(const FallenLine& line)
{
    return lineNamed(line) + "パネルで答えを作る並べ方が " +
           std::to_string(kMostSpellings) + " 通りを超えるため、最初の " + std::to_string(kMostSpellings) +
           " 通りだけを正解にしました";
}

std::string giftShortAnswerKinds(const std::vector<const ProblemKind*>& kinds)
{
    std::string named;
    for (const ProblemKind* kind : kinds)
        named += (named.empty() ? "" : "、") + std::string(kind->comboText);
    return "GIFT には" + named + "の問題がないため、答えを打ち込む問題にして、文字、パネル、リールを問題文に並べました";
}

std::string ankiWritten(const SetCounts& counts)
{
    return countText(counts) + "を Anki のデッキに書き出しました";
}

std::string ankiFallback(const FallenLine& line)
{
    return fallbackNotice(line, "答えのないカードにしました", "問題文だけのカードにしました");
}

std::string retypedCells(std::size_t count, const std::vector<std::string>& places)
{
    std::string listed;
    for (const std::string& place : places)
        listed += (listed.empty() ? "" : "、") + place;
    if (count > places.size())
        listed += " ほか";
    return "表計算ソフトでそのまま開くと、数値、日付、数式などに変わってしまうセルが " + std::to_string(count) +
           " 個あります (" + listed + ")。.xlsx に書き出せば、文字のまま残ります";
}

std::string moreFindings(std::size_t count)
{
    return "ほかに " + std::to_string(count) + " 件あります";
}

} // namespace message
