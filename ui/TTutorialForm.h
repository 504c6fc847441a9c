#pragma once
// The tutorial: a small window beside the board that walks the user through
// eleven pages. Each page puts a prepared position on the board, shows two
// texts and lets the user play on the board or keeps it locked. Next
// demonstrates the move a page asks for; on the pages where the user may
// act, the controller asks CheckTutorialMove after every executed move
// whether the position reached is the expected one. The last page returns
// to a normal match.

#include <cstdint>

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TTutorialForm : public TForm {
public:
    // Components of the form resource.
    TLabel* Label1;   // first text of the page
    TLabel* Label2;   // second text of the page
    TButton* Button1; // Next
    TButton* Button2; // Back
    TButton* Button3; // leave the tutorial; also the Escape key

    // Handlers bound by the form resource.
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    explicit TTutorialForm(TComponent* Owner);
    ~TTutorialForm() override;

    // Sets the page's position and input and shows its texts.
    void ShowTutorialPage(uint8_t page);
    // The game string `g` after an executed move: true lets the controller
    // ask the side to move, false makes it ask nobody.
    bool CheckTutorialMove(AnsiString g);

    // Fields of its own, in order.
    bool RetryPending; // a wrong jump on page 9 was answered and must be taken back
    uint8_t Page;      // the page shown, 0 to 10

private:
    void PlaceComponents();
    void EnableButtons(bool on);
    void BlinkThreeTimes(const int (&points)[3]);
    // Page 10 and a confirmed leave: the window closes and a new match
    // begins.
    void EndTutorial();
    // A wrong move: the page's note, then its position again.
    void RetryPage(int text);
};

extern TTutorialForm* TutorialForm;
