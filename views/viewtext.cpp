#include "views/viewtext.h"

#include <algorithm>
#include <array>

namespace varnel::viewtext {

namespace {

std::array<unsigned char, 256> makeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 0x20);
    // À..Þ except the multiplication sign fold onto à..þ.
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7)
            t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 0x20);
    t[0x8A] = 0x9A; // Š š
    t[0x8C] = 0x9C; // Œ œ
    t[0x8E] = 0x9E; // Ž ž
    t[0x9F] = 0xFF; // Ÿ ÿ
    return t;
}

const std::array<unsigned char, 256> kFold = makeFoldTable();

} // namespace

unsigned char foldCase(unsigned char byte) {
    return kFold[byte];
}

std::string folded(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out)
        c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);
    return out;
}

bool containsFolded(std::string_view haystack, std::string_view foldedNeedle) {
    if (foldedNeedle.empty())
        return true;
    const auto it = std::search(haystack.begin(), haystack.end(), foldedNeedle.begin(),
                                foldedNeedle.end(), [](char a, char b) {
                                    return kFold[static_cast<unsigned char>(a)] ==
                                           static_cast<unsigned char>(b);
                                });
    return it != haystack.end();
}

} // namespace varnel::viewtext
