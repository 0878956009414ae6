#include "web_address.h"

#include <algorithm>

namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](wchar_t p, wchar_t t) {
               return p == ((t >= L'A' && t <= L'Z') ? static_cast<wchar_t>(t - L'A' + L'a') : t);
           });
}

} // namespace

bool IsWebAddress(std::wstring_view url) {
    for (std::wstring_view scheme : {L"http://", L"https://"})
        if (StartsWithNoCase(url, scheme) && url.size() > scheme.size())
            return true;
    return false;
}
