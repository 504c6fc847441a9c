#include "online/TRecommendForm.h"

#include <memory>

#include "myunits/LANGUAGE.h"
#include "myunits/Settings.h"
#include "myunits/Utils.h"
#include "web/HTTPConnector.h"

TRecommendForm* RecommendForm = nullptr;

namespace {

const AnsiString RecommendKey = AnsiString("software\\Hemlow\\rq8") + "\\rec";
const AnsiString ProductName = "Korvel";
constexpr TModalResult NeverResult = 666;
enum RecommendValue { Recommended, Never };

// The margins of the form resource: the form's border and the panel's.
constexpr int FormBorder = 10;
constexpr int PanelBorder = 15;
constexpr int ButtonGap = 8;
constexpr int ButtonHeight = 25;

void SetEnglishTexts(TRecommendForm& form) {
    form.Caption = "Tell a Friend About " + ProductName;
    form.Label1->Caption =
        "Do you like " + ProductName +
        "? Share the fun with your friends, colleagues or family.\r\n\r\nLet them know that "
        "they can try the game for free, and give them a few hours of mind-bending "
        "fun.\r\n\r\nRecommending " +
        ProductName +
        " is fast and easy - You just have to fill out a very short form on our "
        "website.\r\n\r\n";
    form.Button1->Caption = "Recommend " + ProductName + " Now";
    form.Button2->Caption = "Maybe Later";
    form.Button3->Caption = "Never Recommend";
}

void SetGermanTexts(TRecommendForm& form) {
    form.Caption = "Bitte empfehlen Sie " + ProductName + " weiter!";
    form.Label1->Caption =
        "Mögen Sie " + ProductName +
        "? Dann empfehlen Sie es doch Ihren Freunden, Arbeitskollegen und Verwandten weiter "
        "und schenken Sie ihnen ein paar unterhaltsame Stunden.\r\n\r\nDas Weiterempfehlen "
        "geht schnell und einfach, Sie müssen lediglich ein kurzes Formular auf unserer "
        "Webseite ausfüllen.\r\n\r\n";
    form.Button1->Caption = ProductName + " weiterempfehlen ";
    form.Button2->Caption = "Vielleicht später";
    form.Button3->Caption = "Nie Empfehlen";
}

std::unique_ptr<TSettings> OpenRecommendStore() {
    TStringList defaults;
    defaults.Add("0");
    defaults.Add("0");
    return std::make_unique<TSettings>(RecommendKey, &defaults, HKEY_CURRENT_USER, false);
}

} // namespace

TRecommendForm::TRecommendForm(TComponent* Owner) : TForm(Owner) {
    Name = "RecommendForm";
    Caption = "Tell a Friend";
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons() << biSystemMenu;
    FormStyle = fsStayOnTop;
    Position = poScreenCenter;
    PlaceComponents();
    OnShow = Method(this, &TRecommendForm::FormShow);
    Loaded();
}

// The invitation in its panel on top, the three buttons in a row below.
void TRecommendForm::PlaceComponents() {
    Panel1 = new TPanel(this);
    Panel1->Name = "Panel1";
    Panel1->Parent = this;
    Panel1->BevelOuter = bvLowered;
    Panel1->Caption = "";

    Label1 = new TLabel(this);
    Label1->Name = "Label1";
    Label1->Parent = Panel1;
    Label1->WordWrap = true;
    Label1->Caption = "Label1";
    Label1->SetBounds(PanelBorder, PanelBorder, 400, 13);

    Image1 = new TImage(this);
    Image1->Name = "Image1";
    Image1->Parent = Panel1;

    const auto button = [this](TButton*& control, const char* name, const char* text, int width) {
        control = new TButton(this);
        control->Name = name;
        control->Parent = this;
        control->Caption = text;
        control->Width = width;
        control->Height = ButtonHeight;
    };
    button(Button1, "Button1", "Recommend Now", 160);
    Button1->Default = true;
    Button1->OnClick = Method(this, &TRecommendForm::Button1Click);
    button(Button2, "Button2", "Maybe Later", 118);
    Button2->Cancel = true;
    Button2->ModalResult = mrCancel;
    button(Button3, "Button3", "Never Recommend", 136);
    Button3->ModalResult = NeverResult;
    Label1->OnResize = Method(this, &TRecommendForm::FitToContents);
    FitToContents(this);
}

void TRecommendForm::FitToContents(TObject*) {
    Image1->SetBounds(Label1->Left + Label1->Width, PanelBorder, 0, 0);
    Panel1->SetBounds(FormBorder, FormBorder, Label1->Width + 2 * PanelBorder,
                      Label1->Height + 2 * PanelBorder);
    const int buttonsTop = Panel1->Top + Panel1->Height + FormBorder;
    int right = Panel1->Left + Panel1->Width;
    for (TButton* control : {Button3, Button2, Button1}) {
        control->SetBounds(right - control->Width, buttonsTop, control->Width, ButtonHeight);
        right -= control->Width + ButtonGap;
    }
    ClientWidth = Panel1->Width + 2 * FormBorder;
    ClientHeight = buttonsTop + ButtonHeight + FormBorder;
}

void TRecommendForm::FormShow(TObject*) {}

void TRecommendForm::Edit1Change(TObject*) {}

void TRecommendForm::Button1Click(TObject*) {
    const AnsiString page =
        TMyLanguages::GermanTexts() ? "/german/korvel/recommend.html" : "/korvel/recommend.html";
    OpenURLInBrowser(GetWebServerAddress() + page, false);
    ModalResult = mrOk;
}

void ShowRecommendOffer(bool forced) {
    if (!forced && TRecommendForm::AutomaticOfferMade)
        return;
    std::unique_ptr<TSettings> store = OpenRecommendStore();
    if (!forced && (store->GetInt(Recommended) != 0 || store->GetInt(Never) != 0))
        return;
    if (!forced)
        TRecommendForm::AutomaticOfferMade = true;
    RecommendForm = new TRecommendForm(Application);
    RecommendForm->Button3->Visible = !forced;
    if (TMyLanguages::GermanTexts())
        SetGermanTexts(*RecommendForm);
    else
        SetEnglishTexts(*RecommendForm);
    const int result = RecommendForm->ShowModal();
    if (result == mrOk)
        store->SetInt(1, Recommended);
    else if (result == NeverResult)
        store->SetInt(1, Never);
    delete RecommendForm;
    RecommendForm = nullptr;
}
