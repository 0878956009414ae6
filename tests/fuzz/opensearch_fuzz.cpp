// Any OpenSearch description (any page can offer one) is refused with a reason or gives an engine with a
// visible name and an http(s) address that a list then finds by name; no crash, hang or leak.

#include "added_engines.h"
#include "ascii_case.h"
#include "failure.h"
#include "look_alike.h"
#include "opensearch_description.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OpenSearchEngine engine;
    try {
        engine = ReadOpenSearchDescription(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const ScoutwellError& refusal) {
        if (std::string_view(refusal.what()).empty())
            std::abort();
        return 0;
    }
    if (engine.name.empty() || std::any_of(engine.name.begin(), engine.name.end(), IsInvisible) ||
        engine.name.find_first_of(L"\r\n\t") != std::wstring::npos)
        std::abort();
    std::wstring scheme = BuildSearchUrl(engine, L"caf\u00E9 & co \u65E5").substr(0, 8);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), LowerAscii<wchar_t>);
    if (!scheme.starts_with(L"http://") && scheme != L"https://")
        std::abort();
    AddedEngines engines;
    const std::wstring name = engine.name;
    try {
        engines.Add(std::move(engine));
    } catch (const ScoutwellError&) { // a catalogue name
        return 0;
    }
    if (engines.Find(name) == nullptr || engines.Find(FoldLookAlikes(name)) == nullptr)
        std::abort();
    return 0;
}
