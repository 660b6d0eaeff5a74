// export: a quiz file into a table, a workbook, a page, GIFT, a QTI package or an
// Anki deck, by the form
// the command line told from OUTPUT's name.
#include "zibconv/Commands.h"

#include "files/FileIO.h"
#include "zibconv/Console.h"
#include "zibconv/anki/ExportAnki.h"
#include "zibconv/gift/ExportGift.h"
#include "zibconv/page/ExportPage.h"
#include "zibconv/qti/ExportQti.h"
#include "zibconv/tables/ExportTable.h"
#include "zibconv/tables/RetypedCells.h"
#include "zibconv/tables/TableFile.h"
#include "zibconv/workbooks/WorkbookWriter.h"

#include <algorithm>
#include <memory>

namespace {

// Beyond this a table's room grows as it is written.
constexpr std::uintmax_t kMaxTableReserve = 256u << 20;

// A notice after a CSV or TSV export: what a spreadsheet opening it would
// change, and that a workbook keeps it.
void printRetypedCells(const RetypeCounter& retyped)
{
    if (retyped.count == 0)
        return;
    std::vector<std::string> places;
    for (const TableFinding& place : retyped.first) {
        const std::string named = placeOf(place);
        places.push_back(named.substr(0, named.size() - 2)); // without ": "
    }
    printLine(Stream::Error, message::retypedCells(retyped.count, places));
}

int runPageExport(const Invocation& invocation)
{
    const std::optional<ExportedPage> page = exportQuizPage(invocation.input);
    if (!page)
        return reportUnreadableQuizFile(invocation.input);
    if (!replaceFileContentsWith(invocation.output, [&](const ByteSink& write) { return page->writeTo(write); })) {
        printLine(Stream::Error, message::kPageNotWritten, invocation.output);
        return kExitRefused;
    }
    printLine(Stream::Error, message::pageWritten(page->counts), invocation.output);
    return kExitDone;
}

// The set's name in its categories: its file's name without the extension.
std::string setNameOf(const std::string& path)
{
    const std::string name = pageFileName(path);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// After the file, a notice for each line that became a short answer.
int runGiftExport(const Invocation& invocation)
{
    const std::optional<ExportedGift> gift = exportQuizGift(invocation.input, setNameOf(invocation.input));
    if (!gift)
        return reportUnreadableQuizFile(invocation.input);
    if (!gift->bytes || !replaceFileContents(invocation.output, *gift->bytes)) {
        printLine(Stream::Error, message::kGiftNotWritten, invocation.output);
        return kExitRefused;
    }
    for (const FallenLine& line : gift->fallbacks)
        printLine(Stream::Error, message::giftFallback(line));
    if (!gift->shortAnswerKinds.empty())
        printLine(Stream::Error, message::giftShortAnswerKinds(gift->shortAnswerKinds));
    printLine(Stream::Error, message::giftWritten(gift->counts), invocation.output);
    return kExitDone;
}

// After the file, a notice for each line whose card cannot ask as its kind.
int runAnkiExport(const Invocation& invocation)
{
    const std::optional<ExportedAnki> deck = exportQuizAnki(invocation.input, setNameOf(invocation.input));
    if (!deck)
        return reportUnreadableQuizFile(invocation.input);
    if (!deck->bytes || !replaceFileContents(invocation.output, *deck->bytes)) {
        printLine(Stream::Error, message::kAnkiNotWritten, invocation.output);
        return kExitRefused;
    }
    for (const FallenLine& line : deck->fallbacks)
        printLine(Stream::Error, message::ankiFallback(line));
    printLine(Stream::Error, message::ankiWritten(deck->counts), invocation.output);
    return kExitDone;
}

// After the package, a notice for each line that became a text entry.
int runQtiExport(const Invocation& invocation)
{
    // The package goes into its file as it is made: whether the set can be
    // read is known once it has been.
    std::optional<ExportedQti> qti;
    bool made = false;
    const bool written = replaceFileContentsWith(invocation.output, [&](const ByteSink& write) {
        made = true;
        qti = exportQuizQti(invocation.input, setNameOf(invocation.input), write);
        return qti && qti->written;
    });
    if (made && !qti)
        return reportUnreadableQuizFile(invocation.input);
    if (!written) {
        printLine(Stream::Error, message::kQtiNotWritten, invocation.output);
        return kExitRefused;
    }
    for (const FallenLine& line : qti->fallbacks)
        printLine(Stream::Error, message::qtiFallback(line));
    for (const FallenLine& line : qti->cutSpellings)
        printLine(Stream::Error, message::qtiSpellingsCut(line));
    printLine(Stream::Error, message::qtiWritten(qti->counts), invocation.output);
    return kExitDone;
}

// The rows of the set into `sink`, then its bytes into the output;
// `notWritten` says why when the sink could not make them.
int writeRows(const Invocation& invocation, RowSink& sink, const char* notWritten)
{
    const std::optional<ExportedTable> table = exportQuizFile(invocation.input, sink);
    if (!table)
        return reportUnreadableQuizFile(invocation.input);
    if (!table->bytes || !replaceFileContents(invocation.output, *table->bytes)) {
        printLine(Stream::Error, table->bytes ? message::kTableNotWritten : notWritten, invocation.output);
        return kExitRefused;
    }
    printLine(Stream::Error, message::written(table->counts), invocation.output);
    return kExitDone;
}

int runWorkbookExport(const Invocation& invocation)
{
    std::optional<WorkFile> work = makeWorkFileBeside(invocation.output);
    if (!work) {
        printLine(Stream::Error, message::kTableNotWritten, invocation.output);
        return kExitRefused;
    }
    WorkbookWriter book(std::move(*work));
    return writeRows(invocation, book, message::kBookNotWritten);
}

int runTableExport(const Invocation& invocation)
{
    // A table takes about as many bytes as its quiz file: room untouched
    // costs no memory, and the table is seldom larger.
    const std::uintmax_t quizBytes = fileSizeOf(invocation.input).value_or(0);
    RetypeCounter table(std::make_unique<TableEncoder>(
        separatorOf(invocation.outputForm), invocation.encoding.value_or(TableEncoding::Utf8),
        static_cast<std::size_t>(std::min<std::uintmax_t>(quizBytes, kMaxTableReserve))));
    const int status = writeRows(invocation, table, message::kTableNotWritten);
    if (status == kExitDone)
        printRetypedCells(table);
    return status;
}

} // namespace

int runExport(const Invocation& invocation)
{
    if (!mayWrite(invocation))
        return kExitRefused;
    switch (invocation.outputForm) {
    case FileForm::Page: return runPageExport(invocation);
    case FileForm::Gift: return runGiftExport(invocation);
    case FileForm::Anki: return runAnkiExport(invocation);
    case FileForm::Qti: return runQtiExport(invocation);
    case FileForm::Workbook: return runWorkbookExport(invocation);
    default: return runTableExport(invocation);
    }
}
