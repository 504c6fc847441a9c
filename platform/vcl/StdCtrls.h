#pragma once
// The standard controls: buttons, labels, edits, memos, check boxes,
// radio buttons, group boxes and combo boxes.
//
// Setting Checked or ItemIndex in code changes the state without running
// OnClick; a click of the user (or Click()) runs it. Setting a Text runs
// OnChange, as typing does.

#include <memory>

#include "platform/vcl/Classes.h"
#include "platform/vcl/Controls.h"

class QLabel;
class QPushButton;
class QLineEdit;
class QPlainTextEdit;
class QCheckBox;
class QRadioButton;
class QGroupBox;
class QComboBox;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    // Enter presses the default button, Escape the cancel button.
    Property<bool> Default;
    Property<bool> Cancel;
    // Clicking sets the form's ModalResult to this (before OnClick).
    Property<TModalResult> ModalResult;

    void Click() override;

protected:
    void ShowCaption(const AnsiString& caption) override;

private:
    QPushButton* button_;
    bool default_ = false;
    bool cancel_ = false;
    TModalResult modalResult_ = mrNone;
};

// A caption; "&" marks an accelerator as on buttons ("&&" shows one "&").
// With AutoSize (the default) the label takes the size of its text; with
// WordWrap it keeps its width and wraps.
class TLabel : public TControl {
public:
    explicit TLabel(TComponent* AOwner);

    Property<bool> WordWrap;
    Property<bool> AutoSize;
    Property<bool> Transparent;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void ShowCaption(const AnsiString& caption) override;
    void ApplyColor() override;
    void ApplyFont() override;

private:
    void Fit();
    QLabel* label_;
    bool wordWrap_ = false;
    bool autoSize_ = true;
    bool transparent_ = false;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* AOwner);

    Property<AnsiString> Text;
    Property<bool> ReadOnly;
    Property<int> MaxLength;
    TNotifyEvent OnChange;

private:
    QLineEdit* edit_;
};

// The lines of a memo: a string list that is the memo's text. Reading,
// adding, changing or removing a line costs that line, not the text.
class TMemoStrings;

class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;

    ReadOnlyProperty<TStrings*> Lines;
    // The whole text, lines joined by CR LF.
    Property<AnsiString> Text;
    // The length of Text in characters (a line end counts two), without
    // building the text.
    int GetTextLen() const;
    Property<bool> ReadOnly;
    Property<bool> WordWrap;
    Property<TScrollStyle> ScrollBars;
    Property<TBorderStyle> BorderStyle;
    // The text in the window changed; lines added at the end reach the
    // window at the next pass of the event loop.
    TNotifyEvent OnChange;

private:
    QPlainTextEdit* memo_;
    std::unique_ptr<TMemoStrings> lines_;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssNone;
    TBorderStyle borderStyle_ = bsSingle;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    Property<bool> Checked;

    void Click() override;

protected:
    void ApplyFont() override;
    void ShowCaption(const AnsiString& caption) override;

private:
    QCheckBox* box_;
};

// Radio buttons with the same parent exclude one another.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    Property<bool> Checked;

    void Click() override;

protected:
    void ApplyFont() override;
    void ShowCaption(const AnsiString& caption) override;

private:
    void SetChecked(bool checked);
    QRadioButton* radio_;
    bool settingInCode_ = false;
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);

protected:
    void ShowCaption(const AnsiString& caption) override;

private:
    QGroupBox* box_;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// Items are the choices; Text is the edit text (with csDropDown it may be
// a text that is no item, such as "Please choose").
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;

    ReadOnlyProperty<TStrings*> Items;
    Property<int> ItemIndex;
    Property<AnsiString> Text;
    Property<TComboBoxStyle> Style;
    // The user chose an item or typed.
    TNotifyEvent OnChange;

private:
    class ItemStrings;
    void ItemsChanged();
    void ApplyStyle();
    QComboBox* combo_;
    std::unique_ptr<ItemStrings> items_;
    TComboBoxStyle style_ = csDropDown;
};
