#pragma once
// Lets an object save its named members as one XML element, with child
// objects as nested elements, and read them back; the element goes to and
// from a text, optionally enciphered, or a file. A derived class names the
// element, binds its members to keys and makes children from elements.

#include <map>
#include <memory>
#include <vector>

#include <tinyxml.h>

#include "platform/vcl/SysUtils.h"

class TPersistentObject {
public:
    TPersistentObject();
    // Leaves its parent's list; its children stay, without a parent.
    virtual ~TPersistentObject();
    TPersistentObject(const TPersistentObject&) = delete;
    TPersistentObject& operator=(const TPersistentObject&) = delete;

    void DeclarePersistentString(const AnsiString& key, AnsiString* member);
    void DeclarePersistentInteger(const AnsiString& key, int32_t* member);
    void DeclarePersistentFloat(const AnsiString& key, float* member);
    // Storage of the object's own for a key (already lower case) that a
    // loaded element carried but nobody declared.
    void DeclareOwnedInteger(const AnsiString& key, int32_t value);
    void DeclareOwnedFloat(const AnsiString& key, float value);
    void DeclareOwnedString(const AnsiString& key, const AnsiString& value);

    void AddPersistentChild(TPersistentObject* child);
    bool PersistentChildExists(const TPersistentObject* child) const;
    // Only for an object that newParent already lists.
    void SetParent(TPersistentObject* newParent);

    // A new element, owned by the caller.
    TiXmlElement* SaveToXMLElement();
    bool LoadFromXMLElement(TiXmlElement* element);
    // Plain XML for an empty key, else "enc10" and the enciphered text.
    AnsiString SaveToString(const AnsiString& key);
    bool LoadFromString(const AnsiString& text, const AnsiString& key, bool restoreOnFailure);
    bool LoadFromFile(const AnsiString& fileName, const AnsiString& key);

protected:
    virtual void OnBeforeLoad(TiXmlElement* element);
    virtual void OnElementCreated(TiXmlElement* element);
    virtual void OnAfterLoad(TiXmlElement* element);
    virtual void OnAfterSave(TiXmlElement* element);
    // The child object for a child element, filled from it; null refuses it.
    virtual TPersistentObject* CreatePersistentChild(TiXmlElement* element);
    virtual AnsiString GetPersistentName() = 0;

    void ClearPersistentMembers();

    std::map<AnsiString, AnsiString*> Strings;
    std::map<AnsiString, int32_t*> Integers;
    std::map<AnsiString, float*> Floats;
    std::vector<std::unique_ptr<int32_t>> OwnedIntegers;
    std::vector<std::unique_ptr<float>> OwnedFloats;
    std::vector<std::unique_ptr<AnsiString>> OwnedStrings;
    std::vector<TPersistentObject*> Children;
    TPersistentObject* Parent = nullptr;

private:
    void RemovePersistentChild(TPersistentObject* child);
    void DeleteOwnedInteger(int32_t* storage);
    void DeleteOwnedFloat(float* storage);
    void DeleteOwnedString(AnsiString* storage);
    bool LoadAttribute(const TiXmlAttribute& attribute);
    void RestoreFrom(const AnsiString& backup);
};
