// zibconv: quiz sets to spreadsheet tables and back, and a check of what the
// editor would keep of a quiz file.
#include "review/FindingText.h"
#include "zibconv/Arguments.h"
#include "zibconv/CommandLine.h"
#include "zibconv/Commands.h"
#include "zibconv/Console.h"

#include <new>
#include <string>
#include <vector>

namespace {

const char* const kSynopsis[] = {
    "使い方:",
    "  zibconv export SET.xml [OUTPUT] [--encoding utf-8|shift_jis] [--force]",
    "  zibconv import TABLE|BOOK.xlsx [OUTPUT] [--encoding utf-8|shift_jis] [--force]",
    "  zibconv check SET.xml|TABLE|BOOK.xlsx [--strict] [--json] [--encoding utf-8|shift_jis]",
    "  zibconv FILE                 (FILE が .xml なら export、.csv .tsv .txt .xlsx なら import)",
    "  zibconv --help | --version",
};

const char* const kDetails[] = {
    "",
    "export   クイズファイルを表 (CSV、OUTPUT が .tsv か .txt ならタブ区切り、.xlsx ならブック) に書き出します。",
    "         OUTPUT を省くと入力と同じフォルダーと名前で拡張子 .xlsx (ブック) になります。",
    "         OUTPUT が .html なら、ブラウザーで校正・印刷・プレイできる 1 つのページを書き出します。",
    "import   表かブック (.xlsx) をクイズファイルに書き出します。OUTPUT を省くと拡張子 .xml になります。",
    "check    エディターで開いたときに読み込まれないもの (表なら import が拒むもの) と、",
    "         内容の誤りらしいところを報告します: 見える欄の空欄、答えと同じ選択肢や同じ選択肢、",
    "         同じ種類で問題文が同じ問題 (答えが違えばそう言います)、答えや選択肢の前後の空白と改行、",
    "         答えを作れないパネル、答えの文字がないリール。",
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

// The review's folding is told in the review's own words.
std::string detailLine(std::string line)
{
    const std::string placeholder = "%FOLDING%";
    const std::size_t at = line.find(placeholder);
    if (at != std::string::npos)
        line.replace(at, placeholder.size(), kFoldingExplained);
    return line;
}

void printUsage(Stream stream, bool withDetails)
{
    for (const char* line : kSynopsis)
        printLine(stream, line);
    if (withDetails)
        for (const char* line : kDetails)
            printLine(stream, detailLine(line));
}

int run(const std::vector<std::string>& arguments)
{
    UsageError error;
    const std::optional<Invocation> invocation = parseCommandLine(arguments, error);
    if (!invocation) {
        printLine(Stream::Error, error.message, error.argument);
        printUsage(Stream::Error, false);
        return kExitUsage;
    }
    switch (invocation->command) {
    case Command::Export: return runExport(*invocation);
    case Command::Import: return runImport(*invocation);
    case Command::Check: return runCheck(*invocation);
    case Command::Version: printLine(Stream::Out, "zibconv " ZIB_VERSION); return kExitDone;
    case Command::Help: printUsage(Stream::Out, true); return kExitDone;
    }
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    int status = kExitUsage;
    try {
        status = run(programArguments(argc, argv));
    } catch (const std::bad_alloc&) {
        printLine(Stream::Error, "メモリーが足りないため、処理を続けられませんでした");
        status = kExitUnreadable;
    } catch (const std::exception&) {
        printLine(Stream::Error, "処理を続けられませんでした (メモリー不足など)");
        status = kExitRefused;
    }
    pauseIfConsoleIsOwn();
    return status;
}
