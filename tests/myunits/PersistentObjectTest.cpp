#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "myunits/TGlobalBlowFish.h"
#include "myunits/TPersistentObject.h"
#include "tests/myunits/ExpectThrow.h"
#include "tests/support/TempFolder.h"

namespace {

// An object with a name, a count and a ratio, whose children are of its
// own kind; it records the hooks it sees.
class Item : public TPersistentObject {
public:
    explicit Item(AnsiString elementName = "Item") : elementName_(std::move(elementName)) {
        DeclarePersistentString("Name", &Name);
        DeclarePersistentInteger("Count", &Count);
        DeclarePersistentFloat("Ratio", &Ratio);
    }
    ~Item() override {
        for (Item* child : made_)
            delete child;
    }

    Item* Child(size_t i) const { return static_cast<Item*>(Children.at(i)); }
    size_t ChildCount() const { return Children.size(); }
    TPersistentObject* ParentObject() const { return Parent; }
    bool HasOwnedInteger(const AnsiString& key) const { return Integers.contains(key); }
    int32_t OwnedInteger(const AnsiString& key) const { return *Integers.at(key); }

    AnsiString Name;
    int32_t Count = 0;
    float Ratio = 0;
    std::vector<AnsiString> Hooks;
    bool RefuseChildren = false;

protected:
    AnsiString GetPersistentName() override { return elementName_; }
    void OnBeforeLoad(TiXmlElement*) override { Hooks.push_back("before load"); }
    void OnElementCreated(TiXmlElement*) override { Hooks.push_back("element created"); }
    void OnAfterLoad(TiXmlElement*) override { Hooks.push_back("after load"); }
    void OnAfterSave(TiXmlElement*) override { Hooks.push_back("after save"); }
    TPersistentObject* CreatePersistentChild(TiXmlElement* element) override {
        Hooks.push_back("create child");
        if (RefuseChildren)
            return nullptr;
        auto* child = new Item(element->Value());
        made_.push_back(child);
        child->LoadFromXMLElement(element);
        return child;
    }

private:
    AnsiString elementName_;
    std::vector<Item*> made_;
};

class Bare : public TPersistentObject {
protected:
    AnsiString GetPersistentName() override { return "Bare"; }
};

AnsiString Saved(TPersistentObject& object) {
    return object.SaveToString("");
}

TEST(PersistentObjectTest, ObjectWithoutMembersIsAnEmptyElement) {
    Bare bare;
    EXPECT_EQ(Saved(bare), "<Bare />");
}

TEST(PersistentObjectTest, AttributesAreStringsThenFloatsThenIntegersByKey) {
    class Mixed : public TPersistentObject {
    public:
        Mixed() {
            DeclarePersistentInteger("Zeta", &zeta);
            DeclarePersistentString("beta", &beta);
            DeclarePersistentFloat("Half", &half);
            DeclarePersistentInteger("alpha", &alpha);
            DeclarePersistentString("Alpha", &alphaText);
        }

    protected:
        AnsiString GetPersistentName() override { return "Mixed"; }

    private:
        int32_t zeta = -7, alpha = 3;
        AnsiString beta = "b", alphaText = "a";
        float half = 0.5f;
    } mixed;
    EXPECT_EQ(Saved(mixed), "<Mixed s_alpha=\"a\" s_beta=\"b\" f_half=\"0.5\" i_alpha=\"3\" "
                            "i_zeta=\"-7\" />");
}

TEST(PersistentObjectTest, TreePrintsIndentedWithLowerCaseChildNames) {
    Item root("Root");
    Item child("ChildItem");
    Item grandChild("Leaf");
    root.Name = "r";
    child.Name = "c";
    grandChild.Name = "g";
    child.AddPersistentChild(&grandChild);
    root.AddPersistentChild(&child);
    EXPECT_EQ(Saved(root), "<Root s_name=\"r\" f_ratio=\"0\" i_count=\"0\">\n"
                           "    <childitem s_name=\"c\" f_ratio=\"0\" i_count=\"0\">\n"
                           "        <leaf s_name=\"g\" f_ratio=\"0\" i_count=\"0\" />\n"
                           "    </childitem>\n"
                           "</Root>");
    EXPECT_EQ(root.Hooks, (std::vector<AnsiString>{"element created", "after save"}));
}

TEST(PersistentObjectTest, TreeReadsBackThroughTheChildFactory) {
    Item root("Root");
    Item child("ChildItem");
    root.Name = "top";
    root.Count = 12;
    root.Ratio = 0.25f;
    child.Name = "inner";
    child.Count = -5;
    root.AddPersistentChild(&child);
    const AnsiString text = Saved(root);

    Item loaded("root");
    ASSERT_TRUE(loaded.LoadFromString(text, "", false));
    EXPECT_EQ(loaded.Name, "top");
    EXPECT_EQ(loaded.Count, 12);
    EXPECT_EQ(loaded.Ratio, 0.25f);
    ASSERT_EQ(loaded.ChildCount(), 1u);
    EXPECT_EQ(loaded.Child(0)->Name, "inner");
    EXPECT_EQ(loaded.Child(0)->Count, -5);
    EXPECT_EQ(loaded.Child(0)->ParentObject(), &loaded);
    EXPECT_EQ(loaded.Hooks, (std::vector<AnsiString>{"before load", "create child", "after load"}));
}

TEST(PersistentObjectTest, AttributesLoadInAnyOrderAndAnyCase) {
    Item item;
    ASSERT_TRUE(item.LoadFromString("<ITEM I_COUNT=\"4\" F_Ratio=\"2,5\" S_NAME=\"Mixed Case\" />",
                                    "", false));
    EXPECT_EQ(item.Count, 4);
    EXPECT_EQ(item.Ratio, 2.5f);
    EXPECT_EQ(item.Name, "Mixed Case");
}

TEST(PersistentObjectTest, UndeclaredKeysSurviveInOwnedStorage) {
    Item item;
    ASSERT_TRUE(item.LoadFromString(
        "<Item i_extra=\"9\" s_note=\"kept\" f_more=\"1.5\" i_count=\"1\" />", "", false));
    EXPECT_TRUE(item.HasOwnedInteger("extra"));
    EXPECT_EQ(item.OwnedInteger("extra"), 9);
    const AnsiString text = Saved(item);
    EXPECT_NE(text.find("i_extra=\"9\""), AnsiString::npos) << text;
    EXPECT_NE(text.find("s_note=\"kept\""), AnsiString::npos) << text;
    EXPECT_NE(text.find("f_more=\"1.5\""), AnsiString::npos) << text;
    // Loading the key again replaces the owned value.
    ASSERT_TRUE(item.LoadFromString("<Item i_extra=\"10\" />", "", false));
    EXPECT_EQ(item.OwnedInteger("extra"), 10);
}

TEST(PersistentObjectTest, ValuesWithMarkupCharactersReadBack) {
    for (const AnsiString& value :
         {AnsiString("a < b & c > d"), AnsiString("say \"hi\""), AnsiString("it's"),
          AnsiString("both \" and '"), AnsiString("&#x41; &amp; &#65;"),
          AnsiString("line\nbreak\ttab\r"), AnsiString("Grüße"), AnsiString("  blanks  ")}) {
        SCOPED_TRACE(value);
        Item item;
        item.Name = value;
        const AnsiString text = Saved(item);
        Item loaded;
        ASSERT_TRUE(loaded.LoadFromString(text, "", false)) << text;
        EXPECT_EQ(loaded.Name, value) << text;
    }
}

TEST(PersistentObjectTest, FloatsReadBackWhateverTheSeparator) {
    const char saved = FormatSettings.DecimalSeparator;
    for (const float value : {0.1f, -2.75f, 1234.5f, 1.5e-7f, 3.0e20f, -0.0625f}) {
        SCOPED_TRACE(value);
        Item item;
        item.Ratio = value;
        FormatSettings.DecimalSeparator = ',';
        const AnsiString text = Saved(item);
        FormatSettings.DecimalSeparator = '.';
        Item loaded;
        ASSERT_TRUE(loaded.LoadFromString(text, "", false)) << text;
        EXPECT_EQ(loaded.Ratio, value) << text;
    }
    FormatSettings.DecimalSeparator = saved;
}

TEST(PersistentObjectTest, FloatsOfEveryMagnitudeReadBackExactly) {
    uint32_t state = 12345;
    for (int i = 0; i < 3000; ++i) {
        state = state * 1664525u + 1013904223u;
        const float value = std::ldexp(static_cast<float>(state >> 8) / 16777216.0f,
                                       static_cast<int>(state % 200) - 100);
        Item item;
        item.Ratio = (state & 1) ? -value : value;
        Item loaded;
        const AnsiString text = Saved(item);
        ASSERT_TRUE(loaded.LoadFromString(text, "", false)) << text;
        ASSERT_EQ(loaded.Ratio, item.Ratio) << text;
    }
}

TEST(PersistentObjectTest, FloatThatIsNoNumberReadsAsZero) {
    Item item;
    item.Ratio = 3;
    for (const char* text : {"abc", "1E", "Hello", "1E999", "INF", "NAN", "1.5E-7x"}) {
        item.Ratio = 3;
        ASSERT_TRUE(
            item.LoadFromString(AnsiString("<Item f_ratio=\"") + text + "\" />", "", false));
        EXPECT_EQ(item.Ratio, 0.0f) << text;
    }
}

TEST(PersistentObjectTest, OtherElementNameIsRefused) {
    Item item;
    item.Name = "unchanged";
    TiXmlElement element("Other");
    element.SetAttribute("s_name", "changed");
    EXPECT_FALSE(item.LoadFromXMLElement(&element));
    EXPECT_EQ(item.Name, "unchanged");
    TiXmlElement sameName("iTEM");
    sameName.SetAttribute("s_name", "changed");
    EXPECT_TRUE(item.LoadFromXMLElement(&sameName));
    EXPECT_EQ(item.Name, "changed");
}

TEST(PersistentObjectTest, UnknownPrefixStopsTheLoadWhereItStands) {
    Item item;
    TiXmlDocument document;
    document.Parse("<Item s_name=\"first\" x_odd=\"1\" i_count=\"5\"><Item /></Item>");
    EXPECT_FALSE(item.LoadFromXMLElement(document.FirstChildElement()));
    EXPECT_EQ(item.Name, "first");
    EXPECT_EQ(item.Count, 0);
    EXPECT_EQ(item.ChildCount(), 0u);
    EXPECT_EQ(item.Hooks, std::vector<AnsiString>{"before load"});
}

TEST(PersistentObjectTest, RefusedChildFailsTheLoad) {
    Item item;
    item.RefuseChildren = true;
    TiXmlDocument document;
    document.Parse("<Item><Item /></Item>");
    EXPECT_FALSE(item.LoadFromXMLElement(document.FirstChildElement()));
}

TEST(PersistentObjectTest, IntegerThatIsNoNumberReachesTheElementsCaller) {
    Item item;
    TiXmlElement element("Item");
    element.SetAttribute("i_count", "twelve");
    EXPECT_THROW(item.LoadFromXMLElement(&element), EConvertError);
}

class PersistentTextTest : public testing::Test {
protected:
    void SetUp() override {
        item.Name = "stored";
        item.Count = 7;
        item.Ratio = 1.25f;
    }
    void ExpectStoredState() {
        EXPECT_EQ(item.Name, "stored");
        EXPECT_EQ(item.Count, 7);
        EXPECT_EQ(item.Ratio, 1.25f);
    }

    TGlobalBlowFish cipher;
    Item item;
};

// Each damaged text fails; with restore the earlier state comes back,
// without it the load raises.
TEST_F(PersistentTextTest, DamagedTextFailsOrRestores) {
    const AnsiString damaged[] = {
        "",
        "not xml at all",
        "<Item s_name=\"half\" i_count=\"oops\" />",
        "<Item s_name=\"half\" x_bad=\"1\" />",
        "<Item s_name=\"unterminated",
        // Texts that end inside a multi-byte character.
        "<Item s_name=\"&\xde",
        "<Item s_name=\"\xf0",
        "<Item s_name=\"&>\xde\xde\xde",
        "<Other s_name=\"half\" />",
        " enc10" + item.SaveToString("right key"),
        "enc10" + AnsiString("!!!not radix"),
    };
    for (const AnsiString& text : damaged) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(item.LoadFromString(text, "right key", true));
        ExpectStoredState();
        ExpectThrowMessage<Exception>([&] { item.LoadFromString(text, "right key", false); },
                                      "unhandled exception occurred in "
                                      "TPersistentObject::LoadFromString");
        item.Name = "stored";
        item.Count = 7;
    }
}

TEST_F(PersistentTextTest, EncipheredTextNeedsItsKey) {
    const AnsiString text = item.SaveToString("secret key");
    ASSERT_EQ(text.rfind("enc10", 0), 0u);
    EXPECT_EQ(text.find('<'), AnsiString::npos);

    Item loaded;
    ExpectThrowMessage<Exception>([&] { loaded.LoadFromString(text, "", true); },
                                  "Exception nr. 21 in TPersistentObject::LoadFromString");
    loaded.Name = "mine";
    EXPECT_FALSE(loaded.LoadFromString(text, "wrong key", true));
    EXPECT_EQ(loaded.Name, "mine");
    ASSERT_TRUE(loaded.LoadFromString(text + " \r\n", "secret key", false));
    EXPECT_EQ(loaded.Name, "stored");
    EXPECT_EQ(loaded.Count, 7);
    ExpectThrowMessage<EKeyError>([&] { item.SaveToString(AnsiString(57, 'k')); },
                                  "Blowfish: Key must be between 1 and 56 bytes");
}

TEST_F(PersistentTextTest, FilesLoadLineByLine) {
    const TempFolder files("persistent");
    const AnsiString folder = files.Path();
    const AnsiString plainFile = folder + "persistent-plain.xml";
    const AnsiString cipherFile = folder + "persistent-cipher.txt";
    const AnsiString damagedFile = folder + "persistent-damaged.xml";
    std::ofstream(plainFile) << "<Item s_name=\"from file\"\n      i_count=\"3\">\n</Item>\n";
    std::ofstream(cipherFile) << item.SaveToString("file key") << "\r\n";
    std::ofstream(damagedFile) << "<Item s_name=\"half\"\n i_count=\"x\" />\n";

    Item loaded;
    EXPECT_TRUE(loaded.LoadFromFile(plainFile, ""));
    EXPECT_EQ(loaded.Name, "from file");
    EXPECT_EQ(loaded.Count, 3);
    EXPECT_TRUE(loaded.LoadFromFile(cipherFile, "file key"));
    EXPECT_EQ(loaded.Name, "stored");

    EXPECT_FALSE(loaded.LoadFromFile(damagedFile, ""));
    EXPECT_EQ(loaded.Name, "stored");
    EXPECT_FALSE(loaded.LoadFromFile(folder + "no-such-file.xml", ""));
    EXPECT_EQ(loaded.Name, "stored");
    EXPECT_EQ(loaded.Count, 7);
}

TEST(PersistentTreeTest, DestroyedChildLeavesItsParentsList) {
    Item root;
    auto child = std::make_unique<Item>("Child");
    root.AddPersistentChild(child.get());
    root.AddPersistentChild(child.get());
    EXPECT_EQ(root.ChildCount(), 1u);
    EXPECT_TRUE(root.PersistentChildExists(child.get()));
    child.reset();
    EXPECT_EQ(root.ChildCount(), 0u);
    EXPECT_EQ(Saved(root).find("child"), AnsiString::npos);
}

TEST(PersistentTreeTest, DestroyedParentLeavesItsChildrenWithoutParent) {
    auto root = std::make_unique<Item>();
    Item child("Child");
    root->AddPersistentChild(&child);
    root.reset();
    EXPECT_EQ(child.ParentObject(), nullptr);
    EXPECT_EQ(Saved(child).rfind("<Child", 0), 0u);
}

TEST(PersistentTreeTest, AddingToAnotherParentMovesTheChild) {
    Item first, second;
    Item child("Child");
    first.AddPersistentChild(&child);
    second.AddPersistentChild(&child);
    EXPECT_EQ(first.ChildCount(), 0u);
    EXPECT_EQ(second.ChildCount(), 1u);
    EXPECT_EQ(child.ParentObject(), &second);
}

TEST(PersistentTreeDeathTest, SameKeyInAnyCaseIsDeclaredOnce) {
    class Twice : public TPersistentObject {
    public:
        Twice() {
            DeclarePersistentString("Key", &a);
            DeclarePersistentInteger("KEY", &n); // another map: allowed
            DeclarePersistentString("KEY", &b);
        }

    protected:
        AnsiString GetPersistentName() override { return "Twice"; }

    private:
        AnsiString a, b;
        int32_t n = 0;
    };
    EXPECT_DEATH(Twice(), "Assertion failed: Key already declared in "
                          "TPersistentObject::DeclarePersistentString");
}

TEST(PersistentTreeDeathTest, SetParentIsOnlyForListedChildren) {
    Item parent, child;
    EXPECT_DEATH(child.SetParent(&parent),
                 "Assertion failed: do not call TPersistentObject::SetParent directly");
}

} // namespace
