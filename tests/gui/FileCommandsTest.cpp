// The File and Help menus end to end: the real file dialog, real files.
#include "model/ProblemFields.h"
#include "model/ProblemList.h"
#include "tests/document/QuizTestSupport.h"
#include "tests/gui/EditorDriver.h"
#include "tests/gui/harness/GuiHarness.h"
#include "tests/gui/harness/ModalAnswerer.h"
#include "tests/xml/TestFiles.h"
#include "ui/EditorState.h"
#include "ui/Identifiers.h"

namespace {

const std::string kHeader = "<?xml version='1.0' encoding='SHIFT_JIS'?>\r\n";

// `count` times the double-byte character 日 (0x93 0xFA).
std::string days(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += "日";
    return text;
}

// The bytes with each run of 日 written as {日xN}: a failure shows the
// counts, and any byte left over, instead of 40,000 bytes.
std::string withRunsOfDays(const std::optional<std::string>& bytes)
{
    if (!bytes)
        return "<no file>";
    const std::string day = "日";
    std::string out;
    std::size_t at = 0;
    while (at < bytes->size()) {
        if (bytes->compare(at, day.size(), day) != 0) {
            out += (*bytes)[at++];
            continue;
        }
        std::size_t count = 0;
        for (; bytes->compare(at, day.size(), day) == 0; at += day.size())
            ++count;
        out += "{日x" + std::to_string(count) + "}";
    }
    return out;
}

// The modal windows a command opened, for a failure message.
std::string describeSeen(const ModalAnswerer& answers)
{
    std::string out;
    for (const ModalWindow& seen : answers.seen())
        out += "[" + seen.caption + ": " + seen.text + "]";
    return out;
}

ProblemPtr addTopLevel(int kind, TextList fields)
{
    problemList.push_back(createProblem(kind, std::move(fields)));
    return problemList.back();
}

class FileCommands : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        directory = folder;
        for (const char* name : {"zib-a.xml", "zib-b.xml", "zib-bad.xml"})
            DeleteFileA((directory + name).c_str());
    }

    std::string path(const char* name) const { return directory + name; }

    HWND control(int id) const { return GetDlgItem(window, id); }
    std::string fileLabel() const { return windowText(control(IDC_FILE_LABEL)); }
    LONG fileLabelHeight() const
    {
        const RECT rect = rectInParent(control(IDC_FILE_LABEL));
        return rect.bottom - rect.top;
    }

    // Save As through the real dialog, typing the path. The dialog is the
    // only window it opens: a failed save would show a message box.
    LRESULT saveAs(const std::string& target, std::source_location where = std::source_location::current())
    {
        const auto trace = calledFrom(where);
        ModalAnswerer answers;
        answers.then(chooseFile(target));
        const LRESULT result = sendCommand(window, ID_FILE_SAVE_AS);
        EXPECT_EQ(answers.seen().size(), 1u) << describeSeen(answers);
        return result;
    }

    LRESULT open(const std::string& source, ModalAnswerer& answers,
                 std::source_location where = std::source_location::current())
    {
        const auto trace = calledFrom(where);
        answers.then(chooseFile(source));
        return sendCommand(window, ID_FILE_OPEN);
    }

    std::string directory;
};

TEST_F(FileCommands, SaveWithoutAFileAsksUnderTheSaveAsTitleAndCancelChangesNothing)
{
    addTopLevel(OX, {"q", "a"});
    ModalAnswerer answers;
    answers.then(pressButton(IDCANCEL));
    EXPECT_EQ(sendCommand(window, ID_FILE_SAVE), -1);
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].caption, "名前を付けて保存");
    EXPECT_EQ(fileLabel(), "編集中のファイル:新規ファイル");
    EXPECT_TRUE(editorState.filePath.empty());
}

TEST_F(FileCommands, SaveAsNamesTheFileAndSaveThenWritesThereWithoutADialog)
{
    addTopLevel(OX, {"first", "a"});
    ASSERT_EQ(saveAs(path("zib-a.xml")), 0);
    EXPECT_EQ(fileLabel(), "編集中のファイル:zib-a.xml");
    EXPECT_EQ(fileLabelHeight(), 30);
    EXPECT_EQ(editorState.filePath, path("zib-a.xml"));
    EXPECT_NE(readBytes(path("zib-a.xml")).value_or("").find("first"), std::string::npos);

    addTopLevel(OX, {"second", "a"});
    ModalAnswerer noDialog;
    EXPECT_EQ(sendCommand(window, ID_FILE_SAVE), 0);
    EXPECT_TRUE(noDialog.seen().empty());
    EXPECT_NE(readBytes(path("zib-a.xml")).value_or("").find("second"), std::string::npos);
}

TEST_F(FileCommands, TheSavedFileHoldsTheSetAsShiftJisXml)
{
    ProblemPtr parent = addTopLevel(YONTAKU, {"川は？", "信濃川", "利根川", " ", "a&b<c"});
    parent->addBranch(createProblem(YONTAKU, {"湖は？", "琵琶湖", "1", "2", "3"}));
    addTopLevel(OX, {"一行目\r\n二行目", " "});
    ASSERT_EQ(saveAs(path("zib-a.xml")), 0);
    EXPECT_EQ(readBytes(path("zib-a.xml")),
              "<?xml version='1.0' encoding='SHIFT_JIS'?>\r\n"
              "<root><yontaku><main><question>川は？</question><answer>信濃川</answer><dummy>利根川</dummy>"
              "<dummy> </dummy><dummy>a&amp;b&lt;c</dummy></main><sub><question>湖は？</question>"
              "<answer>琵琶湖</answer><dummy>1</dummy><dummy>2</dummy><dummy>3</dummy></sub></yontaku>"
              "<ox><main><question>一行目\r\n二行目</question><answer> </answer></main></ox></root>\r\n");
}

TEST_F(FileCommands, OpenRestoresEveryProblemAndBranchAndForgetsThePickedProblem)
{
    ProblemPtr parent = addTopLevel(RENSOU, {"h1", "h2", "h3", "h4", "ans", "d1", "d2", "d3"});
    parent->addBranch(createProblem(RENSOU, {"bh1", "bh2", "bh3", "bh4", "bans", "bd1", "bd2", "bd3"}));
    addTopLevel(SLOT, {"spin", "777", "r1", "r2", "r3", "r4", "r5", "r6"});
    ASSERT_EQ(saveAs(path("zib-a.xml")), 0);

    sendCommand(window, ID_FILE_NEW);
    ASSERT_TRUE(problemList.empty());
    addTopLevel(OX, {"old", "set"});
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 0));
    ASSERT_NE(editorState.editing.editTarget(), nullptr);

    ModalAnswerer answers;
    ASSERT_EQ(open(path("zib-a.xml"), answers), 0);
    EXPECT_EQ(answers.seen()[0].caption, "ファイルを開く");
    EXPECT_EQ(fileLabel(), "編集中のファイル:zib-a.xml");
    EXPECT_EQ(fileLabelHeight(), 30);
    EXPECT_EQ(editorState.editing.editTarget(), nullptr);
    EXPECT_EQ(editorState.editing.branchParent(), nullptr);
    EXPECT_EQ(problemLabel(window), "編集中の問題:新規問題");

    EXPECT_EQ(selectionLines(window), (Lines{"【連想】h1", " ┗bh1", "【スロ】spin"}));
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 1));
    EXPECT_EQ(fieldTexts(window, RENSOU), (Lines{"bh1", "bh2", "bh3", "bh4", "bans", "bd1", "bd2", "bd3"}));
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 2));
    EXPECT_EQ(fieldTexts(window, SLOT), (Lines{"spin", "777", "r1", "r2", "r3", "r4", "r5", "r6"}));
}

TEST_F(FileCommands, AFailedOpenShowsTheMessageAndKeepsSetNameAndLabel)
{
    addTopLevel(OX, {"kept", "a"});
    ASSERT_EQ(saveAs(path("zib-a.xml")), 0);
    const std::string badFiles[] = {
        "<root><ox><main>",
        "<?xml version='1.0'?><!DOCTYPE root [<!ENTITY e 'x'>]><root><ox><main><question>&e;</question>"
        "</main></ox></root>",
    };
    for (const std::string& bad : badFiles) {
        SCOPED_TRACE(bad);
        writeBytes(path("zib-bad.xml"), bad);
        ModalAnswerer answers;
        EXPECT_EQ(open(path("zib-bad.xml"), answers), -1);
        ASSERT_EQ(answers.seen().size(), 2u);
        EXPECT_EQ(answers.seen()[1].caption, "エラー");
        EXPECT_EQ(answers.seen()[1].text, "XMLファイル読み込みに失敗しました");
        ASSERT_EQ(problemList.size(), 1u);
        EXPECT_EQ(getFields(*problemList[0])[0], "kept");
        EXPECT_EQ(editorState.filePath, path("zib-a.xml"));
        EXPECT_EQ(fileLabel(), "編集中のファイル:zib-a.xml");
    }
}

TEST_F(FileCommands, AFailedSaveShowsTheMessageAndLeavesTheOldBytes)
{
    addTopLevel(OX, {"old", "a"});
    ASSERT_EQ(saveAs(path("zib-a.xml")), 0);
    const std::optional<std::string> before = readBytes(path("zib-a.xml"));
    ASSERT_TRUE(before);
    addTopLevel(OX, {"new", "a"});

    // Wine ignores read-only attributes for root; a handle that shares
    // nothing makes every other open of the file fail.
    HANDLE holder = CreateFileA(path("zib-a.xml").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    ModalAnswerer answers;
    EXPECT_EQ(sendCommand(window, ID_FILE_SAVE), -1);
    CloseHandle(holder);

    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].caption, "エラー");
    EXPECT_EQ(answers.seen()[0].text, "XMLファイル保存に失敗しました");
    EXPECT_EQ(readBytes(path("zib-a.xml")), before);
    EXPECT_EQ(fileLabel(), "編集中のファイル:zib-a.xml");
}

// The dialog asks before Save As replaces a file. A read-only file is then
// left as it was, with the message; a hidden one is replaced and stays
// hidden.
TEST_F(FileCommands, SaveAsOntoAReadOnlyOrAHiddenFile)
{
    addTopLevel(OX, {"q", "a"});
    struct Case {
        const char* name;
        DWORD attributes;
        bool saved;
    };
    for (const Case& c : {Case{"zib-readonly.xml", FILE_ATTRIBUTE_READONLY, false},
                          Case{"zib-hidden.xml", FILE_ATTRIBUTE_HIDDEN, true}}) {
        SCOPED_TRACE(c.name);
        const std::string target = path(c.name);
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        writeBytes(target, "old bytes");
        ASSERT_TRUE(SetFileAttributesA(target.c_str(), c.attributes));

        ModalAnswerer answers;
        answers.then(chooseFile(target)).then(pressButton(IDYES)).then(pressButton(IDOK));
        EXPECT_EQ(sendCommand(window, ID_FILE_SAVE_AS), c.saved ? 0 : -1);
        ASSERT_EQ(answers.seen().size(), c.saved ? 2u : 3u) << describeSeen(answers);
        // The dialog's question to replace the file, then the message.
        EXPECT_FALSE(answers.seen()[1].text.empty());
        if (!c.saved) {
            EXPECT_EQ(answers.seen()[2].text, "XMLファイル保存に失敗しました");
        }
        const std::optional<std::string> bytes = readBytes(target);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->starts_with(kHeader), c.saved) << *bytes;
        EXPECT_EQ(GetFileAttributesA(target.c_str()) & c.attributes, c.attributes);
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(target.c_str());
    }
}

// A field is read into 32,768 bytes. Cut at 32,767, 20,000 × 日 would end
// in the lead byte of a character, which no Shift-JIS file can hold: the
// text ends before that character, so the set still saves.
TEST_F(FileCommands, AFieldTooLongToReadKeepsWholeCharactersAndTheSetSaves)
{
    typeInto(window, kQuestionSlot, days(20000));
    ASSERT_EQ(windowText(fieldControl(window, kQuestionSlot)).size(), 40000u) << "the field itself holds less";
    pressAdd(window);
    typeInto(window, kQuestionSlot, "x" + days(20000));
    pressAdd(window);

    ASSERT_EQ(saveAs(path("zib-a.xml")), 0);
    EXPECT_EQ(withRunsOfDays(readBytes(path("zib-a.xml"))),
              kHeader + "<root><ox><main><question>{日x16383}</question><answer> </answer></main></ox>" +
                  "<ox><main><question>x{日x16383}</question><answer> </answer></main></ox></root>\r\n");
}

// Picking a problem whose text is longer than a field read and pressing Add
// without touching the fields stores the text as read back; the next save
// still succeeds.
TEST_F(FileCommands, AnOpenedTooLongTextIsCutOnAddAndTheSetStillSaves)
{
    writeQuizFile(path("zib-b.xml"),
                  "<root><ox><main><question>" + days(20000) + "</question><answer>a</answer></main></ox></root>");
    ModalAnswerer opening;
    ASSERT_EQ(open(path("zib-b.xml"), opening), 0);
    ASSERT_EQ(opening.seen().size(), 1u) << describeSeen(opening);
    ASSERT_NO_FATAL_FAILURE(selectLine(window, 0));
    ASSERT_EQ(withRunsOfDays(windowText(fieldControl(window, kQuestionSlot))), "{日x20000}");

    ModalAnswerer noBox;
    pressAdd(window);
    EXPECT_EQ(sendCommand(window, ID_FILE_SAVE), 0);
    EXPECT_TRUE(noBox.seen().empty()) << describeSeen(noBox);
    EXPECT_EQ(withRunsOfDays(readBytes(path("zib-b.xml"))),
              kHeader + "<root><ox><main><question>{日x16383}</question><answer>a</answer></main></ox></root>\r\n");
}

TEST_F(FileCommands, NewEmptiesTheSetAndTheNextDialogOffersTheLastPath)
{
    addTopLevel(OX, {"q", "a"});
    ASSERT_EQ(saveAs(path("zib-a.xml")), 0);
    EXPECT_EQ(sendCommand(window, ID_FILE_NEW), 0);
    EXPECT_TRUE(problemList.empty());
    EXPECT_TRUE(editorState.filePath.empty());
    EXPECT_EQ(fileLabel(), "編集中のファイル:新規ファイル");
    EXPECT_EQ(fileLabelHeight(), 20);
    EXPECT_EQ(problemLabel(window), "編集中の問題:新規問題");

    std::string offered;
    ModalAnswerer answers;
    answers.then(inspectThenPress([&](HWND dialog) { offered = windowText(fileNameField(dialog)); }, IDCANCEL));
    EXPECT_EQ(sendCommand(window, ID_FILE_SAVE), -1);
    EXPECT_NE(offered.find("zib-a"), std::string::npos) << offered;
}

TEST_F(FileCommands, AFailingFileDialogIsReportedAndTheProgramKeepsRunning)
{
    addTopLevel(OX, {"unsaved", "a"});
    // With the default extension added, this name no longer fits the
    // 260-byte path buffer: the dialog fails instead of returning a path.
    const std::string tooLong = directory + std::string(257 - directory.size(), 'x');
    ModalAnswerer answers;
    answers.then(chooseFile(tooLong)).then(pressButton(IDOK));
    EXPECT_EQ(sendCommand(window, ID_FILE_SAVE_AS), -1);
    ASSERT_EQ(answers.seen().size(), 2u);
    EXPECT_EQ(answers.seen()[1].caption, "エラー");
    EXPECT_EQ(answers.seen()[1].text, "ダイアログ表示に失敗しました");
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(problemList.size(), 1u);
    EXPECT_EQ(fileLabel(), "編集中のファイル:新規ファイル");
}

TEST_F(FileCommands, VersionShowsTheVersionBox)
{
    ModalAnswerer answers;
    answers.then(pressButton(IDOK));
    EXPECT_EQ(sendCommand(window, ID_HELP_VERSION), 0);
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].caption, "バージョン情報");
    EXPECT_EQ(answers.seen()[0].text, "ZIB V0.12");
}

TEST_F(FileCommands, ExitClosesTheWindowWithoutAsking)
{
    addTopLevel(OX, {"unsaved", "a"});
    ModalAnswerer answers;
    EXPECT_EQ(sendCommand(window, ID_FILE_EXIT), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(answers.seen().empty());
}

} // namespace
