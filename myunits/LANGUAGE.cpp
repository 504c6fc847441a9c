#include "myunits/LANGUAGE.h"

#include <vector>

#include "myunits/TGlobalBlowFish.h"
#include "myunits/Utils.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win32/Resources.h"
#include "platform/win32/WinNls.h"

namespace {

// The key of enciphered language files.
const AnsiString LanguageKey = "Tq4WmZ8rKd2PxL7vNc3HbJ6yFs9GeA1UoR5iXw0QkM2n";

AnsiString UserLanguageName() {
    char name[256] = {};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, name, 256) > 0 ? name : "";
}

} // namespace

TMyLanguages::TMyLanguages(const AnsiString& fileName, bool textMode) {
    Ready = false;
    Encoded = false;
    LanguageName = "";
    TextMode = textMode;
    SetDLLName(fileName);
}

// A resource library stays loaded.
TMyLanguages::~TMyLanguages() = default;

void TMyLanguages::SetDLLName(const AnsiString& name) {
    if (!TextMode) {
        LibraryHandle = LoadLibraryA(name.c_str());
        Ready = LibraryHandle != nullptr;
    } else {
        Lines = std::make_unique<TStringList>();
        Lines->LoadFromFile(name);
        const AnsiString text = Lines->Text;
        if (text.rfind("mode=enc", 0) == 0)
            Encoded = true;
        else
            Lines->Text = ReplaceAll(ReplaceAll(text, "\\\"", "'"), "\\\\", "\\");
        Ready = true;
    }
    LanguageName = UserLanguageName();
    LanguageBase = DetectLanguageBase(LanguageName);
    Assert(Ready, "Languages class not ready after call to TMyLanguages::SetDLLName");
}

// Every German variant counts.
int TMyLanguages::DetectLanguageBase(const AnsiString& languageName) {
    return languageName.find("German") != AnsiString::npos ? TMyLanguages::GermanLanguageBase : 0;
}

// The first line whose part before its first double quote holds the number
// anywhere: its text between the first two double quotes.
AnsiString TMyLanguages::FindText(int number) const {
    const AnsiString wanted = IntToStr(number);
    for (int i = 0; i < Lines->Count; ++i) {
        const AnsiString& line = (*Lines)[i];
        const size_t quote = line.find('"');
        if (quote != AnsiString::npos && line.substr(0, quote).find(wanted) != AnsiString::npos)
            return ExtractBetween(line, "\"", "\"");
    }
    return "";
}

AnsiString TMyLanguages::GetString(int number) {
    if (number == 0)
        return "";
    AnsiString text;
    if (!TextMode) {
        std::vector<char> buffer(10000);
        const int length = LoadStringA(LibraryHandle, static_cast<UINT>(LanguageBase + number),
                                       buffer.data(), static_cast<int>(buffer.size()));
        text = AnsiString(buffer.data(), static_cast<size_t>(length));
    } else {
        text = FindText(LanguageBase + number);
        if (Encoded)
            text = Singleton<TGlobalBlowFish>::GetSingleton().Decrypt(text, LanguageKey);
        text = ReplaceAll(ReplaceAll(text, "\\r", "\r"), "\\n", "\n");
    }
    if (text.empty()) {
        Application->MessageBox("Could not find resource string " + IntToStr(number), "",
                                MB_ICONEXCLAMATION);
        return "";
    }
    return text;
}

void TMyLanguages::WriteCaption(TForm* form) {
    Assert(Ready, "Languages::WriteCaption called without having loaded a valid languages dll");
    form->Caption = GetString(form->Tag);
    for (int i = 0; i < form->ComponentCount; ++i)
        WriteComponentCaption(form->Components[i]);
}

// A component may belong to several classes below; each that it belongs to
// is applied, in this order.
void TMyLanguages::WriteComponentCaption(TComponent* component) {
    Assert(component != nullptr, "Could not cast to TComponent in TMyLanguages::WriteCaption");
    if (component->Tag == -1)
        return;
    if (auto* checkBox = dynamic_cast<TCheckBox*>(component))
        checkBox->Caption = GetString(checkBox->Tag);
    if (auto* memo = dynamic_cast<TMemo*>(component))
        memo->Lines->Text = GetString(memo->Tag);
    if (auto* groupBox = dynamic_cast<TGroupBox*>(component)) {
        groupBox->Caption = GetString(groupBox->Tag);
        for (int i = 0; i < groupBox->ComponentCount; ++i)
            if (auto* button = dynamic_cast<TRadioButton*>(groupBox->Components[i]());
                button && button->Tag != -1)
                button->Caption = GetString(button->Tag);
    }
    if (auto* radioGroup = dynamic_cast<TRadioGroup*>(component))
        radioGroup->Caption = GetString(radioGroup->Tag);
    if (auto* radioButton = dynamic_cast<TRadioButton*>(component))
        radioButton->Caption = GetString(radioButton->Tag);
    if (auto* menu = dynamic_cast<TMainMenu*>(component))
        for (int i = 0; i < menu->ComponentCount; ++i)
            if (auto* item = dynamic_cast<TMenuItem*>(menu->Components[i]()))
                WriteComponentCaption(item);
    if (auto* button = dynamic_cast<TButton*>(component))
        button->Caption = GetString(button->Tag);
    if (auto* label = dynamic_cast<TLabel*>(component))
        label->Caption = GetString(label->Tag);
    if (auto* item = dynamic_cast<TMenuItem*>(component);
        item && item->Caption() != "-" && item->Tag != 0)
        item->Caption = GetString(item->Tag);
    if (auto* frame = dynamic_cast<TFrame*>(component))
        for (int i = 0; i < frame->ComponentCount; ++i)
            WriteComponentCaption(frame->Components[i]);
}
