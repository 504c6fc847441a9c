#pragma once
// The "new game" dialog at the start of every match: the kind of opponent,
// the player names, the match length, the computer's difficulty and the
// graphics set with its preview. Every choice is stored in the game
// settings so that the next match starts with the same choices; choosing a
// graphics set switches the board's pack at once. The controller shows it
// modally and reads the chosen values from its components after result 1;
// result 2 ("Quit Game") ends the program.

#include "platform/vcl/CSpin.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TPlayerSelectionForm : public TForm {
public:
    // Components of the form resource.
    TLabel* Label1; // hint line under the choices
    TLabel* Label2;
    TEdit* Edit2; // name of player 1
    TLabel* Label3;
    TEdit* Edit1; // name of player 2, or the computer's name
    TGroupBox* GroupBox4;
    TRadioButton* RadioButton4; // tutorial
    TRadioButton* RadioButton2; // computer, classic
    TRadioButton* RadioButton3; // computer, arcade
    TRadioButton* RadioButton1; // second person at this screen
    TRadioButton* RadioButton6; // person over the network
    TGroupBox* GroupBox3;
    TLabel* Label5;
    TCSpinEdit* CSpinEdit1; // match length
    TLabel* Label4;
    TRadioGroup* RadioGroup1; // difficulty
    TGroupBox* GroupBox1;     // graphics set
    TComboBox* ComboBox1;
    TImage* Image1;   // preview of the chosen graphics set
    TButton* Button2; // Help
    TButton* Button1; // OK
    TButton* Button3; // Quit Game

    // Handlers bound by the form resource.
    void FormShow(TObject* Sender);
    void RadioButton2Click(TObject* Sender);
    void RadioButton1Click(TObject* Sender);
    void RadioButton6Click(TObject* Sender);
    void RadioButton3Click(TObject* Sender);
    void RadioButton4Click(TObject* Sender);
    void RadioGroup1Click(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);

    explicit TPlayerSelectionForm(TComponent* Owner);

private:
    void RestoreOpponentChoice(const AnsiString& choice);
    // The controls an opponent choice needs, and its hint line.
    void ShowChoice(bool difficulty, bool matchLength, bool secondName, bool secondNameLabel,
                    int choiceText, int hintText);
    void ShowPreview(int set);
    bool LoadPack(int set);
    AnsiString OpponentChoice() const;
    void PlaceComponents();
};

extern TPlayerSelectionForm* PlayerSelectionForm;
