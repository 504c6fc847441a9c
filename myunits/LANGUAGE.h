#pragma once
// The user's texts by number: from the language file (text mode) or from
// the string table of a resource library. German texts carry the English
// number plus 2000, chosen once from the user's locale. Also writes the
// captions of a form's components from their Tag numbers.

#include <memory>

#include "myunits/singleton.h"
#include "platform/vcl/Classes.h"
#include "platform/win32/WinTypes.h"

class TForm;

class TMyLanguages : public Singleton<TMyLanguages> {
public:
    // A missing language file raises the class library's file-open error.
    TMyLanguages(const AnsiString& fileName, bool textMode);
    ~TMyLanguages();

    void SetDLLName(const AnsiString& name);
    // "" for 0; a text that is missing or empty is reported and gives "".
    AnsiString GetString(int number);
    void WriteCaption(TForm* form);
    // 0 or 2000; fixed when the source is loaded.
    static int GetLanguageBase() { return LanguageBase; }
    static constexpr int GermanLanguageBase = 2000;
    // The texts are German (the language base is 2000).
    static bool GermanTexts() { return LanguageBase == GermanLanguageBase; }

private:
    static int DetectLanguageBase(const AnsiString& languageName);
    AnsiString FindText(int number) const;
    void WriteComponentCaption(TComponent* component);

    bool Ready = false;
    bool Encoded = false;
    HINSTANCE LibraryHandle = nullptr;
    std::unique_ptr<TStringList> Lines;
    AnsiString LanguageName;
    bool TextMode = true;

    inline static int LanguageBase = 0;
};
