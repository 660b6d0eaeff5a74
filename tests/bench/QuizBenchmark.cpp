// Prints, for generated sets of mixed kinds with two branches per problem,
// the file size, the save and load times, the bare parse time of the same
// file by the same engine, and the peak memory; then zibconv's export of
// the file to a CSV table and its import of that table back into a quiz
// file, each against the editor's load and save together; its export of
// the set's page, of its GIFT file, of its QTI package and of its Anki
// deck against the CSV's
// time and size. Usage:
// quiz_benchmark [count...]; without counts, 10000 and 20000 problems.
#include "WholeTables.h"
#include "BenchPlatform.h"

#include "document/ProblemListFile.h"
#include "model/ProblemFields.h"
#include "model/ProblemList.h"
#include "review/ContentReview.h"
#include "files/FileIO.h"
#include "xml/XMLFile.h"
#include "zibconv/check/CheckReport.h"
#include "zibconv/CommandLine.h"
#include "zibconv/Commands.h"
#include "zibconv/tables/ExportTable.h"
#include "zibconv/tables/QuizTable.h"
#include "zibconv/tables/TableFile.h"
#include "zibconv/anki/ExportAnki.h"
#include "zibconv/gift/ExportGift.h"
#include "zibconv/qti/ExportQti.h"
#include "zibconv/page/ExportPage.h"
#include "zibconv/workbooks/WorkbookWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 3;
constexpr int kCheckTurns = 7;

// Texts like the ones users type: Japanese, of a few dozen bytes, one with
// a line break and one with a character XML escapes.
TextList sampleTexts(int kind, int number)
{
    const std::string tag = std::to_string(number);
    TextList texts;
    for (std::size_t i = 0; i < fieldCount(kind); ++i) {
        switch (i % 4) {
        case 0: texts.push_back("問題" + tag + "：日本で一番長い川はどれでしょう？"); break;
        case 1: texts.push_back("信濃川" + tag); break;
        case 2: texts.push_back("利根川と石狩川\r\n二行目" + tag); break;
        default: texts.push_back("琵琶湖 & 霞ヶ浦 <" + tag + ">"); break;
        }
    }
    return texts;
}

void buildSet(int count)
{
    problemList.clear();
    for (int i = 0; i < count; ++i) {
        const int kind = i % kProblemTypeCount;
        ProblemPtr problem = createProblem(kind, sampleTexts(kind, i));
        problem->addBranch(createProblem(kind, sampleTexts(kind, i + 1)));
        problem->addBranch(createProblem(kind, sampleTexts(kind, i + 2)));
        problemList.push_back(problem);
    }
}

// The best of a few runs: the least disturbed by the rest of the machine.
template <class Step>
double bestSeconds(Step step, int runs = kRuns)
{
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        const double start = secondsNow();
        if (!step()) {
            std::printf("failed\n");
            std::exit(1);
        }
        const double took = secondsNow() - start;
        best = took < best ? took : best;
    }
    return best;
}

long fileSize(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return -1;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    return size;
}

// What zibconv's export does: the quiz file to a UTF-8 CSV table.
bool exportTable(const std::string& quizPath, const std::string& tablePath)
{
    const std::optional<ExportedTable> table = exportQuizFile(quizPath, ',', TableEncoding::Utf8);
    return table && table->bytes && replaceFileContents(tablePath, *table->bytes);
}

// What zibconv's export to a page does: the quiz file to the set's page.
bool exportPage(const std::string& quizPath, const std::string& pagePath)
{
    const std::optional<ExportedPage> page = exportQuizPage(quizPath);
    return page && replaceFileContentsWith(pagePath, [&](const ByteSink& write) { return page->writeTo(write); });
}

// What zibconv's export to GIFT does: the quiz file to Moodle's questions.
bool exportGift(const std::string& quizPath, const std::string& giftPath)
{
    const std::optional<ExportedGift> gift = exportQuizGift(quizPath, "zib-benchmark");
    return gift && gift->bytes && replaceFileContents(giftPath, *gift->bytes);
}

// What zibconv's export to an Anki package does.
bool exportAnki(const std::string& quizPath, const std::string& deckPath)
{
    const std::optional<ExportedAnki> deck = exportQuizAnki(quizPath, "zib-benchmark");
    return deck && deck->bytes && replaceFileContents(deckPath, *deck->bytes);
}

// What zibconv's export to QTI does: the quiz file to a zipped package.
bool exportQti(const std::string& quizPath, const std::string& qtiPath)
{
    return replaceFileContentsWith(qtiPath, [&](const ByteSink& write) {
        const std::optional<ExportedQti> qti = exportQuizQti(quizPath, "zib-benchmark", write);
        return qti && qti->written;
    });
}

// What zibconv's import does: the table back to a quiz file, refused as a
// whole when anything in it is wrong.
bool importTable(const std::string& tablePath, const std::string& quizPath)
{
    const std::optional<std::string> bytes = readFileBytes(tablePath);
    if (!bytes)
        return false;
    const DecodedTable table = decodeTable(*bytes, ',', std::nullopt);
    ImportedProblems imported = problemsFromRows(table.rows);
    if (!table.findings.empty() || !imported.findings.empty())
        return false;
    problemList = std::move(imported.problems);
    return saveProblemList(quizPath);
}

double megabytes(double bytes)
{
    return bytes / 1e6;
}

// export and import as the commands do them, into and from a table or a
// workbook by the name's extension.
bool exportByName(const std::string& quizPath, const std::string& outputPath)
{
    std::unique_ptr<RowSink> sink;
    if (formOf(outputPath) == FileForm::Workbook)
        sink = std::make_unique<WorkbookWriter>(WorkFile{outputPath + ".work", outputPath + ".work"});
    else
        sink = std::make_unique<TableEncoder>(separatorOf(formOf(outputPath)), TableEncoding::Utf8);
    const std::optional<ExportedTable> table = exportQuizFile(quizPath, *sink);
    return table && table->bytes && replaceFileContents(outputPath, *table->bytes);
}

bool importByName(const std::string& inputPath, const std::string& quizPath)
{
    Invocation invocation;
    invocation.input = inputPath;
    std::optional<TableRead> read = readTableFile(invocation);
    if (!read || !read->findings.empty())
        return false;
    problemList = std::move(read->imported.problems);
    return saveProblemList(quizPath);
}

// One step, in a process of its own: "SECONDS PEAK-BYTES", so that a
// table's and a workbook's peaks are each their own.
int runStep(const std::string& step, const std::string& from, const std::string& to)
{
    // The best of a few runs; the peak is that of one run, repeated.
    const double seconds = bestSeconds([&] { return step == "export" ? exportByName(from, to) : importByName(from, to); });
    std::printf("%f %zu\n", seconds, peakMemoryBytes());
    return 0;
}

// CSV and workbook side by side, each step in a process of its own.
void compareWorkbook(int count, const std::string& path, const std::string& stem)
{
    struct Figures {
        double exportSeconds, exportPeak, importSeconds, importPeak, size;
    };
    auto figures = [&](const std::string& extension) {
        const std::string table = stem + extension, imported = stem + "-from" + extension + ".xml";
        Figures f{};
        std::sscanf(runSelf({"--step", "export", path, table}).c_str(), "%lf %lf", &f.exportSeconds, &f.exportPeak);
        std::sscanf(runSelf({"--step", "import", table, imported}).c_str(), "%lf %lf", &f.importSeconds, &f.importPeak);
        f.size = static_cast<double>(fileSize(table));
        std::remove(table.c_str());
        std::remove(imported.c_str());
        return f;
    };
    const Figures csv = figures(".csv"), book = figures(".xlsx");
    std::printf("%6d problems, each step in a process of its own: CSV %7.2f MB export %6.3f s (peak %7.1f MB) "
                "import %6.3f s (peak %7.1f MB); XLSX %7.2f MB export %6.3f s (peak %7.1f MB) import %6.3f s "
                "(peak %7.1f MB); XLSX/CSV time export %4.2f import %4.2f (target at most 2), peak export %4.2f "
                "import %4.2f (target at most 1.2)\n",
                count, megabytes(csv.size), csv.exportSeconds, megabytes(csv.exportPeak), csv.importSeconds,
                megabytes(csv.importPeak), megabytes(book.size), book.exportSeconds, megabytes(book.exportPeak),
                book.importSeconds, megabytes(book.importPeak), book.exportSeconds / csv.exportSeconds,
                book.importSeconds / csv.importSeconds, book.exportPeak / csv.exportPeak,
                book.importPeak / csv.importPeak);
    std::fflush(stdout);
}

// What check does up to its report: the walk of the file, which gives
// the problems and what the editor would drop, with their content review
// when asked; and the text report's lines (made, not printed).
bool checkFile(const std::string& quizPath, bool review, std::size_t& findings)
{
    const std::optional<CheckedSet> set = checkQuizFile(quizPath, review);
    if (!set)
        return false;
    findings = set->findings.size();
    return !textReport(*set, set->findings).empty();
}

bool sameProblem(const ProblemBase& a, const ProblemBase& b)
{
    const ProblemRefs aBranches = a.getBranches();
    const ProblemRefs bBranches = b.getBranches();
    if (a.type != b.type || getFields(a) != getFields(b) || aBranches.size() != bBranches.size())
        return false;
    for (std::size_t i = 0; i < aBranches.size(); ++i)
        if (!sameProblem(*aBranches[i], *bBranches[i]))
            return false;
    return true;
}

bool sameProblems(const ProblemList& a, const ProblemList& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!sameProblem(*a[i], *b[i]))
            return false;
    return true;
}

void measure(int count)
{
    const std::string stem = scratchFolder() + "zib-benchmark-" + std::to_string(count);
    const std::string path = stem + ".xml";
    const std::string tablePath = stem + ".csv";
    const std::string importedPath = stem + "-imported.xml";
    const std::string pagePath = stem + ".html";
    const std::string giftPath = stem + ".gift";
    const std::string deckPath = stem + ".apkg";
    const std::string qtiPath = stem + ".zip";
    buildSet(count);
    const double save = bestSeconds([&] { return saveProblemList(path); });
    const double load = bestSeconds([&] { return loadProblemList(path); });
    const double parse = bestSeconds([&] { return parseOnly(path); });
    const bool complete = problemList.size() == static_cast<std::size_t>(count);
    std::printf("%6d problems (+%d branches): file %8.2f MB  save %6.3f s  load %6.3f s  parse only %6.3f s  "
                "load/parse %4.2f  peak memory %7.1f MB%s\n",
                count, 2 * count, megabytes(fileSize(path)), save, load, parse, load / parse,
                megabytes(peakMemoryBytes()), complete ? "" : "  (INCOMPLETE LOAD)");
    std::fflush(stdout);
    if (!complete)
        std::exit(1);
    // The engine's own share of a load's peak: its parse alone, in a process
    // of its own, so that nothing measured before weighs on it.
    std::printf("%6d problems: the engine's parse alone peaks at %7.1f MB (in a process of its own)\n", count,
                megabytes(std::atof(runSelf({"--parse-peak", path}).c_str())));
    std::fflush(stdout);

    // The process's peak never falls: each figure is the peak so far, after
    // the editor's steps above and the zibconv steps up to that one.
    const double exportTime = bestSeconds([&] { return exportTable(path, tablePath); });
    const double peakAfterExport = megabytes(peakMemoryBytes());
    const double importTime = bestSeconds([&] { return importTable(tablePath, importedPath); });
    const double peakAfterImport = megabytes(peakMemoryBytes());
    const ProblemList imported = std::move(problemList);
    const bool same = loadProblemList(path) && sameProblems(imported, problemList);
    std::printf("%6d problems, zibconv: table %8.2f MB  export %6.3f s  import %6.3f s  "
                "export/(load+save) %4.2f  import/(load+save) %4.2f  peak memory after export %7.1f MB, "
                "after import %7.1f MB%s\n",
                count, megabytes(fileSize(tablePath)), exportTime, importTime, exportTime / (load + save),
                importTime / (load + save), peakAfterExport, peakAfterImport,
                same ? "" : "  (IMPORT DIFFERS FROM THE FILE)");
    std::fflush(stdout);

    // The page, GIFT, QTI, the Anki deck and the CSV take turns, as check's
    // two below: the ratios are the figures.
    double pageTime = 1e9;
    double giftTime = 1e9;
    double deckTime = 1e9;
    double qtiTime = 1e9;
    double tableTime = 1e9;
    for (int turn = 0; turn < kCheckTurns; ++turn) {
        tableTime = std::min(tableTime, bestSeconds([&] { return exportTable(path, tablePath); }, 1));
        pageTime = std::min(pageTime, bestSeconds([&] { return exportPage(path, pagePath); }, 1));
        giftTime = std::min(giftTime, bestSeconds([&] { return exportGift(path, giftPath); }, 1));
        deckTime = std::min(deckTime, bestSeconds([&] { return exportAnki(path, deckPath); }, 1));
        qtiTime = std::min(qtiTime, bestSeconds([&] { return exportQti(path, qtiPath); }, 1));
    }
    std::printf("%6d problems, zibconv page: %8.2f MB  export %6.3f s  against the CSV: time %4.2f (target at "
                "most 2)  size %4.2f (target at most 4)\n",
                count, megabytes(fileSize(pagePath)), pageTime, pageTime / tableTime,
                static_cast<double>(fileSize(pagePath)) / static_cast<double>(fileSize(tablePath)));
    std::printf("%6d problems, zibconv GIFT: %8.2f MB  export %6.3f s  against the CSV: time %4.2f  size %4.2f\n",
                count, megabytes(fileSize(giftPath)), giftTime, giftTime / tableTime,
                static_cast<double>(fileSize(giftPath)) / static_cast<double>(fileSize(tablePath)));
    std::printf("%6d problems, zibconv Anki deck: %8.2f MB  export %6.3f s  against the CSV: time %4.2f (target at "
                "most 3)  size %4.2f\n",
                count, megabytes(fileSize(deckPath)), deckTime, deckTime / tableTime,
                static_cast<double>(fileSize(deckPath)) / static_cast<double>(fileSize(tablePath)));
    std::printf("%6d problems, zibconv QTI: %8.2f MB  export %6.3f s  against the CSV: time %4.2f (target at most 3)  "
                "size %4.2f\n",
                count, megabytes(fileSize(qtiPath)), qtiTime, qtiTime / tableTime,
                static_cast<double>(fileSize(qtiPath)) / static_cast<double>(fileSize(tablePath)));
    std::fflush(stdout);

    // The two take turns, more often than the other steps: their ratio is
    // the figure, and the machine's other work should weigh on each alike.
    std::size_t findings = 0;
    double check = 1e9;
    double reviewed = 1e9;
    for (int turn = 0; turn < kCheckTurns; ++turn) {
        check = std::min(check, bestSeconds([&] { return checkFile(path, false, findings); }, 1));
        reviewed = std::min(reviewed, bestSeconds([&] { return checkFile(path, true, findings); }, 1));
    }
    compareWorkbook(count, path, stem);

    std::printf("%6d problems, zibconv check: without the content review %6.3f s  with the review %6.3f s "
                "(%zu findings)  with/without %4.2f (target at most 1.3)\n",
                count, check, reviewed, findings, reviewed / check);
    std::fflush(stdout);
    std::remove(path.c_str());
    std::remove(tablePath.c_str());
    std::remove(importedPath.c_str());
    std::remove(giftPath.c_str());
    std::remove(deckPath.c_str());
    std::remove(qtiPath.c_str());
    if (std::getenv("ZIB_BENCH_KEEP_PAGE"))
        std::printf("%6d problems: the page is kept as %s\n", count, pagePath.c_str());
    else
        std::remove(pagePath.c_str());
    if (!same)
        std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--parse-peak") {
        if (!parseOnly(argv[2]))
            return 1;
        std::printf("%zu\n", peakMemoryBytes());
        return 0;
    }
    if (argc == 5 && std::string(argv[1]) == "--step")
        return runStep(argv[2], argv[3], argv[4]);
    if (argc == 4 && std::string(argv[1]) == "--write-set") {
        buildSet(std::atoi(argv[2]));
        return saveProblemList(argv[3]) ? 0 : 1;
    }
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {10000, 20000};
    std::printf("best of %d runs each\n", kRuns);
    for (int count : counts)
        measure(count);
    return 0;
}
