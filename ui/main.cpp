// The program entry: the application object, its help file and title, the
// main window and the forms that live as long as it, and the message loop.

#include <exception>

#include "online/TEnterMailingListForm.h"
#include "online/TRecommendForm.h"
#include "online/TSubscribeNewsletterForm.h"
#include "online/TUpdateNotification.h"
#include "platform/vcl/Forms.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"

int main() {
    try {
        Application->Initialize();
        Application->HelpFile = "KORVEL.HLP";
        Application->Title = "Korvel";
        Application->CreateForm(Form1);
        Application->CreateForm(HighScoreForm);
        Application->CreateForm(EnterMailingListForm);
        Application->CreateForm(UpdateNotification);
        Application->CreateForm(SubscribeNewsletterForm);
        Application->CreateForm(RecommendForm);
        Application->Run();
    } catch (const std::exception& error) {
        Application->ShowException(error);
    }
    return 0;
}
