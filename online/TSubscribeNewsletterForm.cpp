#include "online/TSubscribeNewsletterForm.h"

#include <memory>

#include "myunits/LANGUAGE.h"
#include "myunits/Settings.h"
#include "myunits/Utils.h"
#include "online/TAbstractIData.h"
#include "web/HTTPConnector.h"

TSubscribeNewsletterForm* SubscribeNewsletterForm = nullptr;

namespace {

const AnsiString NewsKey = AnsiString("software\\Hemlow\\rq8") + "\\news";
const AnsiString ProductName = "Korvel";
enum NewsValue { Subscribed, NeverShow };

// The argument of the offer running now, for the send.
bool Forced = false;

// Picks the text of the language in use.
AnsiString Say(const AnsiString& english, const AnsiString& german) {
    return TMyLanguages::GermanTexts() ? german : english;
}

AnsiString EnglishExplanation() {
    return "Subscribe to our free monthly newsletter to be notified about new game releases, " +
           ProductName +
           " updates, news, free add-ons, hints, contests and special discount offers regarding "
           "our games. We will keep your e-mail absolutely confidential - It will only be used "
           "to send you our free monthly newsletter.\r\n\r\nYou can quickly and easily "
           "unsubscribe it at any time by clicking a simple link in any issue of the "
           "newsletter.\r\n\r\nDon't miss out - join our thousands of happy subscribers now. You "
           "just have to enter your e-mail address and confirm with the \"Submit "
           "Subscription\" button.";
}

AnsiString GermanExplanation() {
    return "Abonnieren Sie unser kostenloses monatliches Newsletter um Benachrichtigungen über " +
           ProductName +
           " Updates, neue Spiele, Stratgietipps und vergünstigte Angebote für unsere Spiele zu "
           "bekommen. Ihre Emailadresse wird absolut vertraulich behandelt und ausschliesslich "
           "für das Versenden unseres monatlichen Newsletters benutzt.\r\n\r\nSie können das "
           "Newsletter zudem bei Nichtgefallen schnell und einfach mit einem einzigen Mausklick "
           "wieder abbestellen.\r\n\r\nZum Abonnieren geben Sie bitte Ihre Emailadresse sowie "
           "wahlweise auch Ihren Namen ein und klicken den \"Abonnieren\"-Knopf";
}

void SetTexts(TSubscribeNewsletterForm& form) {
    form.Caption = Say("Stay up-to-date with our free monthly newsletter",
                       "Abonnieren Sie unser kostenloses Newsletter");
    form.Label1->Caption = Say(EnglishExplanation(), GermanExplanation());
    form.CheckBox1->Caption =
        Say("Never show this window again", "Dieses Fenster nicht mehr anzeigen");
    form.Button1->Caption = Say("Submit Subscription", "Jetzt Abonnieren");
    form.Button2->Caption = Say("Maybe Later", "Vielleicht später");
    form.Label3->Caption = Say("Your first name (optional):", "Ihr Vorname (optional):");
    form.Label4->Caption = Say("Your e-mail address:", "Ihre Emailadresse:");
}

// The mail body: one field a line, CR LF between the lines.
AnsiString SubscriptionRecord(const AnsiString& firstName, const AnsiString& address) {
    return "*** automatic mailing list enter ***\r\nProduct Name: " + ProductName +
           "\r\nVersion: " + GetVersionString() + "\r\nFirst Name: " + firstName +
           "\r\nEmail Address: " + address + "\r\nVolSubscription: " + (Forced ? "1" : "0") +
           "\r\nTime: " + IntToStr(Singleton<TAbstractIData>::GetSingleton().GetSessionMinutes()) +
           "\r\n" + Say("Country: USA", "Country: Germany");
}

std::unique_ptr<TSettings> OpenNewsStore() {
    TStringList defaults;
    defaults.Add("0");
    defaults.Add("0");
    return std::make_unique<TSettings>(NewsKey, &defaults, HKEY_CURRENT_USER, false);
}

} // namespace

TSubscribeNewsletterForm::TSubscribeNewsletterForm(TComponent* Owner) : TForm(Owner) {
    Name = "SubscribeNewsletterForm";
    Caption = "Newsletter";
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons() << biSystemMenu;
    ClientWidth = 500;
    ClientHeight = 284;
    Position = poScreenCenter;
    PlaceComponents();
    Loaded();
}

// The explanation on top, the two fields below it with their prompts on
// the left, then the check box and the buttons.
void TSubscribeNewsletterForm::PlaceComponents() {
    Label1 = new TLabel(this);
    Label1->Name = "Label1";
    Label1->Parent = this;
    Label1->AutoSize = false;
    Label1->WordWrap = true;
    Label1->Caption = "Label1";
    Label1->SetBounds(12, 12, 476, 142);

    const auto prompt = [this](TLabel*& label, const char* name, int top) {
        label = new TLabel(this);
        label->Name = name;
        label->Parent = this;
        label->AutoSize = false;
        label->Caption = name;
        label->SetBounds(12, top + 3, 190, 16);
    };
    const auto field = [this](TEdit*& edit, const char* name, int top) {
        edit = new TEdit(this);
        edit->Name = name;
        edit->Parent = this;
        edit->SetBounds(208, top, 280, 22);
        edit->OnChange = Method(this, &TSubscribeNewsletterForm::Edit1Change);
    };
    prompt(Label3, "Label3", 162);
    field(Edit1, "Edit1", 162);
    prompt(Label4, "Label4", 192);
    field(Edit3, "Edit3", 192);

    CheckBox1 = new TCheckBox(this);
    CheckBox1->Name = "CheckBox1";
    CheckBox1->Parent = this;
    CheckBox1->Caption = "CheckBox1";
    CheckBox1->SetBounds(12, 224, 476, 17);

    Button1 = new TButton(this);
    Button1->Name = "Button1";
    Button1->Parent = this;
    Button1->Caption = "Button1";
    Button1->Default = true;
    Button1->SetBounds(208, 248, 150, 25);
    Button1->OnClick = Method(this, &TSubscribeNewsletterForm::Button1Click);

    Button2 = new TButton(this);
    Button2->Name = "Button2";
    Button2->Parent = this;
    Button2->Caption = "Button2";
    Button2->Cancel = true;
    Button2->ModalResult = mrCancel;
    Button2->SetBounds(366, 248, 122, 25);
}

void TSubscribeNewsletterForm::Edit1Change(TObject*) {}

// Button1 stays disabled while the send waits, since window messages go on
// being processed then.
void TSubscribeNewsletterForm::Button1Click(TObject*) {
    const AnsiString address = Edit3->Text;
    if (!IsValidEmailAddress(address)) {
        Application->MessageBox(
            Say("The e-mail address " + address +
                    " does not seem to be valid. Please check the spelling and try again.",
                "Die von Ihnen eingegebene Emailadresse " + address +
                    " scheint leider nicht gültig zu sein. Bitte überprüfen Sie die Schreibweise "
                    "und versuchen Sie es erneut."),
            ProductName, MB_ICONSTOP);
        return;
    }
    AnsiString firstName = Edit1->Text;
    if (Trim(firstName).empty())
        firstName = ProductName + Say(" Gamer", " Spieler");
    Button1->Enabled = false;
    const AnsiString record = SubscriptionRecord(firstName, address);
    if (SendMailViaWebForm("automatic " + ProductName + " mailing List enter", address, firstName,
                           record, "Newslettersubscriptions")) {
        ModalResult = mrOk;
        return;
    }
    Application->MessageBox(
        Say("Newsletter Subscription failed. Please make sure that you are online and try again. "
            "If you are using a personal firewall, please make sure that " +
                ProductName + " is not blocked from the Internet.",
            "Das Abonnieren unseres Newsletters ist leider fehlgeschlagen. Bitte überprüfen Sie "
            "Ihre Internetverbindung. Falls Sie einen personal firewall verwenden, stellen Sie "
            "bitte sicher dass dieser " +
                ProductName + " nicht den Zugang zum Internet blockiert."),
        Say("Subscription failed", ProductName), MB_ICONSTOP);
    Button1->Enabled = true;
}

void ShowNewsletterOffer(bool forced) {
    if (!forced && TSubscribeNewsletterForm::AutomaticOfferShown)
        return;
    std::unique_ptr<TSettings> store = OpenNewsStore();
    Forced = forced;
    if (!forced && (store->GetInt(Subscribed) != 0 || store->GetInt(NeverShow) != 0))
        return;
    if (!forced)
        TSubscribeNewsletterForm::AutomaticOfferShown = true;
    const std::unique_ptr<TSubscribeNewsletterForm> dialog =
        std::make_unique<TSubscribeNewsletterForm>(Application);
    dialog->CheckBox1->Visible = !forced;
    SetTexts(*dialog);
    if (dialog->ShowModal() == mrOk) {
        Application->MessageBox(Say("Thanks for subscribing to our free newsletter!",
                                    "Sie haben soeben unser kostenloses newsletter abonniert."),
                                Say("Newsletter subscription successful.", "Vielen Dank!."),
                                MB_ICONEXCLAMATION);
        store->SetInt(1, Subscribed);
    }
    if (dialog->CheckBox1->Checked)
        store->SetInt(1, NeverShow);
}
