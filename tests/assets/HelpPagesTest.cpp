#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/ProgramData.h"

namespace {

struct Book {
    const char* page;
    std::vector<std::string> topics; // every topic the program jumps to in this book
};

void PrintTo(const Book& book, std::ostream* out) {
    *out << book.page;
}

// The English book serves the English texts, the German one the German
// texts; the player-selection and high-score help use "IDH_Spiel_Modi" in
// German without the suffix.
const Book kBooks[] = {
    {"korvel.html",
     {"IDH_Color", "IDH_Spielregeln", "IDH_Inhaltverzeichnis", "IDH_Bedienung_von_Korvel",
      "IDH_Spiel_Modi", "IDH_Verbindung"}},
    {"hilfe.html",
     {"IDH_Color-german", "IDH_Spielregeln-german", "IDH_Inhaltverzeichnis-german",
      "IDH_Bedienung_von_Korvel-german", "IDH_Spiel_Modi-german", "IDH_Verbindung-german",
      "IDH_Spiel_Modi"}},
};

// The values of every attribute written `lead` + value + `"`.
std::set<std::string> Values(const std::string& text, const std::string& lead) {
    std::set<std::string> found;
    for (size_t at = text.find(lead); at != std::string::npos; at = text.find(lead, at)) {
        at += lead.size();
        const size_t end = text.find('"', at);
        if (end == std::string::npos)
            break;
        found.insert(text.substr(at, end - at));
    }
    return found;
}

std::set<std::string> Anchors(const std::string& page) {
    std::set<std::string> anchors = Values(page, "<a name=\"");
    for (const std::string& id : Values(page, " id=\""))
        anchors.insert(id);
    return anchors;
}

bool IsUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int follow = byte < 0x80         ? 0
                           : (byte >> 5) == 6  ? 1
                           : (byte >> 4) == 14 ? 2
                           : (byte >> 3) == 30 ? 3
                                               : -1;
        if (follow < 0 || i + follow >= text.size() + (follow == 0 ? 1 : 0))
            return false;
        for (int k = 1; k <= follow; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2)
                return false;
        i += follow + 1;
    }
    return true;
}

class EveryBook : public testing::TestWithParam<Book> {
protected:
    std::string Page() const {
        return FileContent(ProgramFile(std::string("help/") + GetParam().page));
    }
};

TEST_P(EveryBook, HasAnAnchorForEveryTopicItIsOpenedAt) {
    const std::set<std::string> anchors = Anchors(Page());
    for (const std::string& topic : GetParam().topics)
        EXPECT_TRUE(anchors.count(topic)) << GetParam().page << " lacks " << topic;
}

TEST_P(EveryBook, LinksLeadToAnchorsOfTheBook) {
    const std::string page = Page();
    const std::set<std::string> anchors = Anchors(page);
    const std::set<std::string> links = Values(page, "href=\"#");
    EXPECT_GE(links.size(), 5u) << "the contents link the sections";
    for (const std::string& link : links)
        EXPECT_TRUE(anchors.count(link)) << GetParam().page << " links to a missing #" << link;
}

TEST_P(EveryBook, IsUtf8AndSaysSo) {
    const std::string page = Page();
    EXPECT_TRUE(IsUtf8(page));
    EXPECT_NE(page.find("charset=utf-8"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(HelpPages, EveryBook, testing::ValuesIn(kBooks),
                         [](const testing::TestParamInfo<Book>& info) {
                             return std::string(info.param.page).substr(0, 5) == "hilfe"
                                        ? std::string("German")
                                        : std::string("English");
                         });

} // namespace
