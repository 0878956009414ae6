#include "suggestions_answer.h"

#include "code_pages.h"
#include "failure.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    std::vector<std::wstring> Answer() {
        SkipSpace();
        Expect('[');
        SkipSpace();
        if (!String())
            Fail("its first element is not the query");
        Separator(']', "it has no completions");
        std::vector<std::wstring> completions = Completions();
        while (Separator(']', nullptr))
            Value(2);
        SkipSpace();
        if (m_position != m_text.size())
            Fail("there is more after the answer");
        return completions;
    }

private:
    [[noreturn]] void Fail(const std::string& why) const {
        throw ScoutwellError("the suggestions are not readable: " + why + " (at byte " +
                             std::to_string(m_position) + ")");
    }

    bool AtEnd() const { return m_position >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_position]; }

    void SkipSpace() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'))
            ++m_position;
    }

    void Expect(char c) {
        if (Peek() != c || AtEnd())
            Fail(std::string("'") + c + "' expected");
        ++m_position;
    }

    // After an element: true at a comma (the next element follows), false
    // at the closing bracket; missing, fails with why (or as malformed).
    bool Separator(char close, const char* why) {
        SkipSpace();
        if (Peek() == ',' && !AtEnd()) {
            ++m_position;
            SkipSpace();
            return true;
        }
        if (Peek() == close && !AtEnd()) {
            ++m_position;
            if (why != nullptr)
                Fail(why);
            return false;
        }
        Fail(std::string("',' or '") + close + "' expected");
    }

    std::vector<std::wstring> Completions() {
        Expect('[');
        SkipSpace();
        std::vector<std::wstring> completions;
        if (Peek() == ']' && !AtEnd()) {
            ++m_position;
            return completions;
        }
        do {
            std::string bytes;
            if (!String(&bytes))
                Fail("a completion is not a string");
            auto text = DecodeUtf8(bytes);
            if (!text)
                Fail("a completion is not UTF-8");
            const bool control = std::any_of(text->begin(), text->end(), [](wchar_t c) {
                return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029;
            });
            if (!text->empty() && !control &&
                std::find(completions.begin(), completions.end(), *text) == completions.end())
                completions.push_back(std::move(*text));
        } while (Separator(']', nullptr));
        return completions;
    }

    void Value(int depth) {
        if (depth > MaxSuggestionsDepth)
            Fail("it is nested too deeply");
        switch (Peek()) {
        case '[':
        case '{': {
            const bool object = Peek() == '{';
            const char close = object ? '}' : ']';
            ++m_position;
            SkipSpace();
            if (Peek() == close && !AtEnd()) {
                ++m_position;
                return;
            }
            do {
                if (object) {
                    if (!String())
                        Fail("a name expected");
                    SkipSpace();
                    Expect(':');
                    SkipSpace();
                }
                Value(depth + 1);
            } while (Separator(close, nullptr));
            return;
        }
        case 't':
            return Literal("true");
        case 'f':
            return Literal("false");
        case 'n':
            return Literal("null");
        default:
            if (!String() && !Number())
                Fail("a value expected");
        }
    }

    void Literal(std::string_view word) {
        if (m_text.substr(m_position, word.size()) != word)
            Fail("a value expected");
        m_position += word.size();
    }

    std::size_t Digits() {
        const std::size_t start = m_position;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9')
            ++m_position;
        return m_position - start;
    }

    bool Number() {
        if (AtEnd() || !(Peek() == '-' || (Peek() >= '0' && Peek() <= '9')))
            return false;
        if (Peek() == '-')
            ++m_position;
        if (Peek() == '0' && !AtEnd())
            ++m_position;
        else if (Digits() == 0)
            Fail("a number expected");
        if (Peek() == '.' && !AtEnd()) {
            ++m_position;
            if (Digits() == 0)
                Fail("a digit expected");
        }
        if ((Peek() == 'e' || Peek() == 'E') && !AtEnd()) {
            ++m_position;
            if (Peek() == '+' || Peek() == '-')
                ++m_position;
            if (Digits() == 0)
                Fail("a digit expected");
        }
        return true;
    }

    std::uint32_t Hex4() {
        if (m_text.size() - m_position < 4)
            Fail("four hex digits expected");
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_position++];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0)
                Fail("four hex digits expected");
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        return value;
    }

    std::uint32_t Escape() {
        const std::uint32_t code = Hex4();
        if (code >= 0xDC00 && code <= 0xDFFF)
            Fail("a lone surrogate");
        if (code < 0xD800 || code > 0xDBFF)
            return code;
        if (m_text.substr(m_position, 2) != "\\u")
            Fail("a lone surrogate");
        m_position += 2;
        const std::uint32_t low = Hex4();
        if (low < 0xDC00 || low > 0xDFFF)
            Fail("a lone surrogate");
        return 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }

    // Reads a string into bytes (UTF-8 as it came, escapes decoded); false
    // when there is no string here.
    bool String(std::string* bytes = nullptr) {
        if (Peek() != '"' || AtEnd())
            return false;
        ++m_position;
        const std::size_t start = m_position;
        std::string out;
        for (;;) {
            if (AtEnd())
                Fail("a string is not closed");
            const auto c = static_cast<unsigned char>(m_text[m_position++]);
            if (c == '"')
                break;
            if (c < 0x20)
                Fail("a control character in a string");
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            const char escaped = AtEnd() ? '\0' : m_text[m_position++];
            static constexpr std::string_view From = "\"\\/bfnrt", To = "\"\\/\b\f\n\r\t";
            if (const std::size_t known = From.find(escaped);
                escaped != '\0' && known != std::string_view::npos)
                out += To[known];
            else if (escaped == 'u')
                out += EncodeUtf8(std::wstring(1, static_cast<wchar_t>(Escape())));
            else
                Fail("an unknown escape in a string");
        }
        if (!DecodeUtf8(m_text.substr(start, m_position - 1 - start)))
            Fail("a string is not UTF-8");
        if (bytes != nullptr)
            *bytes = std::move(out);
        return true;
    }

    std::string_view m_text;
    std::size_t m_position = 0;
};

} // namespace

std::vector<std::wstring> ReadSuggestions(std::string_view answer) {
    if (answer.size() > MaxSuggestionsBytes)
        throw ScoutwellError("the suggestions are larger than " + std::to_string(MaxSuggestionsBytes / 1024) +
                             " KB");
    return JsonReader(answer).Answer();
}
