#include "code_pages.h"

#include <array>
#include <cerrno>
#include <map>
#include <set>
#include <string>

#include <iconv.h>

namespace {

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);

// One iconv converter per code page and thread, opened when first needed.
class Converters {
public:
    ~Converters() {
        std::set<iconv_t> open; // a page iconv does not know shares the Windows-1252 converter
        for (const auto& [codePage, converter] : m_converters)
            open.insert(converter);
        open.erase(NoConverter);
        for (const iconv_t converter : open)
            iconv_close(converter);
    }

    iconv_t For(int codePage) {
        const auto found = m_converters.find(codePage);
        if (found != m_converters.end())
            return found->second;
        const std::string name = codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
        iconv_t converter = codePage > 0 ? iconv_open("WCHAR_T", name.c_str()) : NoConverter;
        if (converter == NoConverter && codePage != 1252)
            converter = For(1252);
        m_converters.emplace(codePage, converter);
        return converter;
    }

private:
    std::map<int, iconv_t> m_converters;
};

Converters& ThreadConverters() {
    thread_local Converters converters;
    return converters;
}

// Converts from bytes as far as the converter can; returns the bytes used and
// whether it stopped at a byte it could not convert.
std::size_t Convert(iconv_t converter, std::string_view bytes, std::wstring& text, bool& stuck) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::array<wchar_t, 256> buffer;
    stuck = false;
    while (inLeft > 0 && !stuck) {
        char* out = reinterpret_cast<char*>(buffer.data());
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        text.append(buffer.data(), reinterpret_cast<wchar_t*>(out) - buffer.data());
        stuck = result == static_cast<std::size_t>(-1) && errno != E2BIG;
    }
    // Windows-1255 and 1258 hold a letter back for a combining mark that may follow.
    char* out = reinterpret_cast<char*>(buffer.data());
    std::size_t outLeft = sizeof buffer;
    if (iconv(converter, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1))
        text.append(buffer.data(), reinterpret_cast<wchar_t*>(out) - buffer.data());
    return bytes.size() - inLeft;
}

// A byte no converter took: its Windows-1252 character, or for the five
// bytes Windows-1252 leaves undefined the C1 control of the same value, as
// Windows' own converter gives.
wchar_t FallbackCharacter(char byte) {
    std::wstring text;
    bool stuck = false;
    const iconv_t converter = ThreadConverters().For(1252);
    if (converter != NoConverter && Convert(converter, std::string_view(&byte, 1), text, stuck) == 1 &&
        text.size() == 1)
        return text[0];
    return static_cast<wchar_t>(static_cast<unsigned char>(byte));
}

} // namespace

std::optional<std::wstring> DecodeUtf8(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            text += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        int length;
        char32_t code;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + length > bytes.size())
            return std::nullopt;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return std::nullopt;
        text += static_cast<wchar_t>(code);
        i += length;
    }
    return text;
}

std::string EncodeUtf8(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const wchar_t c : text) {
        auto code = static_cast<char32_t>(c);
        if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            code = 0xFFFD;
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (code >> 18));
            bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

std::wstring DecodeCodePage(int codePage, std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    const iconv_t converter = ThreadConverters().For(codePage);
    while (!bytes.empty()) {
        bool stuck = true;
        if (converter != NoConverter)
            bytes.remove_prefix(Convert(converter, bytes, text, stuck));
        if (stuck && !bytes.empty()) {
            text += FallbackCharacter(bytes.front());
            bytes.remove_prefix(1);
        }
    }
    return text;
}

bool IsLeadByte(int codePage, unsigned char byte) {
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return false;
    }
}
