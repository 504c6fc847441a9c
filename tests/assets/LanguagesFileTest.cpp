// Checks assets/Languages.rc the way the language reader uses it: a text is found by looking for
// its number anywhere before the first double quote of a line, from the top of the file, and the
// German text of number N is number N + 2000.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kGermanBase = 2000;
constexpr int kBases[] = {0, kGermanBase};

// Every text number the program asks for, by the place that shows it.
struct TextGroup {
    const char* where;
    std::vector<int> numbers;
};

const std::vector<TextGroup>& TextsInUse() {
    static const std::vector<TextGroup> groups = {
        {"players' prompts and passes", {43, 129, 130, 131, 132, 133, 134, 135}},
        {"game loop: arcade clock, draw question", {68, 104, 107}},
        {"game end, draw and undo", {43, 80, 81, 83, 84, 85, 86, 87, 88, 89, 90, 108}},
        {"matches, arcade stages, status bar",
         {90,  91,  92,  93,  94,  95,  96,  97,  98,  100, 101,
          102, 103, 104, 105, 106, 145, 207, 299, 340, 478, 720}},
        {"settings migration", {682}},
        {"board clicks", {43, 116, 117, 118, 119, 120, 121, 122, 123, 550, 551, 552}},
        {"main window menu", {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 17, 18, 19, 21, 580}},
        {"main window messages and captions", {30, 40, 41, 42, 44, 45, 207}},
        {"player selection dialog",
         {43,  82,  99,  103, 138, 139, 140, 141, 142, 143, 146, 147, 148, 149, 150, 280, 281,
          282, 283, 284, 285, 286, 287, 288, 289, 290, 291, 292, 293, 294, 295, 296, 297, 298}},
        {"surrender dialog", {305, 306, 307, 308}},
        {"stage summary dialog",
         {160, 161, 230, 231, 232, 233, 234, 235, 236, 237, 238, 239, 240, 261}},
        {"tutorial", {450, 451, 452, 453, 454, 455, 456, 457, 459, 460, 461, 462, 463, 464, 465,
                      466, 467, 469, 470, 471, 472, 473, 474, 475, 476, 478, 480, 481, 482, 483}},
        {"high-score window", {260, 261, 262, 263, 264, 265, 266, 267, 268, 277, 690, 691}},
        {"online high scores", {43, 257, 258, 259, 269, 276, 500, 501, 502, 503, 504, 505}},
        {"enter-name dialog", {43, 165, 174, 250, 251, 252, 253, 278}},
        {"link window", {45, 50, 51, 52, 53, 54, 55, 56, 57, 58,  59,  60,  61,
                         62, 63, 64, 65, 66, 75, 76, 77, 78, 310, 311, 312, 313}},
        {"game data over the link", {67, 68, 69, 70, 71, 72, 73, 74, 79}},
        {"connect dialog",
         {55, 124, 125, 126, 127, 128, 151, 152, 320, 321, 322, 323, 324, 326, 327, 328, 329, 653}},
        {"mailing-list form", {43, 580, 581, 582, 583, 584, 585, 586, 587, 588, 589, 590}},
    };
    return groups;
}

std::set<int> AllNumbersInUse() {
    std::set<int> all;
    for (const auto& group : TextsInUse())
        all.insert(group.numbers.begin(), group.numbers.end());
    return all;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

struct FileLine {
    int lineNumber; // from 1, for messages
    std::string whole;
    bool hasQuote;
    std::string prefix; // before the first double quote
    std::string text;   // between the first and the second double quote
};

// The file as the reader holds it after loading: escaped quotes are apostrophes, doubled
// backslashes single ones.
struct LanguagesFile {
    std::string raw;
    std::vector<FileLine> lines;

    // The line that a search for this number (base included) finds first.
    const FileLine* Find(int number) const {
        const std::string digits = std::to_string(number);
        for (const auto& line : lines)
            if (line.hasQuote && line.prefix.find(digits) != std::string::npos)
                return &line;
        return nullptr;
    }

    // The text as the program shows it.
    std::string Text(int number) const {
        const FileLine* line = Find(number);
        if (!line)
            return "";
        return ReplaceAll(ReplaceAll(line->text, "\\r", "\r"), "\\n", "\n");
    }
};

LanguagesFile Load() {
    LanguagesFile file;
    const char* root = std::getenv("KORVEL_SOURCE_DIR");
    if (!root)
        return file;
    std::ifstream in(std::string(root) + "/assets/Languages.rc", std::ios::binary);
    file.raw.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const std::string loaded = ReplaceAll(ReplaceAll(file.raw, "\\\"", "'"), "\\\\", "\\");
    std::istringstream stream(loaded);
    std::string whole;
    for (int lineNumber = 1; std::getline(stream, whole); ++lineNumber) {
        if (!whole.empty() && whole.back() == '\r')
            whole.pop_back();
        FileLine line{lineNumber, whole, false, whole, ""};
        const size_t open = whole.find('"');
        if (open != std::string::npos) {
            line.hasQuote = true;
            line.prefix = whole.substr(0, open);
            const size_t close = whole.find('"', open + 1);
            line.text =
                whole.substr(open + 1, close == std::string::npos ? close : close - open - 1);
        }
        file.lines.push_back(line);
    }
    return file;
}

const LanguagesFile& File() {
    static const LanguagesFile file = Load();
    return file;
}

// The number a text line stands for: its pre-quote part is the number and blanks only.
std::optional<int> OwnNumber(const FileLine& line) {
    std::string digits;
    for (char c : line.prefix) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits += c;
        else if (c != ' ' && c != '\t')
            return std::nullopt;
    }
    if (digits.empty() || digits.size() > 6)
        return std::nullopt;
    return std::stoi(digits);
}

// Where the first malformed UTF-8 sequence starts, or npos.
size_t FirstInvalidUtf8(const std::string& bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        size_t length;
        unsigned codePoint;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            codePoint = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            codePoint = lead & 0x07;
        } else {
            return i;
        }
        if (i + length > bytes.size())
            return i;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return i;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        const unsigned smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (codePoint < smallest[length] || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return i;
        i += length;
    }
    return std::string::npos;
}

class LanguagesFileTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("KORVEL_SOURCE_DIR"), nullptr) << "KORVEL_SOURCE_DIR is not set";
        ASSERT_FALSE(File().raw.empty()) << "assets/Languages.rc is missing or empty";
    }
};

TEST_F(LanguagesFileTest, IsValidUtf8) {
    const size_t at = FirstInvalidUtf8(File().raw);
    EXPECT_EQ(at, std::string::npos) << "malformed UTF-8 at byte " << at;
}

TEST_F(LanguagesFileTest, IsReadAsAPlainFile) {
    EXPECT_NE(File().raw.rfind("mode=enc", 0), 0u);
}

TEST_F(LanguagesFileTest, EveryTextInUseIsFoundOnItsOwnLineInBothLanguages) {
    for (const auto& group : TextsInUse())
        for (int number : group.numbers)
            for (int base : kBases) {
                const int wanted = base + number;
                const FileLine* line = File().Find(wanted);
                ASSERT_NE(line, nullptr) << group.where << ": no text " << wanted;
                EXPECT_EQ(OwnNumber(*line), wanted)
                    << group.where << ": the search for " << wanted << " finds line "
                    << line->lineNumber << ": " << line->whole;
                EXPECT_FALSE(line->text.empty())
                    << group.where << ": text " << wanted << " is empty";
            }
}

TEST_F(LanguagesFileTest, EveryTextLineHasExactlyTwoUnescapedQuotes) {
    for (const auto& line : File().lines) {
        if (line.hasQuote) {
            EXPECT_EQ(std::count(line.whole.begin(), line.whole.end(), '"'), 2)
                << "line " << line.lineNumber << ": " << line.whole;
        }
    }
}

TEST_F(LanguagesFileTest, NoTextIsEmpty) {
    for (const auto& line : File().lines) {
        if (line.hasQuote) {
            EXPECT_FALSE(line.text.empty()) << "line " << line.lineNumber << ": " << line.whole;
        }
    }
}

// A stray or mistyped number would be a text nobody asks for, and could shadow a real one.
TEST_F(LanguagesFileTest, EveryTextLineIsANumberInUseAndAppearsOnce) {
    const std::set<int> inUse = AllNumbersInUse();
    std::set<int> seen;
    for (const auto& line : File().lines) {
        if (!line.hasQuote)
            continue;
        const std::optional<int> number = OwnNumber(line);
        ASSERT_TRUE(number.has_value())
            << "line " << line.lineNumber << " does not start with a number: " << line.whole;
        const int english = *number >= kGermanBase ? *number - kGermanBase : *number;
        EXPECT_TRUE(inUse.count(english))
            << "line " << line.lineNumber << ": text " << *number << " is asked for by nothing";
        EXPECT_TRUE(seen.insert(*number).second)
            << "line " << line.lineNumber << ": text " << *number << " appears twice";
    }
}

// Rising numbers keep the substring search right for every text added later.
TEST_F(LanguagesFileTest, NumbersRiseFromLineToLine) {
    int previous = 0;
    for (const auto& line : File().lines) {
        const std::optional<int> number = line.hasQuote ? OwnNumber(line) : std::nullopt;
        if (!number)
            continue;
        EXPECT_GT(*number, previous) << "line " << line.lineNumber << ": " << line.whole;
        previous = *number;
    }
}

// A reader that mistook a comment for a text line must still not match a number in it.
TEST_F(LanguagesFileTest, CommentLinesHoldNoDigits) {
    for (const auto& line : File().lines) {
        if (!line.hasQuote) {
            EXPECT_TRUE(std::none_of(line.whole.begin(), line.whole.end(),
                                     [](unsigned char c) { return std::isdigit(c); }))
                << "line " << line.lineNumber << ": " << line.whole;
        }
    }
}

// The only escapes left in a loaded text are the line breaks.
TEST_F(LanguagesFileTest, TextsHoldNoEscapesButLineBreaks) {
    for (const auto& line : File().lines) {
        if (!line.hasQuote)
            continue;
        for (size_t at = line.text.find('\\'); at != std::string::npos;
             at = line.text.find('\\', at + 2)) {
            const char next = at + 1 < line.text.size() ? line.text[at + 1] : '\0';
            EXPECT_TRUE(next == 'r' || next == 'n')
                << "line " << line.lineNumber << ": " << line.whole;
        }
    }
}

// Texts that are glued to a number or a name without a blank in between.
TEST_F(LanguagesFileTest, JoinedTextsKeepTheirBlanks) {
    const struct {
        int number;
        bool blankAtEnd;
        bool blankAtStart;
    } joined[] = {
        {92, true, false},  // followed directly by the score
        {93, false, true},  // follows the score directly
        {161, true, false}, // followed directly by the stage number
        {134, true, false}, // followed by the thinking marks
    };
    for (const auto& j : joined)
        for (int base : kBases) {
            const std::string text = File().Text(base + j.number);
            ASSERT_FALSE(text.empty()) << base + j.number;
            EXPECT_EQ(text.back() == ' ', j.blankAtEnd) << base + j.number << ": [" << text << "]";
            EXPECT_EQ(text.front() == ' ', j.blankAtStart)
                << base + j.number << ": [" << text << "]";
        }
}

TEST_F(LanguagesFileTest, TextFollowedByAFullStopDoesNotEndWithOne) {
    for (int base : kBases) {
        const std::string text = File().Text(base + 269);
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.back(), '.') << text;
    }
}

// The lists fill a difficulty group of four levels and the combo box of the four graphics
// packs, where line N stands for level or pack N.
TEST_F(LanguagesFileTest, ListTextsHaveOneLinePerChoice) {
    for (int number : {82, 99})
        for (int base : kBases) {
            const std::string text = File().Text(base + number);
            std::vector<std::string> items;
            std::string item;
            for (char c : text) {
                if (c == '\r')
                    continue;
                if (c == '\n') {
                    items.push_back(item);
                    item.clear();
                } else {
                    item += c;
                }
            }
            items.push_back(item);
            ASSERT_EQ(items.size(), 4u) << base + number << ": " << text;
            for (const auto& entry : items)
                EXPECT_FALSE(entry.empty()) << base + number << ": " << text;
        }
}

} // namespace
