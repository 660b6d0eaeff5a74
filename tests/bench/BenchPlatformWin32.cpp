#include "BenchPlatform.h"

#include "xml/ComSupport.h"
#include "files/FileIO.h"
#include "xml/MsxmlIds.h"
#include "text/WideText.h"
#include "xml/SourceEncoding.h"
#include "xml/XMLProlog.h"

#include <psapi.h>

#include <cstdio>

double secondsNow()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::size_t peakMemoryBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}

bool parseOnly(const std::string& path)
{
    std::optional<std::string> bytes = readFileBytes(path);
    std::optional<XMLSource> source = bytes ? identifyEncoding(std::move(*bytes)) : std::nullopt;
    std::optional<std::wstring> text = source ? decodeToWide(source->encoding, source->bytes) : std::nullopt;
    if (!text)
        return false;
    blankDeclaredEncoding(*text);
    ComApartment apartment;
    ComPtr<IXMLDOMDocument> document;
    if (!apartment.ready() || FAILED(CoCreateInstance(ZIB_MSXML_CLSID, nullptr, CLSCTX_INPROC_SERVER,
                                                      IID_IXMLDOMDocument, document.putVoid())))
        return false;
    try {
        check(document->put_async(VARIANT_FALSE));
        VARIANT_BOOL loaded = VARIANT_FALSE;
        check(document->loadXML(Bstr(*text).get(), &loaded));
        return loaded == VARIANT_TRUE;
    } catch (const _com_error&) {
        return false;
    }
}

std::string scratchFolder()
{
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    return length > 0 && length <= MAX_PATH ? std::string(folder, length) : std::string(".\\");
}

std::string runSelf(const std::vector<std::string>& arguments)
{
    char self[MAX_PATH + 1] = {};
    if (GetModuleFileNameA(nullptr, self, MAX_PATH) == 0)
        return {};
    std::string command = std::string("\"\"") + self + "\"";
    for (const std::string& argument : arguments)
        command += " \"" + argument + "\"";
    // cmd.exe takes off the outer pair of quotes.
    command += "\"";
    std::string output;
    if (std::FILE* pipe = _popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        _pclose(pipe);
    }
    return output;
}
