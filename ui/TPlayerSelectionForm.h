#pragma once
// The "new game" dialog at the start of every match: the kind of opponent,
// the player names, the match length, the computer's difficulty and the
// graphics set with its preview. Every choice is stored in the game
// settings so that the next match starts with the same choices; choosing a
// graphics set switches the board's pack at once. The controller shows it
// modally and reads the chosen values from its components after result 1;
// result 2 ("Quit Game") ends the program.

#include "game/PlayerSelection.h"

class TPlayerSelectionForm : public PlayerSelection {
public:
    // Components of the form resource; those the controller reads (Edit1,
    // Edit2, RadioButton1-4 and 6, CSpinEdit1, RadioGroup1) are
    // PlayerSelection's.
    TLabel* Label1; // hint line under the choices
    TLabel* Label2;
    TLabel* Label3;
    TGroupBox* GroupBox4;
    TGroupBox* GroupBox3;
    TLabel* Label5;
    TLabel* Label4;
    TGroupBox* GroupBox1; // graphics set
    TComboBox* ComboBox1;
    TImage* Image1;   // preview of the chosen graphics set
    TButton* Button2; // Help
    TButton* Button1; // OK
    TButton* Button3; // Quit Game

    // Handlers bound by the form resource.
    void FormShow(TObject* Sender) override;
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
