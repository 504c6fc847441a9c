#include "platform/vcl/StdCtrls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/QtBridge.h"

// ---- TButton ----

TButton::TButton(TComponent* AOwner)
    : TWinControl(AOwner), Default([this] { return default_; },
                                   [this](bool v) {
                                       default_ = v;
                                       button_->setDefault(v);
                                   }),
      Cancel([this] { return cancel_; }, [this](bool v) { cancel_ = v; }),
      ModalResult([this] { return modalResult_; }, [this](TModalResult v) { modalResult_ = v; }),
      button_(new QPushButton) {
    button_->setAutoDefault(false);
    reportsClicks_ = true;
    SetWidget(button_);
    SetBounds(0, 0, 75, 25);
    QObject::connect(button_, &QPushButton::clicked, button_,
                     [this] { RunHandler([this] { Click(); }); });
}

void TButton::ShowCaption(const AnsiString& caption) {
    button_->setText(ToQString(caption));
}

void TButton::Click() {
    if (modalResult_ != mrNone)
        if (TForm* form = GetParentForm(this))
            form->ModalResult = modalResult_;
    TWinControl::Click();
}

// ---- TLabel ----

TLabel::TLabel(TComponent* AOwner)
    : TControl(AOwner), WordWrap([this] { return wordWrap_; },
                                 [this](bool v) {
                                     wordWrap_ = v;
                                     label_->setWordWrap(v);
                                     Fit();
                                 }),
      AutoSize([this] { return autoSize_; },
               [this](bool v) {
                   autoSize_ = v;
                   Fit();
               }),
      Transparent([this] { return transparent_; },
                  [this](bool v) {
                      transparent_ = v;
                      ApplyColor();
                  }),
      label_(new QLabel) {
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetWidget(label_);
    TControl::SetBounds(0, 0, 65, 13);
}

void TLabel::ShowCaption(const AnsiString& caption) {
    label_->setText(WithoutAccelerators(caption));
    Fit();
}

void TLabel::ApplyColor() {
    if (Color == clBtnFace || transparent_) {
        label_->setAutoFillBackground(false);
        return;
    }
    TControl::ApplyColor();
}

void TLabel::ApplyFont() {
    TControl::ApplyFont();
    Fit();
}

void TLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    Fit();
}

void TLabel::Fit() {
    if (!autoSize_)
        return;
    const QRect g = label_->geometry();
    const QSize size =
        wordWrap_ ? QSize(g.width(), label_->heightForWidth(g.width())) : label_->sizeHint();
    if (size != g.size())
        TControl::SetBounds(g.x(), g.y(), size.width(), std::max(size.height(), 0));
}

// ---- TEdit ----

TEdit::TEdit(TComponent* AOwner)
    : TWinControl(AOwner), Text([this] { return FromQString(edit_->text()); },
                                [this](const AnsiString& v) { edit_->setText(ToQString(v)); }),
      ReadOnly([this] { return edit_->isReadOnly(); }, [this](bool v) { edit_->setReadOnly(v); }),
      MaxLength([this] { return edit_->maxLength() == 32767 ? 0 : edit_->maxLength(); },
                [this](int v) { edit_->setMaxLength(v > 0 ? v : 32767); }),
      edit_(new QLineEdit) {
    SetWidget(edit_);
    SetBounds(0, 0, 121, 21);
    QObject::connect(edit_, &QLineEdit::textChanged, edit_, [this] {
        if (OnChange)
            RunHandler([this] { OnChange(this); });
    });
}

// ---- TMemo ----

namespace {

std::vector<AnsiString> LinesOf(const QString& text) {
    std::vector<AnsiString> lines;
    if (text.isEmpty())
        return lines;
    for (const QString& line : text.split(u'\n'))
        lines.push_back(FromQString(line));
    if (text.endsWith(u'\n'))
        lines.pop_back();
    return lines;
}

AnsiString WithCrLf(const QString& text) {
    return FromQString(QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

} // namespace

// The memo's text is the list: every change of the list rewrites it, and
// what the user types is in the list at once.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(QPlainTextEdit* memo) : memo_(memo) {}

    void Insert(int index, const AnsiString& text) override {
        std::vector<AnsiString> lines = Read();
        if (index < 0 || index > static_cast<int>(lines.size()))
            throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
        lines.insert(lines.begin() + index, text);
        Write(lines);
    }
    void Delete(int index) override {
        std::vector<AnsiString> lines = Read();
        Check(lines, index);
        lines.erase(lines.begin() + index);
        Write(lines);
    }
    void Clear() override { memo_->clear(); }

protected:
    AnsiString Get(int index) const override {
        const std::vector<AnsiString> lines = Read();
        Check(lines, index);
        return lines[index];
    }
    void Put(int index, const AnsiString& text) override {
        std::vector<AnsiString> lines = Read();
        Check(lines, index);
        lines[index] = text;
        Write(lines);
    }
    int GetCount() const override { return static_cast<int>(Read().size()); }
    AnsiString GetTextStr() const override { return WithCrLf(memo_->toPlainText()); }
    void SetTextStr(const AnsiString& text) override {
        memo_->setPlainText(ToQString(text).remove(u'\r'));
    }

private:
    std::vector<AnsiString> Read() const { return LinesOf(memo_->toPlainText()); }
    // An empty last line is kept by a line end after it, as reading drops
    // the one line end that text may end with.
    void Write(const std::vector<AnsiString>& lines) {
        QStringList text;
        for (const AnsiString& line : lines)
            text << ToQString(line);
        QString joined = text.join(u'\n');
        if (!lines.empty() && lines.back().empty())
            joined += u'\n';
        memo_->setPlainText(joined);
    }
    static void Check(const std::vector<AnsiString>& lines, int index) {
        if (index < 0 || index >= static_cast<int>(lines.size()))
            throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
    }

    QPlainTextEdit* memo_;
};

TMemo::TMemo(TComponent* AOwner)
    : TWinControl(AOwner), Lines([this] { return lines_.get(); }),
      Text([this]() -> AnsiString { return lines_->Text; },
           [this](const AnsiString& v) { lines_->Text = v; }),
      ReadOnly([this] { return memo_->isReadOnly(); }, [this](bool v) { memo_->setReadOnly(v); }),
      WordWrap([this] { return wordWrap_; },
               [this](bool v) {
                   wordWrap_ = v;
                   memo_->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
               }),
      ScrollBars([this] { return scrollBars_; },
                 [this](TScrollStyle v) {
                     scrollBars_ = v;
                     const bool across = v == ssHorizontal || v == ssBoth;
                     const bool down = v == ssVertical || v == ssBoth;
                     memo_->setHorizontalScrollBarPolicy(across ? Qt::ScrollBarAlwaysOn
                                                                : Qt::ScrollBarAlwaysOff);
                     memo_->setVerticalScrollBarPolicy(down ? Qt::ScrollBarAlwaysOn
                                                            : Qt::ScrollBarAlwaysOff);
                 }),
      BorderStyle([this] { return borderStyle_; },
                  [this](TBorderStyle v) {
                      borderStyle_ = v;
                      memo_->setFrameShape(v == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
                  }),
      memo_(new QPlainTextEdit), lines_(std::make_unique<TMemoStrings>(memo_)) {
    SetWidget(memo_);
    SetBounds(0, 0, 185, 89);
    ScrollBars = ssNone;
    QObject::connect(memo_, &QPlainTextEdit::textChanged, memo_, [this] {
        if (OnChange)
            RunHandler([this] { OnChange(this); });
    });
}

TMemo::~TMemo() = default;

// ---- TCheckBox ----

namespace {

// The font colour is the caption's: the mark in the box keeps the
// system's colour, or white text would leave it unreadable on white.
void KeepMarkColour(QWidget* box) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, QApplication::palette(box).color(QPalette::Text));
    box->setPalette(palette);
}

} // namespace

TCheckBox::TCheckBox(TComponent* AOwner)
    : TWinControl(AOwner),
      Checked([this] { return box_->isChecked(); }, [this](bool v) { box_->setChecked(v); }),
      box_(new QCheckBox) {
    reportsClicks_ = true;
    SetWidget(box_);
    SetBounds(0, 0, 97, 17);
    QObject::connect(box_, &QCheckBox::clicked, box_,
                     [this] { RunHandler([this] { TWinControl::Click(); }); });
}

void TCheckBox::ShowCaption(const AnsiString& caption) {
    box_->setText(ToQString(caption));
}

void TCheckBox::ApplyFont() {
    TWinControl::ApplyFont();
    KeepMarkColour(box_);
}

void TCheckBox::Click() {
    box_->setChecked(!box_->isChecked());
    TWinControl::Click();
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* AOwner)
    : TWinControl(AOwner),
      Checked([this] { return radio_->isChecked(); }, [this](bool v) { SetChecked(v); }),
      radio_(new QRadioButton) {
    reportsClicks_ = true;
    SetWidget(radio_);
    SetBounds(0, 0, 113, 17);
    QObject::connect(radio_, &QRadioButton::toggled, radio_, [this](bool checked) {
        if (checked && !settingInCode_)
            RunHandler([this] { TWinControl::Click(); });
    });
}

void TRadioButton::ShowCaption(const AnsiString& caption) {
    radio_->setText(ToQString(caption));
}

void TRadioButton::SetChecked(bool checked) {
    settingInCode_ = true;
    // Qt keeps one button of a group checked; the class library lets
    // code clear them all.
    radio_->setAutoExclusive(checked);
    radio_->setChecked(checked);
    radio_->setAutoExclusive(true);
    settingInCode_ = false;
}

void TRadioButton::ApplyFont() {
    TWinControl::ApplyFont();
    KeepMarkColour(radio_);
}

// A click on the checked button changes nothing and runs nothing.
void TRadioButton::Click() {
    radio_->setChecked(true);
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner), box_(new QGroupBox) {
    SetWidget(box_);
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::ShowCaption(const AnsiString& caption) {
    box_->setTitle(ToQString(caption));
}

// ---- TComboBox ----

class TComboBox::ItemStrings : public TStringList {
public:
    explicit ItemStrings(TComboBox& combo) : combo_(combo) {}

    void Insert(int index, const AnsiString& text) override {
        TStringList::Insert(index, text);
        combo_.ItemsChanged();
    }
    void Delete(int index) override {
        TStringList::Delete(index);
        combo_.ItemsChanged();
    }
    void Clear() override {
        TStringList::Clear();
        combo_.ItemsChanged();
    }

protected:
    void Put(int index, const AnsiString& text) override {
        TStringList::Put(index, text);
        combo_.ItemsChanged();
    }

private:
    TComboBox& combo_;
};

TComboBox::TComboBox(TComponent* AOwner)
    : TWinControl(AOwner), Items([this] { return items_.get(); }),
      ItemIndex(
          [this] { return combo_->currentIndex(); },
          [this](int v) { combo_->setCurrentIndex(v >= -1 && v < combo_->count() ? v : -1); }),
      Text([this] { return FromQString(combo_->currentText()); },
           [this](const AnsiString& v) {
               if (combo_->isEditable())
                   combo_->setEditText(ToQString(v));
               else
                   combo_->setCurrentIndex(combo_->findText(ToQString(v)));
           }),
      Style([this] { return style_; },
            [this](TComboBoxStyle v) {
                style_ = v;
                ApplyStyle();
            }),
      combo_(new QComboBox), items_(std::make_unique<ItemStrings>(*this)) {
    SetWidget(combo_);
    SetBounds(0, 0, 145, 21);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    ApplyStyle();
    QObject::connect(combo_, &QComboBox::activated, combo_, [this] {
        if (OnChange)
            RunHandler([this] { OnChange(this); });
    });
}

TComboBox::~TComboBox() = default;

void TComboBox::ApplyStyle() {
    const QString text = combo_->currentText();
    combo_->setEditable(style_ != csDropDownList);
    if (combo_->isEditable()) {
        combo_->setEditText(text);
        QObject::connect(combo_->lineEdit(), &QLineEdit::textEdited, combo_, [this] {
            if (OnChange)
                RunHandler([this] { OnChange(this); });
        });
    }
}

// The list keeps its choice and, when typed, its text, as the class
// library's combo box does when its items change.
void TComboBox::ItemsChanged() {
    const int index = combo_->currentIndex();
    const QString text = combo_->currentText();
    combo_->clear();
    for (int i = 0; i < items_->Count; ++i)
        combo_->addItem(ToQString(items_->Strings[i]));
    combo_->setCurrentIndex(index < combo_->count() ? index : -1);
    if (combo_->isEditable())
        combo_->setEditText(text);
}
