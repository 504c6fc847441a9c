#pragma once
// The survey: contact data, a few facts about the computer and ratings of
// the game, sent as one plain text to the maker's form-to-mail gateway.
// Every text is the form's own English. The outcome goes to the survey
// state of the game's settings: "1" put off, "2" sent, "3" declined. It
// posts through the high-score window's HTTP component, which lives from
// start-up on.
//
// While the form exists (the global SurveyForm is set), the game's tick
// does nothing.

#include <initializer_list>

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TSurveyForm : public TForm {
public:
    TPanel* Panel1;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TScrollBox* ScrollBox1;
    TEdit* Edit1;
    TEdit* Edit2;
    TComboBox* ComboBox1;
    TComboBox* ComboBox2;
    TEdit* Edit4;
    TComboBox* ComboBox21;
    TComboBox* ComboBox22;
    TMemo* Memo1;
    TMemo* Memo3;
    TComboBox* ComboBox3;
    TComboBox* ComboBox4;
    TComboBox* ComboBox5;
    TComboBox* ComboBox6;
    TComboBox* ComboBox7;
    TComboBox* ComboBox8;
    TComboBox* ComboBox9;
    TComboBox* ComboBox10;
    TComboBox* ComboBox11;
    TComboBox* ComboBox12;
    TComboBox* ComboBox13;
    TComboBox* ComboBox14;
    TComboBox* ComboBox15;
    TComboBox* ComboBox16;
    TComboBox* ComboBox19;
    TRadioGroup* RadioGroup2;
    TRadioGroup* RadioGroup3;
    TEdit* Edit5;
    TRadioGroup* RadioGroup4;
    TRadioGroup* RadioGroup5;
    TComboBox* ComboBox17;
    TEdit* Edit3;
    TEdit* Edit6;
    TEdit* Edit7;
    TComboBox* ComboBox18;
    TEdit* Edit8;
    TComboBox* ComboBox20;
    TMemo* Memo2;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TButton* Button4;

    explicit TSurveyForm(TComponent* Owner);

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);

    // The text that Button1 sends: every answer under its label, each
    // behind a separator line, lines ended by CR LF.
    AnsiString ComposeText();

private:
    void CreateHeader();
    void CreateContactQuestions(int& top);
    void CreateComputerQuestions(int& top);
    void CreateOpinionQuestions(int& top);
    void CreateRatingQuestions(int& top);
    void CreateChoiceQuestions(int& top);
    void CreateShareQuestions(int& top);
    void CreateButtons();

    TGroupBox* Group(const AnsiString& caption, int& top, int height);
    TLabel* Text(TWinControl* parent, const AnsiString& caption, int left, int top);
    TEdit* Edit(TWinControl* parent, const char* name, int left, int top, int width);
    TComboBox* Combo(TWinControl* parent, const char* name, int left, int top, int width,
                     const char* initial, std::initializer_list<const char*> items);
    TMemo* Memo(TWinControl* parent, const char* name, int top);
    TRadioGroup* Radio(TWinControl* parent, const char* name, int left, int top, int width,
                       int columns, std::initializer_list<const char*> items);
    TButton* Button(TWinControl* parent, const char* name, const char* caption, int left, int top,
                    int width);
    void Send(const AnsiString& text);

    int controls_ = 0;
};

extern TSurveyForm* SurveyForm;
