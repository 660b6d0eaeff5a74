#include "HostileFiles.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kShiftJisDeclaration = "<?xml version='1.0' encoding='SHIFT_JIS'?>";

std::string quiz(const std::string& question)
{
    return "<root><ox><main><question>" + question + "</question><answer>a</answer></main></ox></root>";
}

std::string repeated(const std::string& piece, std::size_t count)
{
    std::string out;
    out.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        out += piece;
    return out;
}

std::string nested(std::size_t depth)
{
    return "<root>" + repeated("<e>", depth) + repeated("</e>", depth) + "</root>";
}

// The start of a quiz file of 11 MB: the root and ten thousand problems.
std::string largeSet()
{
    return "<root>" +
           repeated("<ox><main><question>" + std::string(1000, 'q') + "</question><answer>a</answer></main></ox>", 10500);
}

std::string attributes(std::size_t count)
{
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        out += " a" + std::to_string(i) + "=\"v\"";
    return out;
}

std::string utf16(const std::string& ascii, bool bigEndian)
{
    std::string out;
    for (char c : ascii)
        out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return out;
}

std::string billionLaughs()
{
    std::string entities = "<!ENTITY l0 'ha'>";
    for (int i = 1; i <= 10; ++i) {
        std::string ten;
        for (int k = 0; k < 10; ++k)
            ten += "&l" + std::to_string(i - 1) + ";";
        entities += "<!ENTITY l" + std::to_string(i) + " '" + ten + "'>";
    }
    return "<?xml version='1.0'?><!DOCTYPE root [" + entities + "]>" + quiz("&l10;");
}

std::vector<std::pair<std::string, std::string>> hostileFiles()
{
    const std::string utf8Declaration = "<?xml version='1.0' encoding='UTF-8'?>";
    return {
        // Document types: none is ever read.
        {"doctype-internal.xml", "<?xml version='1.0'?><!DOCTYPE root [<!ELEMENT root ANY>]>" + quiz("q")},
        {"doctype-external.xml", "<!DOCTYPE root SYSTEM 'file:///etc/passwd'>" + quiz("q")},
        {"doctype-external-net.xml", "<!DOCTYPE root SYSTEM 'http://example.invalid/quiz.dtd'>" + quiz("q")},
        {"doctype-parameter-entities.xml",
         "<!DOCTYPE root [<!ENTITY % p \"<!ENTITY e 'x'>\"> %p;]>" + quiz("&e;")},
        {"doctype-billion-laughs.xml", billionLaughs()},
        {"doctype-after-comment.xml", "<!-- c --><!DOCTYPE root [<!ENTITY e 'x'>]>" + quiz("&e;")},
        // Nesting.
        {"nesting-256.xml", nested(255)},
        {"nesting-257.xml", nested(256)},
        {"nesting-10000.xml", nested(10000)},
        {"nesting-100000.xml", nested(100000)},
        // Size.
        {"text-50mb.xml", kShiftJisDeclaration + quiz(std::string(50 * 1024 * 1024, 'x'))},
        {"text-at-limit.xml", kShiftJisDeclaration + quiz(std::string(9999999, 'x') + "&amp;")},
        {"text-beyond-limit.xml", kShiftJisDeclaration + quiz(std::string(9999999, 'x') + "\x93\xFA")},
        {"comment-beyond-limit.xml", "<root><!--" + std::string(10000001, 'c') + "--></root>"},
        {"kinds-200000.xml", "<root>" + repeated("<ox/>", 200000) + "</root>"},
        // Past 10 MB libxml2 refused a document whose end falls in a long text
        // or run of whitespace.
        {"large-set-long-last-text.xml", largeSet() + "<ox><main><question>" + std::string(1000, 'x') + "</question></main></ox></root>"},
        {"large-set-trailing-whitespace.xml", largeSet() + "</root>" + std::string(1000, ' ')},
        {"mains-200000.xml", "<root><ox>" + repeated("<main/>", 200000) + "</ox></root>"},
        // Attributes: parsers take time in the square of an element's count.
        {"attributes-64.xml", "<root" + attributes(64) + ">" + quiz("q").substr(6)},
        {"attributes-65.xml", "<root" + attributes(65) + ">" + quiz("q").substr(6)},
        {"attributes-230000.xml", "<root" + attributes(230000) + ">" + quiz("q").substr(6)},
        {"attributes-in-comments-and-values.xml",
         "<root a='" + repeated("=", 100) + "'><!--" + repeated(" x=", 100) + "--><?pi" + repeated(" y=", 100) + "?>" +
             quiz("<![CDATA[" + repeated("z=", 100) + "]]>").substr(6)},
        // Byte-order marks that contradict the declaration.
        {"mark-utf8-declared-sjis.xml", "\xEF\xBB\xBF" + kShiftJisDeclaration + quiz("\xE6\x97\xA5")},
        {"mark-utf16le-declared-utf8.xml", "\xFF\xFE" + utf16(utf8Declaration + quiz("q"), false)},
        {"mark-utf16be-declared-sjis.xml", "\xFE\xFF" + utf16(kShiftJisDeclaration + quiz("q"), true)},
        {"mark-utf16le-declared-sjis-bytes.xml", "\xFF\xFE" + kShiftJisDeclaration + quiz("q")},
        {"mark-utf32le.xml", std::string("\xFF\xFE\0\0", 4) + utf16(quiz("q"), false)},
        {"declared-unknown-encoding.xml", "<?xml version='1.0' encoding='x-klingon'?>" + quiz("q")},
        {"utf16-odd-bytes.xml", "\xFF\xFE" + utf16(quiz("q"), false) + "<"},
        // Shift-JIS cut inside a character.
        {"sjis-lead-byte-ends-text.xml", kShiftJisDeclaration + quiz("\x93")},
        {"sjis-lead-byte-ends-attribute.xml",
         kShiftJisDeclaration + "<root><ox a='\x93'><main><question>q</question></main></ox></root>"},
        {"sjis-lead-byte-ends-file.xml", kShiftJisDeclaration + quiz("q") + "\x93"},
        // NUL bytes.
        {"nul-in-text.xml", kShiftJisDeclaration + quiz(std::string("a\0b", 3))},
        {"nul-in-name.xml", kShiftJisDeclaration + std::string("<root><o\0x/></root>", 19)},
        {"nul-after-root.xml", kShiftJisDeclaration + quiz("q") + std::string("\0", 1)},
        // UTF-8 that is none.
        {"utf8-invalid.xml", utf8Declaration + quiz("\xC3\x28")},
        {"utf8-overlong.xml", utf8Declaration + quiz("\xC0\xBC")},
        {"utf8-surrogate.xml", utf8Declaration + quiz("\xED\xA0\x80")},
        // Character references XML does not allow.
        {"reference-surrogate.xml", quiz("&#xD800;")},
        {"reference-fffe.xml", quiz("&#xFFFE;")},
        {"reference-nul.xml", quiz("&#0;")},
        {"reference-beyond-unicode.xml", quiz("&#x110000;")},
        // Characters code page 932 cannot hold, or holds in another form.
        {"utf8-outside-cp932.xml", utf8Declaration + quiz("caf\xC3\xA9 \xF0\x9F\x98\x80 \xC2\xA5 \xE2\x80\xBE")},
        {"utf8-jis-forms.xml", utf8Declaration + quiz("\xE3\x80\x9C \xE2\x80\x96 \xE2\x88\x92 \xC2\xA2 \xE2\x80\x94")},
        {"reference-outside-cp932.xml", quiz("&#xE9;&#x1F600;&#xA5;&#x80;&#xF8F0;")},
        // Namespace errors: the one class the engines answer differently.
        {"namespace-undeclared-prefix.xml", "<root><q:ox><main><question>q</question></main></q:ox></root>"},
        {"namespace-colon-in-pi.xml", "<root><?p:i x?>" + quiz("q").substr(6)},
        // Files that hold no document.
        {"zero-bytes.xml", ""},
        {"only-declaration.xml", kShiftJisDeclaration},
        {"only-whitespace.xml", "\r\n  \t"},
        // Processing instructions and comments everywhere.
        {"comments-and-pis-everywhere.xml",
         kShiftJisDeclaration + "<!--a--><?pi a?><root><!--b--><?pi b?><ox><!--c--><?pi c?><main><!--d--><?pi d?>"
                                "<question><!--e--><?pi e?>q<!--f--></question><?pi f?><answer>a<?pi g?></answer>"
                                "</main><!--g--></ox><?pi h?></root><!--h--><?pi i?>"},
        {"pi-named-xml-inside.xml", "<root><?xml version='1.0'?><ox><main/></ox></root>"},
    };
}

} // namespace

void writeHostileFiles(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : hostileFiles())
        std::ofstream(folder + "/" + name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    // A folder where a file is expected.
    std::filesystem::create_directories(folder + "/is-a-folder.xml");
}
