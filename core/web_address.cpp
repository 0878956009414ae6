#include "web_address.h"

#include "ascii_case.h"

bool IsWebAddress(std::wstring_view url) {
    for (std::wstring_view scheme : {L"http://", L"https://"})
        if (url.size() > scheme.size() && EqualsIgnoringAsciiCase(url.substr(0, scheme.size()), scheme))
            return true;
    return false;
}
