#include "online/Unit1.h"

#include "game/GameWindow.h"
#include "game/gamecontrol.h"
#include "platform/inet/NMHTTP.h"
#include "platform/win32/ShellApi.h"
#include "web/HTTPConnector.h"

TSurveyForm* SurveyForm = nullptr;

namespace {

const AnsiString Separator = "----------------------------";
const AnsiString SurveyMailbox = "survey@korvel.example";
const char* const PleaseChoose = "Please Choose";

constexpr int GroupLeft = 8;
constexpr int GroupWidth = 500;
constexpr int FieldLeft = 170;
constexpr int FieldWidth = 316;
constexpr int HalfWidth = 226;
constexpr int SecondHalf = 252;

const std::initializer_list<const char*> Ratings = {"Very Good", "Good", "Average", "Not So Good",
                                                    "Bad "};
const std::initializer_list<const char*> Comparisons = {
    "Much better than Tolva+", "Better than Tolva+", "Same quality as Tolva+", "Worse than Tolva+",
    "Much worse than Tolva+"};
const std::initializer_list<const char*> Features = {"Higher Resolution Graphics",
                                                     "Full Screen Mode",
                                                     "Additional Graphic Themes",
                                                     "Better Music",
                                                     "Sound Effects",
                                                     "More Game Modes",
                                                     "Better Computer Opponents"};

// The text of a radio group's choice in the mail: "No Selection" when none
// is chosen.
AnsiString Choice(TRadioGroup* group, std::initializer_list<const char*> texts) {
    const int index = group->ItemIndex;
    if (index < 0 || index >= static_cast<int>(texts.size()))
        return "No Selection";
    return texts.begin()[index];
}

} // namespace

TSurveyForm::TSurveyForm(TComponent* Owner) : TForm(Owner) {
    Name = "SurveyForm";
    Caption = "Korvel Survey";
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons() << biSystemMenu;
    Position = poScreenCenter;
    ClientWidth = 556;
    ClientHeight = 482;
    CreateHeader();
    int top = 8;
    CreateContactQuestions(top);
    CreateComputerQuestions(top);
    CreateOpinionQuestions(top);
    CreateRatingQuestions(top);
    CreateChoiceQuestions(top);
    CreateShareQuestions(top);
    Button1 = Button(ScrollBox1, "Button1", "Send this survey via e-mail now!", 125, top, 250);
    Button1->OnClick = Method(this, &TSurveyForm::Button1Click);
    CreateButtons();
    Loaded();
}

void TSurveyForm::CreateHeader() {
    Panel1 = new TPanel(this);
    Panel1->Name = "Panel1";
    Panel1->Parent = this;
    Panel1->SetBounds(0, 0, 556, 440);
    Panel1->Caption = "";
    Label1 =
        Text(Panel1, "As Korvel is a brandnew program, we depend on your feedback to improve it.",
             10, 8);
    Label2 = Text(Panel1,
                  "Please take a few minutes to fill out this form, go online and press the "
                  "button at the",
                  10, 24);
    Label3 = Text(
        Panel1,
        "bottom of the scrollbox below in order to send us the contents of this form via e-mail.",
        10, 40);
    ScrollBox1 = new TScrollBox(this);
    ScrollBox1->Name = "ScrollBox1";
    ScrollBox1->Parent = Panel1;
    ScrollBox1->SetBounds(8, 62, 540, 370);
}

void TSurveyForm::CreateContactQuestions(int& top) {
    TGroupBox* contact = Group("Please enter your contact information:", top, 76);
    Text(contact, "Your Name:", 12, 22);
    Edit1 = Edit(contact, "Edit1", FieldLeft, 18, FieldWidth);
    Text(contact, "Your e-mail address:", 12, 48);
    Edit2 = Edit(contact, "Edit2", FieldLeft, 44, FieldWidth);
}

void TSurveyForm::CreateComputerQuestions(int& top) {
    TGroupBox* computer = Group("Some information about your computer:", top, 160);
    Text(computer, "CPU Type:", 12, 22);
    ComboBox1 = Combo(computer, "ComboBox1", FieldLeft, 18, FieldWidth, "Please choose",
                      {"Intel 486", "Intel Pentium", "Intel Pentium II", "Intel Pentium III",
                       "AMD K5", "AMD K6", "AMD K6-2", "AMD K6-3", "Cyrix M1", "Cyrix M2",
                       "Some other mysterious type", "I don't know"});
    Text(computer, "Operating System:", 12, 50);
    ComboBox2 = Combo(computer, "ComboBox2", FieldLeft, 46, FieldWidth, "Please choose",
                      {"Win 95", "Win 98", "Win NT 4", "Win 2000", "I don't know"});
    Text(computer, "CPU Speed (MHz):", 12, 78);
    Edit4 = Edit(computer, "Edit4", FieldLeft, 74, 80);
    Text(computer, "Sound Card:", 12, 106);
    ComboBox21 = Combo(computer, "ComboBox21", FieldLeft, 102, FieldWidth, PleaseChoose,
                       {"None", "Yes, but I don't know what type", "Yes, but without Wavetable",
                        "Yes, even with Wavetable", "I don't know"});
    Text(computer, "Graphics Card:", 12, 134);
    ComboBox22 = Combo(
        computer, "ComboBox22", FieldLeft, 130, FieldWidth, PleaseChoose,
        {"Without 3D-Acceleration (over 3 years old)", "With some 3D-Acceleration (1- 3 years old)",
         "With top-of-the-notch 3D-Acceleration (less than 1 year old)", "I Don't know"});
}

void TSurveyForm::CreateOpinionQuestions(int& top) {
    TGroupBox* bugs =
        Group("Did you notice any bugs? If yes, please give us a detailed description:", top, 96);
    Memo1 = Memo(bugs, "Memo1", 20);
    TGroupBox* internet =
        Group("Did you play Korvel over the internet? if yes, did it work? If no, why?", top, 96);
    Memo3 = Memo(internet, "Memo3", 20);
    TGroupBox* features = Group("What additional features would you like most?", top, 56);
    ComboBox3 = Combo(features, "ComboBox3", 12, 20, HalfWidth, PleaseChoose, Features);
    ComboBox4 = Combo(features, "ComboBox4", SecondHalf, 20, HalfWidth, PleaseChoose, Features);
}

void TSurveyForm::CreateRatingQuestions(int& top) {
    TGroupBox* ratings = Group("Some ratings about Korvel:", top, 22 + 7 * 56);
    int subTop = 22;
    const auto pair = [&](const AnsiString& caption, TComboBox*& rating, const char* ratingName,
                          TComboBox*& comparison, const char* comparisonName) {
        TGroupBox* sub = new TGroupBox(this);
        sub->Name = "GroupBox" + IntToStr(++controls_);
        sub->Parent = ratings;
        sub->SetBounds(12, subTop, 476, 50);
        sub->Caption = caption;
        rating = Combo(sub, ratingName, 10, 18, HalfWidth, PleaseChoose, Ratings);
        comparison = Combo(sub, comparisonName, 240, 18, HalfWidth, PleaseChoose, Comparisons);
        subTop += 56;
    };
    pair("Graphics:", ComboBox5, "ComboBox5", ComboBox6, "ComboBox6");
    pair("Fun Factor (long-term):", ComboBox7, "ComboBox7", ComboBox8, "ComboBox8");
    pair("Fun Factor (short-term)", ComboBox9, "ComboBox9", ComboBox10, "ComboBox10");
    pair("Overall Rating:", ComboBox11, "ComboBox11", ComboBox12, "ComboBox12");
    pair("Variety of features and game modes", ComboBox13, "ComboBox13", ComboBox14, "ComboBox14");
    pair("Help File", ComboBox15, "ComboBox15", ComboBox16, "ComboBox16");
    TGroupBox* skill = new TGroupBox(this);
    skill->Name = "GroupBox" + IntToStr(++controls_);
    skill->Parent = ratings;
    skill->SetBounds(12, subTop, 476, 50);
    skill->Caption = "Computer skill level:";
    ComboBox19 = Combo(skill, "ComboBox19", 10, 18, HalfWidth, PleaseChoose,
                       {"Much too Difficult", "Slightly too difficult", "OK", "Slightly too easy",
                        "Much too easy"});
}

void TSurveyForm::CreateChoiceQuestions(int& top) {
    RadioGroup2 =
        Radio(ScrollBox1, "RadioGroup2", GroupLeft, top, GroupWidth, 3, {"Yes", "No", "Maybe"});
    RadioGroup2->Caption = " Do you consider buying the game (please be honest)?";
    top += RadioGroup2->Height + 8;
    RadioGroup3 = Radio(ScrollBox1, "RadioGroup3", GroupLeft, top, 380, 3,
                        {"Pop/Rock", "Dance", "Classic", "Country", "Jazz", "Easy Listening",
                         "Kids Songs", "Other:"});
    RadioGroup3->Caption = "What music style would you like for Korvel:";
    RadioGroup3->Height = 92;
    Edit5 = Edit(ScrollBox1, "Edit5", 396, top + 36, 112); // beside "Other:"
    top += RadioGroup3->Height + 8;
    RadioGroup4 = Radio(ScrollBox1, "RadioGroup4", GroupLeft, top, GroupWidth, 3,
                        {"Yes ", "No", "No opinion"});
    RadioGroup4->Caption = "Do you dislike the Player selection form at the beginning of the game?";
    top += RadioGroup4->Height + 8;
    RadioGroup5 = Radio(ScrollBox1, "RadioGroup5", GroupLeft, top, GroupWidth, 4,
                        {"1", "2-4", "5-10", "more than 10"});
    RadioGroup5->Caption = "How many shareware programs have you already purchased?";
    top += RadioGroup5->Height + 8;
    TGroupBox* registered = Group("Why did you register Tolva+?", top, 56);
    ComboBox17 = Combo(registered, "ComboBox17", 12, 20, FieldWidth, PleaseChoose,
                       {"I liked the game a lot", "To support its makers",
                        "For the features of the full version", "I have not registered it (yet)",
                        "What is Tolva+?"});
}

void TSurveyForm::CreateShareQuestions(int& top) {
    TGroupBox* price = Group(
        "All participants of this betatest will be able to buy the game for only 12$", top, 100);
    Text(price, " until the first of July 99. However, the regular  price will be significantly",
         12, 20);
    Text(price, "higher. What price would you expect for this game?", 12, 38);
    Edit3 = Edit(price, "Edit3", 12, 64, 80);
    Text(price, "US$", 98, 68);
    TGroupBox* favourite =
        Group("What is your favourite shareware game (apart Tolva+ ;-)?", top, 56);
    Edit6 = Edit(favourite, "Edit6", 12, 20, 476);
    TGroupBox* description =
        Group("We need a good one-line description (about 20 words) for Korvel. What", top, 76);
    Text(description, " description would make you download the game?", 12, 20);
    Edit7 = Edit(description, "Edit7", 12, 42, 476);
    TGroupBox* size = Group("Do you think that Korvel is too big (too much to download)?", top, 56);
    ComboBox18 = Combo(
        size, "ComboBox18", 12, 20, FieldWidth, PleaseChoose,
        {"Much too big", "A little too big", "It's OK.", "Absolutely no problem", "I don't know"});
    TGroupBox* maximum =
        Group("What should be the maximum download size (kb) for a well-rated but still", top, 76);
    Text(maximum, " unknown shareware game?", 12, 20);
    Edit8 = Edit(maximum, "Edit8", 12, 42, 80);
    TGroupBox* music = Group("How do you like the music in Korvel?", top, 56);
    ComboBox20 = Combo(music, "ComboBox20", 12, 20, FieldWidth, "PleaseChoose",
                       {"Not at all", "not much", "it's OK", "it's fine", "Great"});
    TGroupBox* suggestions =
        Group("Do you have any other suggestions on how to improve the game?", top, 96);
    Memo2 = Memo(suggestions, "Memo2", 20);
}

void TSurveyForm::CreateButtons() {
    Button3 = Button(this, "Button3", "Remind me again later", 8, 449, 180);
    Button3->OnClick = Method(this, &TSurveyForm::Button3Click);
    Button2 = Button(this, "Button2", "I don't want to fill it out at all", 192, 449, 180);
    Button2->OnClick = Method(this, &TSurveyForm::Button2Click);
    Button2->Visible = false;
    Button4 = Button(this, "Button4", "What is Tolva+???", 376, 449, 172);
    Button4->OnClick = Method(this, &TSurveyForm::Button4Click);
}

TGroupBox* TSurveyForm::Group(const AnsiString& caption, int& top, int height) {
    auto* group = new TGroupBox(this);
    group->Name = "GroupBox" + IntToStr(++controls_);
    group->Parent = ScrollBox1;
    group->SetBounds(GroupLeft, top, GroupWidth, height);
    group->Caption = caption;
    top += height + 8;
    return group;
}

TLabel* TSurveyForm::Text(TWinControl* parent, const AnsiString& caption, int left, int top) {
    auto* label = new TLabel(this);
    label->Name = "Label" + IntToStr(++controls_);
    label->Parent = parent;
    label->Left = left;
    label->Top = top;
    label->Caption = caption;
    return label;
}

TEdit* TSurveyForm::Edit(TWinControl* parent, const char* name, int left, int top, int width) {
    auto* edit = new TEdit(this);
    edit->Name = name;
    edit->Parent = parent;
    edit->SetBounds(left, top, width, 21);
    edit->Text = "";
    return edit;
}

TComboBox* TSurveyForm::Combo(TWinControl* parent, const char* name, int left, int top, int width,
                              const char* initial, std::initializer_list<const char*> items) {
    auto* combo = new TComboBox(this);
    combo->Name = name;
    combo->Parent = parent;
    combo->SetBounds(left, top, width, 21);
    for (const char* item : items)
        combo->Items->Add(item);
    combo->Text = initial;
    return combo;
}

TMemo* TSurveyForm::Memo(TWinControl* parent, const char* name, int top) {
    auto* memo = new TMemo(this);
    memo->Name = name;
    memo->Parent = parent;
    memo->SetBounds(12, top, 476, 64);
    memo->ScrollBars = ssVertical;
    memo->Text = "";
    return memo;
}

TRadioGroup* TSurveyForm::Radio(TWinControl* parent, const char* name, int left, int top, int width,
                                int columns, std::initializer_list<const char*> items) {
    auto* group = new TRadioGroup(this);
    group->Name = name;
    group->Parent = parent;
    group->SetBounds(left, top, width, 48);
    group->Columns = columns;
    for (const char* item : items)
        group->Items->Add(item);
    return group;
}

TButton* TSurveyForm::Button(TWinControl* parent, const char* name, const char* caption, int left,
                             int top, int width) {
    auto* button = new TButton(this);
    button->Name = name;
    button->Parent = parent;
    button->SetBounds(left, top, width, 25);
    button->Caption = caption;
    return button;
}

void TSurveyForm::Button1Click(TObject*) {
    if (Edit2->Text().empty()) {
        Application->MessageBox("You must enter a valid e-mail address.", "Sorry...", MB_ICONSTOP);
        return;
    }
    if (Application->MessageBox("Are you currently online?", "Ready to proceed?",
                                MB_YESNO | MB_ICONQUESTION) != IDYES) {
        Application->MessageBox(
            "Please go online before sending this Survey, otherwise it wont work.", "Sorry...",
            MB_ICONSTOP);
        return;
    }
    Send(ComposeText());
}

AnsiString TSurveyForm::ComposeText() {
    TStringList lines;
    const auto add = [&lines](const AnsiString& label, const AnsiString& value) {
        lines.Add(Separator);
        lines.Add(label);
        lines.Add(value);
    };
    lines.Add("Korvel Evaluation v." + MainWindow()->Game->GetSetting(GameSetting::Version));
    add("Game Description:", Edit7->Text);
    add("XRES:", IntToStr(Screen->DesktopWidth));
    add("YRES:", IntToStr(Screen->DesktopHeight));
    add("ColorDepth:", IntToStr(MainWindow()->ScreenColourDepth()));
    add("Name:", Edit1->Text);
    add("E-Mail:", Edit2->Text);
    add("CPU", ComboBox1->Text);
    add("CPU Clock", Edit4->Text);
    add("OS", ComboBox2->Text);
    add("Soundcard", ComboBox21->Text);
    add("Graphics Card", ComboBox22->Text);
    add("Bugs:", Memo1->Text);
    add("Internet:", Memo3->Text);
    add("Features1:", ComboBox3->Text);
    add("Features2:", ComboBox4->Text);
    add("Graphics:", ComboBox5->Text);
    add("Rel. Graphics:", ComboBox6->Text);
    add("Fun(short-term):", ComboBox9->Text);
    add("Rel. Fun (short-term):", ComboBox10->Text);
    add("Fun (long-term):", ComboBox7->Text);
    add("Rel. Fun (long-term):", ComboBox8->Text);
    add("Computer Skill level", ComboBox19->Text);
    add("Variety:", ComboBox13->Text);
    add("Rel. Variety:", ComboBox14->Text);
    add("Help File", ComboBox15->Text);
    add("Rel. Help File", ComboBox16->Text);
    add("Overall:", ComboBox11->Text);
    add("Rel. Overall:", ComboBox12->Text);
    add("Price:", Edit3->Text);
    add("Gonna buy the game:", Choice(RadioGroup2, {"Yes", "No", "Maybe"}));
    add("Music Rating", ComboBox20->Text);
    add("Music Style", Choice(RadioGroup3, {"Pop/Rock", "Dance", "Classic", "Country", "Jazz",
                                            "Easy Listening", "Kids", "Other"}));
    add("Music Style other", Edit5->Text);
    add("Player Selection Form:", Choice(RadioGroup4, {"OK", "Not OK", "No Opinion"}));
    add("Shareware Purchased", Choice(RadioGroup5, {"1", "2-4", "5-10", ">10"}));
    add("Downloasize OK?", ComboBox18->Text);
    add("Max. Downloadsize:", Edit8->Text);
    add("Favourite game:", Edit6->Text);
    add("Why registered?", ComboBox17->Text);
    add("various suggestions?", Memo2->Text);
    lines.Add(Separator);
    return lines.Text;
}

// A post that fails on the way (no connection, an error status) is judged
// by the reply body as well, which then holds whatever came back.
void TSurveyForm::Send(const AnsiString& text) {
    const AnsiString body = "_to_address=" + SurveyMailbox +
                            "&_subject=KorvelHighscore&_from_address=" + SurveyMailbox +
                            "&body=" + text;
    TNMHTTP* const http = MainWindow()->HighScoreHTTP();
    try {
        http->Post(GetWebServerAddress() + "/cgi-bin/form-to-mail.cgi", body);
    } catch (const Exception&) {
    }
    if (http->Body().find("has been sent") == AnsiString::npos) {
        Application->MessageBox(
            "Could not send Mail. Please make sure that you are currently online",
            "Error while sending survey", MB_ICONSTOP);
        return;
    }
    Application->MessageBox(
        "The survey has been sent successfully. Thanks very much for participating! :-)", "Thanks",
        MB_ICONEXCLAMATION);
    MainWindow()->Game->SetSetting(GameSetting::SurveyState, "2");
    MainWindow()->FillOutSurveyForm1->Visible = false;
    ModalResult = mrOk;
}

void TSurveyForm::Button2Click(TObject*) {
    if (Application->MessageBox("Do you really not want to take part in this survey?",
                                "Are you really sure?", MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    MainWindow()->Game->SetSetting(GameSetting::SurveyState, "3");
    ModalResult = mrAbort;
}

void TSurveyForm::Button3Click(TObject*) {
    MainWindow()->Game->SetSetting(GameSetting::SurveyState, "1");
    ModalResult = mrCancel;
}

void TSurveyForm::Button4Click(TObject*) {
    ShellExecuteA(Handle, "open", GetOtherGameAddress(false).c_str(), nullptr, nullptr,
                  SW_SHOWDEFAULT);
}
