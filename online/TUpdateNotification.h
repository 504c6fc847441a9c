#pragma once
// The notice of a newer version: the server's notice text, the question
// whether to download it now, and "Never tell me again". Its captions are
// the form's own in every language; the notice comes in the language the
// request named.

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TUpdateNotification : public TForm {
public:
    TPanel* Panel1;
    TLabel* Label1;
    TCheckBox* CheckBox1;
    TButton* Button1;
    TButton* Button2;

    explicit TUpdateNotification(TComponent* Owner);
};

extern TUpdateNotification* UpdateNotification;
