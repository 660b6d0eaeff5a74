// The round trips that make a spreadsheet a safe place for a quiz set,
// checked over generated sets of every kind with branches, blank texts,
// line breaks, the characters XML and tables treat specially, and the NEC
// and IBM extension characters:
// - import(export(F)) is the file the editor writes when it opens F and
//   saves it;
// - export(import(T)) is T, for every table T that export wrote.
#include "WholeTables.h"
#include "TestFiles.h"

#include "document/ProblemListFile.h"
#include "model/ProblemFields.h"
#include "model/ProblemKinds.h"
#include "model/ProblemList.h"
#include "zibconv/tables/QuizTable.h"
#include "zibconv/tables/TableFile.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Pieces of texts: ASCII, what XML escapes, what tables quote, line breaks,
// spaces, Japanese, half-width katakana, NEC row 13 (Ⅰ, №), NEC-selected
// IBM extensions (0xED40) and IBM extensions (0xFA5C, 0xFA40).
const char* const kPieces[] = {
    "a",  "Quiz", "&", "<", ">", "\"", ",", "\t", "\r\n", " ", "日本", "問題？", "\xB1\xB2",
    "\x87\x54", "\x87\x82", "\xED\x40", "\xFA\x5C", "\xFA\x40", "\x81\x60", "'",
};

class SetMaker {
public:
    explicit SetMaker(unsigned seed) : random(seed) {}

    ProblemList make()
    {
        ProblemList problems;
        const int count = pick(8);
        for (int i = 0; i < count; ++i) {
            const int kind = pick(kProblemTypeCount);
            ProblemPtr problem = createProblem(kind, texts(kind));
            for (int b = pick(4); b > 0; --b)
                problem->addBranch(createProblem(kind, texts(kind)));
            problems.push_back(problem);
        }
        return problems;
    }

private:
    int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); }

    TextList texts(int kind)
    {
        TextList all;
        for (std::size_t i = 0; i < fieldCount(kind); ++i) {
            std::string text;
            for (int n = pick(5); n > 0; --n)
                text += kPieces[pick(static_cast<int>(std::size(kPieces)))];
            all.push_back(text.empty() ? kBlankText : text);
        }
        return all;
    }

    std::mt19937 random;
};

class RoundTrip : public ::testing::Test {
protected:
    void TearDown() override { problemList.clear(); }

    // The file that saving the problem list writes.
    std::string saved()
    {
        EXPECT_TRUE(saveProblemList(output));
        return readBytes(output).value_or("(unreadable)");
    }

    std::string exported(const std::string& file, char separator, TableEncoding encoding)
    {
        EXPECT_TRUE(loadProblemList(file));
        return encodeTable(problemRows(problemList), separator, encoding).value_or("(not encodable)");
    }

    // Import, as the command does; the quiz file it writes.
    std::string imported(const std::string& table, char separator, TableEncoding encoding)
    {
        // A Shift-JIS table may also read as UTF-8: it is named.
        const std::optional<TableEncoding> given =
            encoding == TableEncoding::ShiftJis ? std::optional(encoding) : std::nullopt;
        const DecodedTable decoded = decodeTable(table, separator, given);
        ImportedProblems problems = problemsFromRows(decoded.rows);
        EXPECT_TRUE(decoded.findings.empty()) << decoded.findings.front().message;
        EXPECT_TRUE(problems.findings.empty()) << problems.findings.front().message;
        problemList = std::move(problems.problems);
        return saved();
    }

    TestFolder folder;
    const std::string source = folder.path("source.xml");
    const std::string output = folder.path("out.xml");
};

TEST_F(RoundTrip, ExportThenImportWritesWhatTheEditorWritesAndTablesComeBackByteForByte)
{
    for (unsigned seed = 1; seed <= 24; ++seed) {
        problemList = SetMaker(seed).make();
        ASSERT_TRUE(saveProblemList(source));
        ASSERT_TRUE(loadProblemList(source));
        const std::string editorSave = saved();
        for (const TableEncoding encoding : {TableEncoding::Utf8, TableEncoding::ShiftJis}) {
            for (const char separator : {',', '\t'}) {
                SCOPED_TRACE("seed " + std::to_string(seed) + (separator == ',' ? " CSV" : " TSV") +
                             (encoding == TableEncoding::Utf8 ? " UTF-8" : " Shift-JIS"));
                const std::string table = exported(source, separator, encoding);
                EXPECT_EQ(imported(table, separator, encoding), editorSave);
                EXPECT_EQ(exported(output, separator, encoding), table);
            }
        }
    }
}

// A lone carriage return, which a file holds only as a character
// reference, comes back as CR LF: import reads every line break so.
TEST_F(RoundTrip, ALoneCarriageReturnComesBackAsALineBreak)
{
    writeBytes(source, "<?xml version='1.0' encoding='SHIFT_JIS'?><root><ox><main><question>a&#13;b</question>"
                       "<answer>x&#13;</answer></main></ox></root>");
    const std::string table = exported(source, ',', TableEncoding::Utf8);
    EXPECT_NE(table.find("\r\nox,main,\"a\rb\",\"x\r\",,"), std::string::npos) << table;
    imported(table, ',', TableEncoding::Utf8);
    EXPECT_EQ(getFields(*problemList.front()), (TextList{"a\r\nb", "x\r\n"}));
}

} // namespace
