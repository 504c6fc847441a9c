#pragma once
// The dialog that begins a network match: call the opponent at a typed
// IPv4 address, or wait for the call and read off this machine's own
// addresses. TTChatForm::StartConnection shows it modally and reads the
// choice (RadioButton2 checked: wait), Edit1 (the address to call) and
// Memo1 (the address list for its log).

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TTCPConnectForm : public TForm {
public:
    TRadioGroup* RadioGroup1;
    TRadioButton* RadioButton1;
    TRadioButton* RadioButton2;
    TGroupBox* GroupBox1;
    TEdit* Edit1;
    TGroupBox* GroupBox2;
    TMemo* Memo1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TPanel* Panel1;
    TPanel* Panel2;
    TLabel* Label1;
    TButton* Button4;

    explicit TTCPConnectForm(TComponent* Owner);

    void FormShow(TObject* Sender);
    void RadioButton1Click(TObject* Sender);
    void RadioButton2Click(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void Edit1Exit(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);

    // Four groups of one to three digits joined by three dots, each at
    // most 255; leading zeros allowed.
    static bool IsValidIPAddress(const AnsiString& text);
};

extern TTCPConnectForm* TCPConnectForm;
