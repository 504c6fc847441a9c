#pragma once
// The high-score window: the local top ten of arcade results on the left,
// the world-wide top ten on the right, covered by an introduction until a
// fetch has filled it. The local table lives in setting 19 of the game's
// settings table; the window reads it again whenever it is shown and
// writes it only after a result has entered it. Created once at start-up
// and shown modally, by the controller after an arcade match and from the
// main menu. Its compare button fetches the world-wide table from the
// maker's web server once per run and posts the local results good enough
// for it; "posted.txt" remembers what was sent (TPostedScores.h).

#include <cstdint>

#include "platform/vcl/Classes.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TNMHTTP;
class THttpCli;
class TPostedScores;
class TScore;

class THighScoreForm : public TForm {
public:
    // Components of the form resource.
    TPanel* Panel2; // the local table
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TMemo* Memo1;   // names
    TMemo* Memo2;   // stages
    TMemo* Memo3;   // scores
    TPanel* Panel3; // the online table
    TLabel* Label8;
    TLabel* Label5;
    TLabel* Label9;
    TLabel* Label6;
    TLabel* Label7;
    TMemo* Memo4;   // names
    TMemo* Memo7;   // countries
    TMemo* Memo5;   // stages
    TMemo* Memo6;   // scores
    TPanel* Panel4; // the introduction in front of the online table
    TLabel* Label10;
    TMemo* Memo8;
    TButton* Button1; // OK
    TButton* Button2; // compare online
    TButton* Button3; // help
    THttpCli* HttpCli1;

    // Handlers bound by the form resource.
    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void FormShow(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void HttpCli1DocBegin(TObject* Sender);
    void HttpCli1DocEnd(TObject* Sender);

    explicit THighScoreForm(TComponent* Owner);

    // Adds a new record to the list (the local or the online one) and
    // sorts it; a record that is not among the first ten is taken out
    // again and false returned. The window shows the lists when it enters.
    bool InsertScore(const AnsiString& name, int32_t stage, int32_t score,
                     const AnsiString& country, TList* list);
    // Both lists into the table columns.
    void ShowScores();
    // The local list into setting 19.
    void SaveScores();
    // The local list from setting 19, sorted and shown; records that
    // cannot be read are left out.
    void LoadScores();

    // The version block of the page, from "<!--latestversion" to
    // "latestversion-->", one version text per line: when the running
    // version is not among them, setting 26 turns from "0" to "1". True
    // when a whole block was read and the running version is not listed.
    bool ParseLatestVersion(TStringList* page);
    // The first ten rows of Page that can be read, into the online table;
    // returns how many were read.
    int ReadOnlineRows();
    // A copy of the record inserted into the list; true when it entered.
    bool EntersOnlineTable(const TScore& record, TList* list);
    // Some queued name is exactly this one.
    static bool IsNameQueued(TStringList* list, const AnsiString& name);
    // Some record of the list has the same name, score and stage.
    static bool IsScoreOnline(const TScore& record, TList* list);
    // "Name from Country: Stage n Score m", a line of the mail.
    static AnsiString FormatScoreLine(const TScore& record);

    TStringList* Page;   // the lines of the online page
    TList* LocalScores;  // TScore*, owned; falling score, at most ten
    TList* OnlineScores; // TScore*, owned; falling score, at most ten
    // Names of the local records chosen for posting: the local list is
    // rebuilt whenever the window is shown, so it keeps no references.
    TStringList* QueuedNames;
    TNMHTTP* NMHTTP1; // fetches the online page; the survey posts with it too

private:
    // Parts of the exchange of Button2Click, in its order.
    bool UserAgrees();
    void CheckForUpdateOnce();
    bool FetchPage();
    void CompareWithPage();
    bool ReadRow(int line);
    void PostQualifyingScores();
    void SendScoreMail(TPostedScores& posted, const AnsiString& email,
                       const TStringList& scoreLines);
    void PlaceComponents();
    void PlaceLocalTable();
    void PlaceOnlineTable();
    void PlaceIntroduction();
    void PlaceButtons();
    static void ClearScores(TList* list);
};

extern THighScoreForm* HighScoreForm;
