#include "myunits/TPersistentObject.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "myunits/TGlobalBlowFish.h"
#include "myunits/Utils.h"
#include "platform/vcl/Classes.h"

namespace {

const AnsiString EncipheredMark = "enc10";

// TinyXML steps over a multi-byte character whole, as its first byte says:
// one that starts in the text's last bytes takes it past the terminating
// NUL, and it reads on in whatever memory follows. A copy followed by more
// NULs than such a step and the look at an entity after it can cover keeps
// every read inside the copy.
constexpr size_t ParsePadding = 16;

void ParseXml(TiXmlDocument& document, const AnsiString& xml) {
    const std::string padded = xml + std::string(ParsePadding, '\0');
    document.Parse(padded.c_str());
}

// Stores `storage` under `key`, freeing the storage that the key held when
// it was the object's own.
template <class T, class Delete>
void BindOwned(std::map<AnsiString, T*>& map, std::vector<std::unique_ptr<T>>& owned,
               const AnsiString& key, std::unique_ptr<T> storage, Delete deleteOwned) {
    T* added = storage.get();
    owned.push_back(std::move(storage));
    const auto bound = map.find(key);
    if (bound != map.end())
        deleteOwned(bound->second);
    map[key] = added;
}

template <class T> void EraseOwned(std::vector<std::unique_ptr<T>>& owned, T* storage) {
    const auto found = std::find_if(owned.begin(), owned.end(),
                                    [storage](const auto& own) { return own.get() == storage; });
    if (found != owned.end())
        owned.erase(found);
}

// Attribute names are lower case and matched without regard to case.
void SetAttributeNoCase(TiXmlElement& element, const AnsiString& name, const AnsiString& value) {
    const AnsiString lowerName = LowerCase(name);
    for (TiXmlAttribute* a = element.FirstAttribute(); a; a = a->Next())
        if (LowerCase(a->Name()) == lowerName) {
            a->SetName(lowerName);
            a->SetValue(value);
            return;
        }
    element.SetAttribute(lowerName, value);
}

void LowerCaseNames(TiXmlElement& element) {
    element.SetValue(LowerCase(element.Value()));
    for (TiXmlAttribute* a = element.FirstAttribute(); a; a = a->Next())
        a->SetName(LowerCase(a->Name()));
}

AnsiString PrintElement(const TiXmlElement& element) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    if (!stream)
        throw Exception("out of memory in TPersistentObject::SaveToString");
    element.Print(stream, 0);
    std::fclose(stream);
    AnsiString text(buffer, size);
    std::free(buffer);
    return text;
}

// FloatToStr writes very small and very large numbers with an exponent
// ("1.5E-7"), which the separator-tolerant reader does not take; such a
// text is read whole, with either separator.
float ReadFloat(const AnsiString& text) {
    if (text.find_first_of("eE") == AnsiString::npos)
        return StrToFloatAnySeparator(text, 20);
    const AnsiString number = ReplaceChar(text, ',', '.');
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() ||
        !(std::fabs(value) <= FLT_MAX))
        return 0.0f;
    return static_cast<float>(value);
}

} // namespace

TPersistentObject::TPersistentObject() = default;

TPersistentObject::~TPersistentObject() {
    ClearPersistentMembers();
    for (TPersistentObject* child : Children)
        child->Parent = nullptr;
    if (Parent)
        Parent->RemovePersistentChild(this);
}

void TPersistentObject::OnBeforeLoad(TiXmlElement*) {}
void TPersistentObject::OnElementCreated(TiXmlElement*) {}
void TPersistentObject::OnAfterLoad(TiXmlElement*) {}
void TPersistentObject::OnAfterSave(TiXmlElement*) {}
TPersistentObject* TPersistentObject::CreatePersistentChild(TiXmlElement*) {
    return nullptr;
}

void TPersistentObject::ClearPersistentMembers() {
    Strings.clear();
    Integers.clear();
    Floats.clear();
    OwnedIntegers.clear();
    OwnedFloats.clear();
    OwnedStrings.clear();
}

void TPersistentObject::DeclarePersistentString(const AnsiString& key, AnsiString* member) {
    const AnsiString lowerKey = LowerCase(key);
    Assert(!Strings.contains(lowerKey),
           "Key already declared in TPersistentObject::DeclarePersistentString");
    Strings[lowerKey] = member;
}

void TPersistentObject::DeclarePersistentInteger(const AnsiString& key, int32_t* member) {
    const AnsiString lowerKey = LowerCase(key);
    Assert(!Integers.contains(lowerKey),
           "Key already declared in TPersistentObject::DeclarePersistentInteger");
    Integers[lowerKey] = member;
}

void TPersistentObject::DeclarePersistentFloat(const AnsiString& key, float* member) {
    const AnsiString lowerKey = LowerCase(key);
    Assert(!Floats.contains(lowerKey),
           "Key already declared in TPersistentObject::DeclarePersistentFloat");
    Floats[lowerKey] = member;
}

void TPersistentObject::DeclareOwnedInteger(const AnsiString& key, int32_t value) {
    BindOwned(Integers, OwnedIntegers, key, std::make_unique<int32_t>(value),
              [this](int32_t* old) { DeleteOwnedInteger(old); });
}

void TPersistentObject::DeclareOwnedFloat(const AnsiString& key, float value) {
    BindOwned(Floats, OwnedFloats, key, std::make_unique<float>(value),
              [this](float* old) { DeleteOwnedFloat(old); });
}

void TPersistentObject::DeclareOwnedString(const AnsiString& key, const AnsiString& value) {
    BindOwned(Strings, OwnedStrings, key, std::make_unique<AnsiString>(value),
              [this](AnsiString* old) { DeleteOwnedString(old); });
}

void TPersistentObject::DeleteOwnedInteger(int32_t* storage) {
    EraseOwned(OwnedIntegers, storage);
}
void TPersistentObject::DeleteOwnedFloat(float* storage) {
    EraseOwned(OwnedFloats, storage);
}
void TPersistentObject::DeleteOwnedString(AnsiString* storage) {
    EraseOwned(OwnedStrings, storage);
}

// A child that another object lists leaves that list first, so that each
// object stands in one list only and its Parent is the object listing it.
void TPersistentObject::AddPersistentChild(TPersistentObject* child) {
    if (child->Parent && child->Parent != this)
        child->Parent->RemovePersistentChild(child);
    if (!PersistentChildExists(child))
        Children.push_back(child);
    child->SetParent(this);
}

bool TPersistentObject::PersistentChildExists(const TPersistentObject* child) const {
    return std::find(Children.begin(), Children.end(), child) != Children.end();
}

void TPersistentObject::SetParent(TPersistentObject* newParent) {
    Assert(newParent && newParent->PersistentChildExists(this),
           "do not call TPersistentObject::SetParent directly. instead, call "
           "TPersistentObject->AddPersistentChild or delete it if you want to detach it");
    Parent = newParent;
}

void TPersistentObject::RemovePersistentChild(TPersistentObject* child) {
    const auto found = std::find(Children.begin(), Children.end(), child);
    if (found != Children.end())
        Children.erase(found);
    child->Parent = nullptr;
}

TiXmlElement* TPersistentObject::SaveToXMLElement() {
    auto element = std::make_unique<TiXmlElement>(GetPersistentName());
    OnElementCreated(element.get());
    for (const auto& [key, member] : Strings)
        SetAttributeNoCase(*element, "s_" + key, *member);
    for (const auto& [key, member] : Floats)
        SetAttributeNoCase(*element, "f_" + key, FloatToStr(static_cast<long double>(*member)));
    for (const auto& [key, member] : Integers)
        SetAttributeNoCase(*element, "i_" + key, IntToStr(*member));
    for (TPersistentObject* child : Children) {
        const std::unique_ptr<TiXmlElement> childElement(child->SaveToXMLElement());
        LowerCaseNames(*element->InsertEndChild(*childElement)->ToElement());
    }
    OnAfterSave(element.get());
    return element.release();
}

bool TPersistentObject::LoadFromXMLElement(TiXmlElement* element) {
    OnBeforeLoad(element);
    if (LowerCase(element->Value()) != LowerCase(GetPersistentName()))
        return false;
    for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next())
        if (!LoadAttribute(*a))
            return false;
    for (TiXmlElement* childElement = element->FirstChildElement(); childElement;
         childElement = childElement->NextSiblingElement()) {
        TPersistentObject* child = CreatePersistentChild(childElement);
        if (!child)
            return false;
        AddPersistentChild(child);
    }
    OnAfterLoad(element);
    return true;
}

bool TPersistentObject::LoadAttribute(const TiXmlAttribute& attribute) {
    const AnsiString name = LowerCase(attribute.Name());
    const AnsiString prefix = name.substr(0, 2);
    const AnsiString key = name.size() > 2 ? name.substr(2) : AnsiString();
    const AnsiString text = attribute.ValueStr();
    if (prefix == "i_") {
        const int32_t value = StrToInt(text);
        if (Integers.contains(key))
            *Integers[key] = value;
        else
            DeclareOwnedInteger(key, value);
    } else if (prefix == "s_") {
        if (Strings.contains(key))
            *Strings[key] = text;
        else
            DeclareOwnedString(key, text);
    } else if (prefix == "f_") {
        const float value = ReadFloat(text);
        if (Floats.contains(key))
            *Floats[key] = value;
        else
            DeclareOwnedFloat(key, value);
    } else {
        return false;
    }
    return true;
}

AnsiString TPersistentObject::SaveToString(const AnsiString& key) {
    const std::unique_ptr<TiXmlElement> element(SaveToXMLElement());
    const AnsiString printed = PrintElement(*element);
    if (key.empty())
        return printed;
    return EncipheredMark + Singleton<TGlobalBlowFish>::GetSingleton().Encrypt(printed, key);
}

bool TPersistentObject::LoadFromString(const AnsiString& text, const AnsiString& key,
                                       bool restoreOnFailure) {
    const AnsiString backup = restoreOnFailure ? SaveToString("") : AnsiString();
    AnsiString xml = text;
    if (text.rfind(EncipheredMark, 0) == 0) {
        if (key.empty())
            throw Exception("Exception nr. 21 in TPersistentObject::LoadFromString");
        xml = Singleton<TGlobalBlowFish>::GetSingleton().Decrypt(
            Trim(text.substr(EncipheredMark.size())), key);
    }
    // A value that does not convert is damaged input like a parse error: it
    // fails the load instead of leaving it half done.
    bool loaded = false;
    try {
        TiXmlDocument document;
        ParseXml(document, xml);
        if (!document.Error() && document.FirstChildElement())
            loaded = LoadFromXMLElement(document.FirstChildElement());
    } catch (const EConvertError&) {
        loaded = false;
    }
    if (loaded)
        return true;
    if (!restoreOnFailure)
        throw Exception("unhandled exception occurred in TPersistentObject::LoadFromString");
    RestoreFrom(backup);
    return false;
}

void TPersistentObject::RestoreFrom(const AnsiString& backup) {
    LoadFromString(backup, "", false);
}

bool TPersistentObject::LoadFromFile(const AnsiString& fileName, const AnsiString& key) {
    const AnsiString backup = SaveToString("");
    TStringList lines;
    try {
        lines.LoadFromFile(fileName);
    } catch (const EStreamError&) {
        RestoreFrom(backup);
        return false;
    }
    AnsiString text;
    for (int i = 0; i < lines.Count; ++i)
        text += lines[i] + " ";
    if (!LoadFromString(text, key, true)) {
        RestoreFrom(backup);
        return false;
    }
    return true;
}
