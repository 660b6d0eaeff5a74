// The workbook writer's refusals; what it writes is checked through Calc
// (workbook/calc_export.py) and byte for byte on both platforms (e2e).
#include "TestFiles.h"

#include "zibconv/workbooks/WorkbookWriter.h"

#include <gtest/gtest.h>

namespace {

TEST(WorkbookWriter, WritesAZipAndRemovesItsWorkFile)
{
    TestFolder folder;
    WorkbookWriter writer({folder.path("work"), folder.path("work")});
    EXPECT_TRUE(writer.append({{"kind", "question"}, {"ox", "日本\r\n二行目"}, {"", ""}}));
    const std::optional<std::string> bytes = writer.finish();
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 4), std::string("PK\x03\x04", 4));
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{});
}

// A cell holds 32,767 characters at most; a text that is no Shift-JIS has
// no characters to write.
TEST(WorkbookWriter, ATextACellCannotHoldFailsTheWorkbook)
{
    TestFolder folder;
    for (const std::string& text : {std::string(32768, 'a'), std::string("\x81")}) {
        WorkbookWriter writer({folder.path("work"), folder.path("work")});
        EXPECT_FALSE(writer.append({{"question"}, {text}}));
        EXPECT_FALSE(writer.finish());
    }
    WorkbookWriter writer({folder.path("work"), folder.path("work")});
    EXPECT_TRUE(writer.append({{"question"}, {std::string(32767, 'a')}}));
    EXPECT_TRUE(writer.finish());
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{});
}

} // namespace
