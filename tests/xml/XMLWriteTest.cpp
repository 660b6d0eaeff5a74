// The writing contract: exact bytes on disk, what is refused, and that a
// failed save never costs the existing file.
#include "TestFiles.h"

#include "xml/XMLFile.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const std::string kHead = "<?xml version='1.0' encoding='SHIFT_JIS'?>\r\n";

XMLNodesPtr element(const std::string& name, XMLNodesList children = {})
{
    XMLNodesPtr node = makeXMLNodes(name);
    node->addChildren(std::move(children));
    return node;
}

XMLNodesPtr textElement(const std::string& name, const std::string& text)
{
    return element(name, {makeXMLNodes("#text", text)});
}

class XMLWrite : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string target = folder.path("out.xml");

    // The bytes that saving `root` writes, or "(failed)".
    std::string saved(const XMLNodesPtr& root)
    {
        if (!saveXMLFile(root, target))
            return "(failed)";
        return readBytes(target).value_or("(no file)");
    }

    // Saving fails and an existing file keeps its bytes.
    void expectRefused(const XMLNodesPtr& root)
    {
        writeBytes(target, "old bytes");
        EXPECT_FALSE(saveXMLFile(root, target));
        EXPECT_EQ(readBytes(target), "old bytes");
        EXPECT_EQ(folder.fileNames(), std::vector<std::string>{"out.xml"});
    }
};

TEST_F(XMLWrite, TheExactBytesOfASmallTree)
{
    XMLNodesPtr root = element("root", {element("ox", {element("main", {textElement("question", "Q")})})});
    EXPECT_EQ(saved(root), kHead + "<root><ox><main><question>Q</question></main></ox></root>\r\n");
    EXPECT_EQ(saved(element("root")), kHead + "<root/>\r\n");
}

TEST_F(XMLWrite, TheFirstChildsTextDecidesTheContent)
{
    // Text first: only the text is written.
    XMLNodesPtr textFirst = element("a", {makeXMLNodes("#text", "abc"), element("x")});
    EXPECT_EQ(saved(element("r", {textFirst})), kHead + "<r><a>abc</a></r>\r\n");
    // A text-carrying first child of another name gives its text too.
    XMLNodesPtr named = element("a", {makeXMLNodes("other", "t"), element("x")});
    EXPECT_EQ(saved(element("r", {named})), kHead + "<r><a>t</a></r>\r\n");
    // The root's own text is never written.
    EXPECT_EQ(saved(makeXMLNodes("root", "ignored")), kHead + "<root/>\r\n");
}

TEST_F(XMLWrite, TextsAreEscapedAndLineBreaksWrittenRaw)
{
    XMLNodesPtr root = element("r", {textElement("a", "1<2 & 3>2\r\n]]>日本表")});
    EXPECT_EQ(saved(root), kHead + "<r><a>1&lt;2 &amp; 3&gt;2\r\n]]&gt;日本表</a></r>\r\n");
    EXPECT_EQ(describe(loadXMLFile(target)), "r[a[#text=\"1<2 & 3>2\n]]>日本表\"]]");
}

TEST_F(XMLWrite, ControlCharactersXmlCannotHoldAreDropped)
{
    XMLNodesPtr root = element("r", {textElement("a", std::string("a\x01" "b\x08\x0B\x0C\x0E\x1F" "c\td\0e", 14))});
    EXPECT_EQ(saved(root), kHead + "<r><a>abc\tde</a></r>\r\n");
    EXPECT_EQ(describe(loadXMLFile(target)), "r[a[#text=\"abc\tde\"]]");
}

TEST_F(XMLWrite, NamesAndTextsInShiftJisReadBack)
{
    XMLNodesPtr root = element("問題", {textElement("答え", "①ｱ表")});
    EXPECT_EQ(saved(root), kHead + "<問題><答え>①ｱ表</答え></問題>\r\n");
    EXPECT_EQ(describe(loadXMLFile(target)), "問題[答え[#text=\"①ｱ表\"]]");
}

TEST_F(XMLWrite, NamesThatAreNoXmlNamesAreRefused)
{
    for (const char* name : {"#text", "", "1a", "a b", "a:b", "a<b", "-a"}) {
        SCOPED_TRACE(name);
        expectRefused(element("root", {element(name)}));
    }
    // A container whose children include a "#text" after an element.
    expectRefused(element("root", {element("a", {element("x"), makeXMLNodes("#text", "abc")})}));
    // An empty text does not count as text: its node is taken for an element.
    expectRefused(element("root", {textElement("question", "")}));
    expectRefused(nullptr);
}

TEST_F(XMLWrite, TextsThatAreNotShiftJisAreRefused)
{
    // Unassigned cells, also between assigned ones and after valid text.
    for (const char* text : {"\x85\x40", "a\x80", "\xA0", "\xFD", "x\x82", "\x82\x01", "\x81\xAD", "\xEB\x40",
                             "あい\x81\xB7"}) {
        SCOPED_TRACE(text);
        expectRefused(element("root", {textElement("a", text)}));
    }
}

TEST_F(XMLWrite, TheCodePagesVendorCharactersAreKept)
{
    // NEC row 13, NEC-selected IBM extensions, IBM extensions.
    const std::string text = "\x87\x40\x87\x9C\xED\x40\xEE\xFC\xFA\x40\xFC\x4B";
    EXPECT_EQ(saved(element("root", {textElement("a", text)})), kHead + "<root><a>" + text + "</a></root>\r\n");
}

TEST_F(XMLWrite, NestingBeyond256LevelsIsRefused)
{
    XMLNodesPtr deepest = makeXMLNodes("e");
    for (int depth = 1; depth < 256; ++depth)
        deepest = element("e", {deepest});
    EXPECT_NE(saved(deepest), "(failed)");
    EXPECT_NE(loadXMLFile(target), nullptr);
    expectRefused(element("e", {deepest}));
}

TEST_F(XMLWrite, SavingReplacesAnExistingFileAndLeavesNothingBeside)
{
    writeBytes(target, std::string(10000, 'x'));
    EXPECT_EQ(saved(element("root")), kHead + "<root/>\r\n");
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{"out.xml"});
}

TEST_F(XMLWrite, AReadOnlyTargetKeepsItsBytes)
{
    writeBytes(target, "old bytes");
    makeReadOnly(target);
    EXPECT_FALSE(saveXMLFile(element("root"), target));
    EXPECT_EQ(readBytes(target), "old bytes");
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{"out.xml"});
}

TEST_F(XMLWrite, AMissingFolderOrAFolderInTheWayFails)
{
    EXPECT_FALSE(saveXMLFile(element("root"), folder.path("missing") + "/out.xml"));
    // The last step, putting the file in place, fails: no temporary stays.
    std::filesystem::create_directory(folder.path("dir.xml"));
    writeBytes(folder.path("dir.xml") + "/inside", "x");
    EXPECT_FALSE(saveXMLFile(element("root"), folder.path("dir.xml")));
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{"dir.xml"});
}

TEST_F(XMLWrite, AShiftJisFileNameIsUsedAsItIs)
{
    // 表 ends in 0x5C, the byte of the Windows path separator.
    const std::string path = folder.path("表.xml");
    ASSERT_TRUE(saveXMLFile(element("root", {textElement("a", "x")}), path));
    EXPECT_EQ(describe(loadXMLFile(path)), "root[a[#text=\"x\"]]");
}

#ifdef _WIN32
TEST_F(XMLWrite, ATargetHeldOpenByAnotherHandleKeepsItsBytes)
{
    writeBytes(target, "old bytes");
    HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(saveXMLFile(element("root"), target));
    CloseHandle(held);
    EXPECT_EQ(readBytes(target), "old bytes");
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{"out.xml"});
}
#endif

} // namespace
