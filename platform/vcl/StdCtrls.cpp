#include "platform/vcl/StdCtrls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <functional>

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

AnsiString WithCrLf(const QString& text) {
    return FromQString(QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

} // namespace

// The memo's text is the list, a line for each block of the memo's
// document, so that counting, reading, adding, changing or removing a line
// costs that line and not the whole text. An empty last block is no line
// but the line end after the last one (typed text may end so); an empty
// last line is therefore kept by an empty block after it. What the user
// types is in the list at once.
//
// Lines added at the end wait in a list of their own and reach the
// document together at the next pass of the event loop (or before anything
// needs the whole text): the memo lays out every line that reaches it
// alone, which costs far more than the line itself.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(QPlainTextEdit* memo) : memo_(memo) {}

    void Insert(int index, const AnsiString& text) override {
        const int lines = DocumentLines();
        if (index < 0 || index > lines + static_cast<int>(pending_.size()))
            throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
        if (index >= lines) {
            qsizetype at = index - lines;
            for (const QString& line : LinesOf(ToQString(text))) {
                pendingLength_ += line.size();
                pending_.insert(at++, line);
            }
            PostFlush();
            return;
        }
        Edit([&](QTextCursor& cursor) {
            cursor.setPosition(Block(index).position());
            cursor.insertText(ToQString(text) + u'\n');
        });
    }
    void Delete(int index) override {
        Check(index);
        const int lines = DocumentLines();
        if (index >= lines) {
            pendingLength_ -= pending_[index - lines].size();
            pending_.removeAt(index - lines);
            return;
        }
        if (!Block(index).next().isValid())
            Flush();
        const QTextBlock block = Block(index);
        const QTextBlock next = block.next();
        const QTextBlock previous = block.previous();
        Edit([&](QTextCursor& cursor) {
            if (next.isValid()) {
                cursor.setPosition(block.position());
                cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
            } else {
                // The last line goes with the line end before it, unless
                // that ends an empty line, which it then keeps.
                const bool keepLineEnd = !previous.isValid() || IsEmpty(previous);
                cursor.setPosition(block.position() - (keepLineEnd ? 0 : 1));
                cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            }
            cursor.removeSelectedText();
        });
    }
    void Clear() override {
        DropPending();
        memo_->clear();
    }
    // The length of the text as GetTextStr gives it, in characters.
    int TextLength() const {
        const QTextDocument& document = Document();
        int length = document.characterCount() - 1 + document.blockCount() - 1;
        if (!pending_.isEmpty()) {
            const int lineEnds = static_cast<int>(pending_.size()) - 1 +
                                 (IsEmpty(document.lastBlock()) ? 0 : 1) +
                                 (pending_.last().isEmpty() ? 1 : 0);
            length += static_cast<int>(pendingLength_) + 2 * lineEnds;
        }
        return length;
    }

protected:
    AnsiString Get(int index) const override {
        Check(index);
        const int lines = DocumentLines();
        if (index >= lines)
            return FromQString(pending_[index - lines]);
        return FromQString(Block(index).text());
    }
    void Put(int index, const AnsiString& text) override {
        Check(index);
        const int lines = DocumentLines();
        if (index >= lines) {
            Delete(index);
            Insert(index, text);
            return;
        }
        const QTextBlock block = Block(index);
        Edit([&](QTextCursor& cursor) {
            cursor.setPosition(block.position());
            cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            cursor.insertText(ToQString(text));
            if (text.empty() && !block.next().isValid())
                cursor.insertText(QStringLiteral("\n"));
        });
    }
    int GetCount() const override { return DocumentLines() + static_cast<int>(pending_.size()); }
    AnsiString GetTextStr() const override {
        Flush();
        return WithCrLf(memo_->toPlainText());
    }
    void SetTextStr(const AnsiString& text) override {
        DropPending();
        memo_->setPlainText(ToQString(text).remove(u'\r'));
    }

private:
    QTextDocument& Document() const { return *memo_->document(); }
    QTextBlock Block(int index) const { return Document().findBlockByNumber(index); }
    static bool IsEmpty(const QTextBlock& block) { return block.length() <= 1; }
    // A text cut where the document starts a new block when the text
    // reaches it: at every line end, and at its own marks of a paragraph's
    // and a frame's start and end.
    static QStringList LinesOf(const QString& text) {
        QStringList lines{QString()};
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                continue;
            if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == u'\xfdd0' ||
                c == u'\xfdd1')
                lines.append(QString());
            else
                lines.last() += c;
        }
        return lines;
    }
    int DocumentLines() const {
        const QTextDocument& document = Document();
        return document.blockCount() - (IsEmpty(document.lastBlock()) ? 1 : 0);
    }
    void Check(int index) const {
        if (index < 0 || index >= GetCount())
            throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
    }
    void PostFlush() {
        if (flushPosted_)
            return;
        flushPosted_ = true;
        QMetaObject::invokeMethod(
            &context_,
            [this] {
                flushPosted_ = false;
                Flush();
            },
            Qt::QueuedConnection);
    }
    void DropPending() {
        pending_.clear();
        pendingLength_ = 0;
    }
    // The waiting lines go to the end of the document in one insertion.
    void Flush() const {
        if (pending_.isEmpty())
            return;
        QString text = pending_.join(u'\n');
        if (pending_.last().isEmpty())
            text += u'\n';
        if (!IsEmpty(Document().lastBlock()))
            text.prepend(u'\n');
        pending_.clear();
        pendingLength_ = 0;
        Edit([&](QTextCursor& cursor) {
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(text);
        });
    }
    // A change in code is one step that the user cannot undo, as setting
    // the whole text is: the undo history would keep every line of a log
    // that drops its oldest lines.
    void Edit(const std::function<void(QTextCursor&)>& change) const {
        QTextDocument& document = Document();
        document.setUndoRedoEnabled(false);
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        change(cursor);
        cursor.endEditBlock();
        document.setUndoRedoEnabled(true);
    }

    QPlainTextEdit* memo_;
    // Lines added at the end that have not reached the document yet.
    mutable QStringList pending_;
    mutable qsizetype pendingLength_ = 0;
    bool flushPosted_ = false;
    // Ends the posted flush with the list.
    QObject context_;
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

int TMemo::GetTextLen() const {
    return lines_->TextLength();
}

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
