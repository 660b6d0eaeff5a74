// Replacing a file on disk: what stands at the target decides what a write
// does, a replaced file keeps what it was given, and the temporaries of
// writers that were killed go with the next write.
#include "TestFiles.h"

#include "files/FileIO.h"
#include "files/TemporaryFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <stdexcept>
#include <thread> // its clocks: <chrono> has a text code page 932 lacks

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

const char* const kOwnPrefix = kTemporaryPrefix;
const char* const kOtherPrefix = kOwnPrefix == kWindowsTemporaryPrefix ? kPosixTemporaryPrefix : kWindowsTemporaryPrefix;

// No system gives a process this id.
constexpr unsigned long kNoSuchProcess = 0x7FFFFFF0;

std::string keepWritingProgram()
{
#ifdef _WIN32
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path() / "keep_writing.exe").string();
#else
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "keep_writing").string();
#endif
}

// A keep_writing process replacing `target` until it is killed.
class Writer {
public:
    explicit Writer(const std::string& target)
    {
#ifdef _WIN32
        // Wine now and then refuses a process while the last one is torn
        // down: a few more tries.
        for (int attempt = 0; attempt < 10 && !started; ++attempt) {
            std::string command = "keep_writing.exe \"" + target + "\"";
            STARTUPINFOA startup = {};
            startup.cb = sizeof startup;
            if (CreateProcessA(keepWritingProgram().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process)) {
                CloseHandle(process.hThread);
                started = true;
            } else {
                startError = GetLastError();
                Sleep(100);
            }
        }
#else
        const std::string program = keepWritingProgram();
        child = ::fork();
        if (child == 0) {
            ::execl(program.c_str(), program.c_str(), target.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        started = child > 0;
#endif
    }
    ~Writer() { kill(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool running() const { return started; }
    // Why the process could not be started (0 natively: fork never fails here).
    unsigned long error() const { return startError; }
    unsigned long id() const
    {
#ifdef _WIN32
        return process.dwProcessId;
#else
        return static_cast<unsigned long>(child);
#endif
    }

    void kill()
    {
        if (!started)
            return;
#ifdef _WIN32
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
#else
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
#endif
        started = false;
    }

private:
    bool started = false;
    unsigned long startError = 0;
#ifdef _WIN32
    PROCESS_INFORMATION process = {};
#else
    pid_t child = -1;
#endif
};

std::vector<std::string> temporariesIn(const std::vector<std::string>& names)
{
    std::vector<std::string> temporaries;
    for (const std::string& name : names)
        if (temporaryFileProcess(kOwnPrefix, name))
            temporaries.push_back(name);
    return temporaries;
}

TEST(TemporaryNames, AreOfOneLengthAndNameTheirWriter)
{
    for (const unsigned long process : {0ul, 1ul, 4194304ul, 0xFFFFFFFFul})
        for (const int attempt : {0, 1, kMostTemporaryAttempts - 1}) {
            const std::string name = temporaryFileName("~zib", process, attempt);
            EXPECT_EQ(name.size(), 18u) << name;
            EXPECT_EQ(temporaryFileProcess("~zib", name), process) << name;
            EXPECT_FALSE(temporaryFileProcess("~ziw", name)) << name;
        }
    for (const char* other : {"~zib0000000100.tm", "~zib000000010.tmp", "~zib0000000g00.tmp", "x~zib000000100.tmp",
                              "~zib0000000100.tmpx", "~zib0000000A00.tmp", "out.csv.~123-0"})
        EXPECT_FALSE(temporaryFileProcess("~zib", other)) << other;
}

class FileReplace : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string target = folder.path("out.csv");
};

TEST_F(FileReplace, WhatStandsAtTheTargetDecidesTheWrite)
{
    EXPECT_FALSE(pathExists(target));
    EXPECT_EQ(fileSizeOf(target), std::nullopt);
    EXPECT_EQ(writeTargetOf(target), WriteTarget::NewFile);
    ASSERT_TRUE(replaceFileContents(target, "new"));
    EXPECT_TRUE(pathExists(target));
    EXPECT_EQ(writeTargetOf(target), WriteTarget::File);
    ASSERT_TRUE(replaceFileContents(target, "newer"));
    EXPECT_EQ(readBytes(target), "newer");
    EXPECT_EQ(fileSizeOf(target), 5u);

    const std::string inTheWay = folder.path("folder.csv");
    std::filesystem::create_directory(inTheWay);
    EXPECT_TRUE(pathExists(inTheWay));
    EXPECT_EQ(writeTargetOf(inTheWay), WriteTarget::NotAFile);
    EXPECT_EQ(fileSizeOf(inTheWay), std::nullopt);
    EXPECT_FALSE(replaceFileContents(inTheWay, "x"));
    EXPECT_TRUE(std::filesystem::is_directory(inTheWay));
    EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"folder.csv", "out.csv"}));
}

// Windows writes a file in pieces of 4 MiB: sizes around one piece, and a
// file of several pieces and a part, come back byte for byte, each over a
// larger one. Random bytes: a piece written twice or out of place shows.
TEST_F(FileReplace, LargeFilesAreWrittenWhole)
{
    constexpr std::size_t kPiece = std::size_t{4} << 20;
    std::mt19937 random(20261210);
    writeBytes(target, std::string(6 * kPiece, 'o'));
    for (const std::size_t size : {5 * kPiece + 12345, kPiece + 1, kPiece, kPiece - 1, std::size_t{1}}) {
        SCOPED_TRACE(size);
        std::string bytes(size, '\0');
        for (std::size_t at = 0; at < size; at += 4) {
            const std::uint32_t word = random();
            std::memcpy(bytes.data() + at, &word, size - at < 4 ? size - at : 4);
        }
        ASSERT_TRUE(replaceFileContents(target, bytes));
        const std::optional<std::string> back = readBytes(target);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->size(), size);
        EXPECT_TRUE(*back == bytes) << "the file differs from what was written";
    }
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{"out.csv"});
}

// Bytes made piece by piece land as one file; a maker that gives up or
// throws halfway leaves the old file as it was and no temporary.
TEST_F(FileReplace, PiecesLandWholeOrNotAtAll)
{
    const auto pieces = [](const ByteSink& write) {
        for (const char* piece : {"first,", "", "second,", "third"})
            if (!write(piece))
                return false;
        return true;
    };
    ASSERT_TRUE(replaceFileContentsWith(target, pieces));
    EXPECT_EQ(readBytes(target), "first,second,third");

    const auto givesUp = [](const ByteSink& write) { return write("half") && false; };
    EXPECT_FALSE(replaceFileContentsWith(target, givesUp));
    const auto throws = [](const ByteSink& write) -> bool {
        write("half");
        throw std::runtime_error("the maker failed");
    };
    EXPECT_THROW(replaceFileContentsWith(target, throws), std::runtime_error);
    EXPECT_EQ(readBytes(target), "first,second,third");
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{"out.csv"});
}

TEST_F(FileReplace, AnyNameTheFileSystemTakesIsWritten)
{
#ifdef _WIN32
    const std::string day = "日"; // the ANSI code page's bytes
#else
    const std::string day = "\xE6\x97\xA5"; // file names here are UTF-8
#endif
    std::string japanese;
    for (int i = 0; i < 85; ++i)
        japanese += day;
    for (const std::string& name : {std::string(255, 'a'), std::string(251, 'b') + ".csv", japanese}) {
        ASSERT_TRUE(replaceFileContents(folder.path(name), "x")) << name;
        ASSERT_TRUE(replaceFileContents(folder.path(name), "y")) << name;
        EXPECT_EQ(readBytes(folder.path(name)), "y");
    }
    EXPECT_EQ(folder.fileNames().size(), 3u);
}

TEST_F(FileReplace, OneFileUnderAnyOfItsNames)
{
    writeBytes(target, "a");
    writeBytes(folder.path("other.csv"), "a");
    const std::string parent = std::filesystem::path(target).parent_path().string();
    EXPECT_TRUE(isSameFile(target, target));
    EXPECT_TRUE(isSameFile(target, folder.path(".") + "/../" + std::filesystem::path(parent).filename().string() +
                                       "/out.csv"));
#ifdef _WIN32
    EXPECT_TRUE(isSameFile(target, folder.path("OUT.CSV")));
#else
    std::filesystem::create_symlink("out.csv", folder.path("link.csv"));
    EXPECT_TRUE(isSameFile(folder.path("link.csv"), target));
#endif
    EXPECT_FALSE(isSameFile(target, folder.path("other.csv")));
    EXPECT_FALSE(isSameFile(target, folder.path("missing.csv")));
    EXPECT_FALSE(isSameFile(folder.path("missing.csv"), folder.path("missing.csv")));
}

// Some process other than this one that runs throughout the test.
TEST_F(FileReplace, TemporariesOfEndedWritersGoWithTheNextWrite)
{
    TestFolder elsewhere;
    Writer living(elsewhere.path("busy.csv"));
    ASSERT_TRUE(living.running());
    const std::vector<std::string> kept = {temporaryFileName(kOwnPrefix, living.id(), 0),
                                           temporaryFileName(kOtherPrefix, kNoSuchProcess, 0), "~zib-not-ours.tmp"};
    const std::string ended = temporaryFileName(kOwnPrefix, kNoSuchProcess, 7);
    for (const std::string& name : kept)
        writeBytes(folder.path(name), "left");
    writeBytes(folder.path(ended), "left");

    ASSERT_TRUE(replaceFileContents(target, "x"));
    std::vector<std::string> expected = kept;
    expected.push_back("out.csv");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.fileNames(), expected);
}

// A library's work file lies where the write goes, under the temporaries'
// naming: a later write removes it only once its process has ended. Its
// library name opens it with the C library, also in a folder whose name
// the ANSI code page lacks.
TEST_F(FileReplace, AWorkFileIsATemporaryBesideTheTarget)
{
    for (const char* folderName : {"sub", "caf\xC3\xA9"}) {
        SCOPED_TRACE(folderName);
#ifdef _WIN32
        struct Utf8Paths {
            Utf8Paths() { usePathsInUtf8(true); }
            ~Utf8Paths() { usePathsInUtf8(false); }
        } zibconvsPaths;
        const std::filesystem::path sub = std::filesystem::u8path(folder.path("")) / std::filesystem::u8path(folderName);
        const std::string subPath = folder.path("") + folderName;
#else
        const std::filesystem::path sub = folder.path(folderName);
        const std::string subPath = sub.string();
#endif
        std::filesystem::create_directory(sub);
        const std::optional<WorkFile> work = makeWorkFileBeside(subPath + "/book.xlsx");
        ASSERT_TRUE(work);
        EXPECT_TRUE(temporaryFileProcess(kOwnPrefix, std::filesystem::path(work->libraryPath).filename().string()) ||
                    work->libraryPath.find('~') != std::string::npos);
        std::FILE* file = std::fopen(work->libraryPath.c_str(), "wb");
        ASSERT_NE(file, nullptr) << work->libraryPath;
        std::fputs("work", file);
        std::fclose(file);
        EXPECT_EQ(readFileBytes(work->path), "work");
        ASSERT_TRUE(replaceFileContents(subPath + "/book.xlsx", "book"));
        EXPECT_EQ(readFileBytes(work->path), "work") << "the work file of a running process was removed";
        removeFile(work->path);
        EXPECT_FALSE(readFileBytes(work->path));
    }
}

TEST_F(FileReplace, AfterTwoHundredKilledWritersTheNextWriteLeavesNoTemporary)
{
    writeBytes(target, "old");
    const std::string payload(1 << 18, 'k'); // what keep_writing writes
    std::mt19937 random(20261209);
    int leftByKills = 0;
    // Now and then a Wine process never gets going (nothing in 10 s, on a
    // loaded machine): it is killed and another takes its turn, but not
    // over and over.
    int stalledStarts = 0;
    // On a loaded machine a kill may seldom come during a write: more kills
    // then, until one does.
    int kill = 0;
    while (kill < 200 || (leftByKills == 0 && kill < 1000)) {
        // Each writer is known to write once its own temporary or its bytes
        // show: the last writer's leftovers and bytes must not count, or the
        // kill comes while a slow start (Wine's) has not written yet.
        writeBytes(target, "old");
        Writer writer(target);
        ASSERT_TRUE(writer.running()) << "kill " << kill << ": error " << writer.error();
        const auto ownTemporary = [&] {
            for (const std::string& name : folder.fileNames())
                if (temporaryFileProcess(kOwnPrefix, name) == writer.id())
                    return true;
            return false;
        };
        // Killed while it writes, or between two writes.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        const auto writing = [&] { return ownTemporary() || readBytes(target) != "old"; };
        while (!writing() && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!writing()) {
            ++stalledStarts;
            ASSERT_LE(stalledStarts, 5) << "kill " << kill << ": writers wrote nothing in 10 s, " << stalledStarts
                                        << " times";
            continue;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 8000));
        writer.kill();
        ++kill;
        const std::optional<std::string> bytes = readBytes(target);
        ASSERT_TRUE(bytes == "old" || bytes == payload)
            << "kill " << kill << ": " << (bytes ? std::to_string(bytes->size()) + " bytes" : "no file") << " among "
            << ::testing::PrintToString(folder.fileNames());
        leftByKills += temporariesIn(folder.fileNames()).empty() ? 0 : 1;
    }
    const std::size_t remaining = temporariesIn(folder.fileNames()).size();
    std::printf("%d kills: %d left a temporary, %zu remain before the next write (%d writers never started)\n", kill,
                leftByKills, remaining, stalledStarts);
    EXPECT_GT(leftByKills, 0) << "no kill came during a write: the test proves nothing";
    ASSERT_TRUE(replaceFileContents(target, "last"));
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{"out.csv"});
}

#ifdef _WIN32
TEST_F(FileReplace, AReplacedFileKeepsItsAttributes)
{
    writeBytes(target, "old");
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(replaceFileContents(target, "new"));
    EXPECT_EQ(readBytes(target), "new");
    EXPECT_NE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(FileReplace, ADeviceIsNeverReplaced)
{
    for (const char* device : {"NUL", "\\\\.\\NUL", "CON"}) {
        EXPECT_EQ(writeTargetOf(device), WriteTarget::NotAFile) << device;
        EXPECT_FALSE(replaceFileContents(device, "x")) << device;
    }
}
#else
TEST_F(FileReplace, ALinkIsWrittenThroughAndStays)
{
    std::filesystem::create_directory(folder.path("real"));
    writeBytes(folder.path("real/data.csv"), "old");
    std::filesystem::create_symlink("real/data.csv", folder.path("live.csv"));
    std::filesystem::create_symlink("live.csv", folder.path("chain.csv"));
    std::filesystem::create_symlink("real/nowhere.csv", folder.path("dangling.csv"));
    std::filesystem::create_symlink("loop-b.csv", folder.path("loop-a.csv"));
    std::filesystem::create_symlink("loop-a.csv", folder.path("loop-b.csv"));
    struct Case {
        const char* link;
        WriteTarget target;
        const char* written; // null: refused
    };
    for (const Case& c : {Case{"live.csv", WriteTarget::File, "real/data.csv"},
                          Case{"chain.csv", WriteTarget::File, "real/data.csv"},
                          Case{"dangling.csv", WriteTarget::NewFile, "real/nowhere.csv"},
                          Case{"loop-a.csv", WriteTarget::NotAFile, nullptr}}) {
        SCOPED_TRACE(c.link);
        const std::string link = folder.path(c.link);
        EXPECT_TRUE(pathExists(link));
        EXPECT_EQ(writeTargetOf(link), c.target);
        EXPECT_EQ(replaceFileContents(link, c.link), c.written != nullptr);
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        if (c.written) {
            EXPECT_EQ(readBytes(folder.path(c.written)), c.link);
        }
    }
    EXPECT_EQ(folder.fileNames(), (std::vector<std::string>{"chain.csv", "dangling.csv", "live.csv", "loop-a.csv",
                                                            "loop-b.csv", "real"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path("real")), {}), 2);
}

TEST_F(FileReplace, AReplacedFileKeepsItsModeAndOwner)
{
    for (const mode_t mode : {0600, 0640, 0664, 0755, 02750}) {
        writeBytes(target, "old");
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        ASSERT_TRUE(replaceFileContents(target, "new"));
        struct stat status;
        ASSERT_EQ(::stat(target.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode) << std::oct << mode;
    }
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file away";
    ASSERT_EQ(::chown(target.c_str(), 1234, 5678), 0);
    ASSERT_TRUE(replaceFileContents(target, "newer"));
    struct stat status;
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 1234u);
    EXPECT_EQ(status.st_gid, 5678u);
}

// Device nodes only as private copies in the test's own folder.
TEST_F(FileReplace, NoDevicePipeOrSocketIsEverReplaced)
{
    std::vector<std::string> names = {"fifo.csv", "socket.csv", "link-to-fifo.csv"};
    ASSERT_EQ(::mkfifo(folder.path("fifo.csv").c_str(), 0666), 0);
    std::filesystem::create_symlink("fifo.csv", folder.path("link-to-fifo.csv"));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder.path("socket.csv");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    if (::mknod(folder.path("null.csv").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        names.push_back("null.csv");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string path = folder.path(name);
        struct stat before;
        ASSERT_EQ(::lstat(path.c_str(), &before), 0);
        EXPECT_TRUE(pathExists(path));
        EXPECT_EQ(writeTargetOf(path), WriteTarget::NotAFile);
        EXPECT_FALSE(replaceFileContents(path, "x"));
        struct stat after;
        ASSERT_EQ(::lstat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
    }
    ::close(listener);
    EXPECT_TRUE(temporariesIn(folder.fileNames()).empty());
}
#endif

} // namespace
