// Any suggestions answer gives a bounded list of completions or a refusal, without a crash, hang or leak.

#include "failure.h"
#include "suggestions_answer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto completions = ReadSuggestions({reinterpret_cast<const char*>(data), size});
        std::size_t total = 0;
        for (const auto& completion : completions)
            total += completion.size();
        if (total > size)
            std::abort();
    } catch (const ScoutwellError&) {
    }
    return 0;
}
