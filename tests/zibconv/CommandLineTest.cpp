// zibconv's command line: what each form does, where its output goes, and
// every wrong use.
#include "zibconv/CommandLine.h"
#include "zibconv/Messages.h"

#include <gtest/gtest.h>

namespace {

std::optional<Invocation> parsed(std::vector<std::string> arguments)
{
    UsageError error;
    std::optional<Invocation> invocation = parseCommandLine(arguments, error);
    EXPECT_TRUE(invocation) << error.message << " " << error.argument;
    return invocation;
}

std::string refusal(std::vector<std::string> arguments)
{
    UsageError error;
    const std::optional<Invocation> invocation = parseCommandLine(arguments, error);
    EXPECT_FALSE(invocation);
    return error.message + (error.argument.empty() ? "" : ": " + error.argument);
}

TEST(CommandLine, EachCommandWithItsDefaultOutput)
{
    const Invocation exported = *parsed({"export", "dir/SET.xml"});
    EXPECT_EQ(exported.command, Command::Export);
    EXPECT_EQ(exported.input, "dir/SET.xml");
    EXPECT_EQ(exported.output, "dir/SET.xlsx");
    EXPECT_EQ(parsed({"import", "C:\\sets\\TABLE.tsv"})->output, "C:\\sets\\TABLE.xml");
    EXPECT_EQ(parsed({"import", "a.b/TABLE"})->output, "a.b/TABLE.xml");
    EXPECT_EQ(parsed({"export", "SET.xml", "out.txt"})->output, "out.txt");
    EXPECT_EQ(parsed({"check", "SET.xml"})->command, Command::Check);
    EXPECT_EQ(parsed({"--help"})->command, Command::Help);
    EXPECT_EQ(parsed({"--version"})->command, Command::Version);
}

// A file dropped on the program arrives as its only argument.
TEST(CommandLine, AFileAloneChoosesByItsExtension)
{
    EXPECT_EQ(parsed({"SET.XML"})->command, Command::Export);
    EXPECT_EQ(parsed({"SET.XML"})->output, "SET.xlsx");
    // A workbook dropped on the program goes to import, which tells what it needs.
    for (const char* table : {"t.csv", "t.TSV", "t.txt", "t.xlsx", "t.ods", "t.xls"}) {
        SCOPED_TRACE(table);
        EXPECT_EQ(parsed({table})->command, Command::Import);
        EXPECT_EQ(parsed({table})->output, "t.xml");
    }
}

TEST(CommandLine, OptionsStandAnywhereAfterTheCommand)
{
    const Invocation invocation = *parsed({"export", "--force", "SET.xml", "--encoding", "shift_jis", "o.csv"});
    EXPECT_TRUE(invocation.force);
    EXPECT_EQ(invocation.encoding, TableEncoding::ShiftJis);
    EXPECT_EQ(invocation.output, "o.csv");
    EXPECT_EQ(parsed({"import", "--encoding=UTF-8", "t.csv"})->encoding, TableEncoding::Utf8);
    EXPECT_FALSE(parsed({"import", "t.csv"})->encoding);
    const Invocation check = *parsed({"check", "--json", "t.csv", "--strict", "--encoding", "shift_jis"});
    EXPECT_TRUE(check.json && check.strict);
    EXPECT_EQ(check.input, "t.csv");
    EXPECT_EQ(check.encoding, TableEncoding::ShiftJis);
    EXPECT_FALSE(parsed({"check", "SET.xml"})->strict || parsed({"check", "SET.xml"})->json);
}

TEST(CommandLine, WrongUsesAreRefusedWithTheReason)
{
    EXPECT_EQ(refusal({}), "コマンドがありません");
    EXPECT_EQ(refusal({"convert", "x"}), "知らないコマンドです: convert");
    EXPECT_EQ(refusal({"SET.doc"}), "知らないコマンドです: SET.doc");
    EXPECT_EQ(refusal({"export"}), "入力ファイルを書いてください");
    EXPECT_EQ(refusal({"export", "a.xml", "b.csv", "c.csv"}), "ファイルが多すぎます: c.csv");
    EXPECT_EQ(refusal({"check", "a.xml", "b.csv"}), "ファイルが多すぎます: b.csv");
    EXPECT_EQ(refusal({"import", "t.csv", "--fast"}), "知らないオプションです: --fast");
    EXPECT_EQ(refusal({"import", "t.csv", "--encoding"}), "--encoding の後に utf-8 か shift_jis を書いてください");
    EXPECT_EQ(refusal({"import", "t.csv", "--encoding", "latin1"}),
              "--encoding には utf-8 か shift_jis を書いてください: latin1");
    EXPECT_EQ(refusal({"check", "a.xml", "--force"}), "check には --force を付けられません");
    EXPECT_EQ(refusal({"export", "a.xml", "--json"}), "--strict と --json は check にだけ付けられます");
    EXPECT_EQ(refusal({"import", "t.csv", "--strict"}), "--strict と --json は check にだけ付けられます");
    EXPECT_EQ(refusal({"--version", "extra"}), "--version の後には何も書けません: extra");
    EXPECT_EQ(refusal({"--help", "--bogus"}), "--help の後には何も書けません: --bogus");
    EXPECT_EQ(refusal({"/?", "SET.xml"}), "/? の後には何も書けません: SET.xml");
}

TEST(CommandLine, TabsForTsvAndTxtCommasOtherwise)
{
    EXPECT_EQ(separatorOf(formOf("a.TSV")), '\t');
    EXPECT_EQ(separatorOf(formOf("a.txt")), '\t');
    EXPECT_EQ(separatorOf(formOf("a.csv")), ',');
    EXPECT_EQ(separatorOf(formOf("a")), ',');
}

} // namespace

// The page and GIFT are told by OUTPUT's extension, and both are UTF-8 alone.
TEST(CommandLine, PageAndGiftByExtensionWithoutEncoding)
{
    EXPECT_EQ(parsed({"export", "s.xml", "s.html"})->outputForm, FileForm::Page);
    EXPECT_EQ(parsed({"export", "s.xml", "S.GIFT", "--force"})->outputForm, FileForm::Gift);
    EXPECT_EQ(refusal({"export", "s.xml", "s.gift", "--encoding", "utf-8"}), message::kGiftHasNoEncoding);
    EXPECT_EQ(refusal({"export", "s.xml", "s.html", "--encoding", "utf-8"}), message::kPageHasNoEncoding);
    // A GIFT file is no input of any command.
    EXPECT_EQ(refusal({"s.gift"}), std::string(message::kUnknownCommand) + ": s.gift");
}

// An Anki package likewise: export writes one, UTF-8 inside; nothing reads one.
TEST(CommandLine, AnkiDeckByExtensionWithoutEncoding)
{
    EXPECT_EQ(parsed({"export", "s.xml", "S.APKG"})->outputForm, FileForm::Anki);
    EXPECT_EQ(refusal({"export", "s.xml", "s.apkg", "--encoding", "shift_jis"}), message::kAnkiHasNoEncoding);
    EXPECT_EQ(refusal({"s.apkg"}), std::string(message::kUnknownCommand) + ": s.apkg");
}

// A QTI package likewise, by .zip; the tables still take --encoding.
TEST(CommandLine, QtiPackageByExtensionWithoutEncoding)
{
    EXPECT_EQ(parsed({"export", "s.xml", "s.zip"})->outputForm, FileForm::Qti);
    EXPECT_EQ(parsed({"export", "s.xml", "S.ZIP", "--force"})->outputForm, FileForm::Qti);
    EXPECT_EQ(refusal({"export", "s.xml", "s.zip", "--encoding", "shift_jis"}), message::kQtiHasNoEncoding);
    EXPECT_EQ(parsed({"export", "s.xml", "s.csv", "--encoding", "shift_jis"})->outputForm, FileForm::Csv);
    EXPECT_EQ(refusal({"s.zip"}), std::string(message::kUnknownCommand) + ": s.zip");
}
