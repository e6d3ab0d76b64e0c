#include "storage/CodePage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Code page 850, bytes 0x80 to 0xFF.
constexpr char16_t kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0};

char32_t Cp1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kCp1252High[byte - 0x80];
    }
    return byte;
}

// The Windows-1252 byte of a code point, or -1 when it has none.
int CodePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<int>(cp);
    }
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == cp) {
            return 0x80 + i;
        }
    }
    return -1;
}

// Nearest shape for the drawing characters of code page 850.
char BoxFallback(char32_t cp) {
    switch (cp) {
        case 0x2502:
        case 0x2551:
            return '|';
        case 0x2500:
        case 0x2550:
            return '-';
        case 0x2591:
        case 0x2592:
        case 0x2593:
        case 0x2588:
        case 0x2584:
        case 0x2580:
        case 0x25A0:
            return '#';
        case 0x0131:
            return 'i';
        case 0x2017:
            return '_';
        default:
            return '+';
    }
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

constexpr char32_t kErsatz = 0xFFFD;

// The code point at text[i] and its length in bytes; a sequence that is no
// well-formed UTF-8 gives kErsatz and length 0.
char32_t Dekodieren(std::string_view text, std::size_t i, std::size_t& laenge) {
    const auto lead = static_cast<unsigned char>(text[i]);
    laenge = lead < 0x80           ? 1
             : (lead >> 5) == 0x6  ? 2
             : (lead >> 4) == 0xE  ? 3
             : (lead >> 3) == 0x1E ? 4
                                   : 0;
    if (laenge == 0 || i + laenge > text.size()) {
        laenge = 0;
        return kErsatz;
    }
    char32_t cp = laenge == 1 ? lead : lead & (0x7F >> laenge);
    for (std::size_t k = 1; k < laenge; ++k) {
        const auto cont = static_cast<unsigned char>(text[i + k]);
        if ((cont & 0xC0) != 0x80) {
            laenge = 0;
            return kErsatz;
        }
        cp = (cp << 6) | (cont & 0x3F);
    }
    static constexpr char32_t kKleinste[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kKleinste[laenge] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        laenge = 0;
        return kErsatz;
    }
    return cp;
}

}  // namespace

std::string CodePage::Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string CodePage::Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 0;
        char32_t cp = 0;
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        if (valid) {
            cp = length == 1 ? lead : lead & (0x7F >> length);
            for (int k = 1; k < length; ++k) {
                auto cont = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
                if ((cont & 0xC0) != 0x80) {
                    valid = false;
                    break;
                }
                cp = (cp << 6) | (cont & 0x3F);
            }
        }
        if (!valid) {
            out.push_back('?');
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(length);
        int byte = CodePointToCp1252(cp);
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return out;
}

std::string CodePage::Cp850ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
            continue;
        }
        char32_t cp = kCp850High[byte - 0x80];
        int converted = CodePointToCp1252(cp);
        out.push_back(converted < 0 ? BoxFallback(cp) : static_cast<char>(converted));
    }
    return out;
}

bool CodePage::IstUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t laenge = 0;
        Dekodieren(text, i, laenge);
        if (laenge == 0) {
            return false;
        }
        i += laenge;
    }
    return true;
}

std::vector<char32_t> CodePage::NichtDarstellbar(std::string_view utf8) {
    std::vector<char32_t> zeichen;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t laenge = 0;
        const char32_t cp = Dekodieren(utf8, i, laenge);
        i += laenge == 0 ? 1 : laenge;
        if ((laenge == 0 || CodePointToCp1252(cp) < 0) &&
            std::find(zeichen.begin(), zeichen.end(), cp) == zeichen.end()) {
            zeichen.push_back(cp);
        }
    }
    return zeichen;
}

std::string CodePage::Codepunkt(char32_t zeichen) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(zeichen));
    return text;
}

std::string CodePage::Utf8(char32_t zeichen) {
    std::string text;
    AppendUtf8(text, zeichen);
    return text;
}

std::string CodePage::Zitat(std::string_view utf8) {
    return "\xBB" + Utf8ToCp1252(utf8) + "\xAB";
}

std::string CodePage::AlterText(std::string_view satz, std::size_t offset, std::size_t kapazitaet) {
    const auto laenge = std::min<std::size_t>(static_cast<unsigned char>(satz[offset]), kapazitaet);
    return Cp850ToCp1252(satz.substr(offset + 1, laenge));
}
