#include "ui/TPostedScores.h"

#include "myunits/TLogFile.h"
#include "myunits/Utils.h"

TPostedScores::TPostedScores(TLogFile& log) : log_(log) {
    places_.emplace_back(GetWriteDir(WrittenFile::Kept) + "posted.txt");
    const AnsiString fallback = GetTempDir() + "posted.txt";
    if (fallback != places_.front().fileName)
        places_.emplace_back(fallback);
    for (Place& place : places_)
        Read(place);
}

// Only a plain file is read: anything else in its place (a folder, a pipe)
// counts as none, and saving there fails.
void TPostedScores::Read(Place& place) {
    if (!FileExists(place.fileName))
        return;
    try {
        TFileStream stream(place.fileName, fmOpenRead | fmShareDenyWrite);
        const int64_t size = stream.Size;
        if (size > MaxBytes)
            throw EReadError("\"" + place.fileName + "\" holds more than " + IntToStr(MaxBytes) +
                             " bytes");
        place.text.resize(static_cast<size_t>(size));
        stream.ReadBuffer(place.text.data(), static_cast<int>(size));
    } catch (const EStreamError& error) {
        place.readable = false;
        place.text.clear();
        log_.WriteLine(AnsiString("Posted scores not read: ") + error.what());
    }
}

AnsiString TPostedScores::Text() const {
    AnsiString text;
    for (const Place& place : places_)
        text += place.text;
    return text;
}

bool TPostedScores::Record(const AnsiString& lines) {
    for (const Place& place : places_) {
        if (place.readable && Save(place, lines))
            return true;
    }
    log_.WriteLine("Posted scores not saved: no place took \"posted.txt\"");
    return false;
}

bool TPostedScores::Save(const Place& place, const AnsiString& lines) {
    TStringList list;
    list.Text = place.text;
    list.Add(lines);
    try {
        list.SaveToFile(place.fileName);
    } catch (const EStreamError& error) {
        log_.WriteLine(AnsiString("Posted scores not saved: ") + error.what());
        return false;
    }
    return true;
}
