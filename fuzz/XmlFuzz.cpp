// The XML reader of persistent objects (TinyXML underneath): an object of
// a kind with a name, a count, a ratio and children of its own kind loads
// the input as plain or enciphered text; what loads saves to a text that
// loads and saves to the same text again.

#include <memory>
#include <vector>

#include "fuzz/support/Check.h"
#include "myunits/TGlobalBlowFish.h"
#include "myunits/TPersistentObject.h"

namespace {

const AnsiString Key = "fuzz-key";

class Record : public TPersistentObject {
public:
    Record() {
        DeclarePersistentString("Name", &Name);
        DeclarePersistentInteger("Count", &Count);
        DeclarePersistentFloat("Ratio", &Ratio);
    }

    AnsiString Name;
    int32_t Count = 0;
    float Ratio = 0;

protected:
    AnsiString GetPersistentName() override { return "Record"; }
    TPersistentObject* CreatePersistentChild(TiXmlElement* element) override {
        auto child = std::make_unique<Record>();
        if (!child->LoadFromXMLElement(element))
            return nullptr;
        made_.push_back(std::move(child));
        return made_.back().get();
    }

private:
    std::vector<std::unique_ptr<Record>> made_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static TGlobalBlowFish* cipher = new TGlobalBlowFish();
    (void)cipher;
    Record record;
    try {
        if (!record.LoadFromString(InputText(data, size), Key, true))
            return 0;
    } catch (const Exception&) {
        return 0;
    }
    const AnsiString saved = record.SaveToString("");
    Record again;
    Check(again.LoadFromString(saved, "", true), "a saved object loads");
    Check(again.SaveToString("") == saved, "saved text round trip");
    Record deciphered;
    Check(deciphered.LoadFromString(again.SaveToString(Key), Key, true) &&
              deciphered.SaveToString("") == saved,
          "enciphered text round trip");
    return 0;
}
