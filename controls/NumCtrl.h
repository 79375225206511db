#pragma once
// The numeric edit: an edit holding an extended number, shown formatted
// (plain number through three masks, currency or percentage) and right-aligned
// while it does not have the focus, edited as a bare left-aligned number while
// it has. The number rules live in TNumEditModel (NumCtrlModel.h).
//
//   TCustomStrEdit  paints its own aligned text when not focused
//   TCustomNumEdit  number, range, formatting, key filter, enter/exit protocol
//   TNumEdit        publishes the properties
//   TMasks          the three masks of the plain-number type

#include <functional>
#include <memory>
#include <string>

#include "NumCtrlModel.h"
#include "StdCtrls.h"

class TMasks : public TPersistent {
public:
    TMasks() = default;

    std::string GetPositiveMask() const { return FMasks.PositiveMask; }
    void SetPositiveMask(const std::string& Value) { SetMask(FMasks.PositiveMask, Value); }
    std::string GetNegativeMask() const { return FMasks.NegativeMask; }
    void SetNegativeMask(const std::string& Value) { SetMask(FMasks.NegativeMask, Value); }
    std::string GetZeroMask() const { return FMasks.ZeroMask; }
    void SetZeroMask(const std::string& Value) { SetMask(FMasks.ZeroMask, Value); }
    const TNumMasks& Data() const { return FMasks; }

    // Set by the owning edit: a mask changed.
    std::function<void()> OnChange;

    void Assign(TPersistent* Source) override;

private:
    void SetMask(std::string& Field, const std::string& Value);
    TNumMasks FMasks;
};

class TCustomStrEdit : public TCustomEdit {
public:
    explicit TCustomStrEdit(TComponent* AOwner);

    // The alignment of the text shown while the edit does not have the focus;
    // the edit shows it left-aligned while it has.
    void SetAlignment(TAlignment Value) override;

protected:
    void DoEnter() override;
    void DoExit() override;
    void PaintWindow(QPainter& Painter) override;
    int TextMargin();

    TAlignment FSavedAlignment = taLeftJustify;
    int FTextMargin = -1;  // measured on first use
};

class TCustomNumEdit : public TCustomStrEdit {
public:
    explicit TCustomNumEdit(TComponent* AOwner);
    ~TCustomNumEdit() override;

    uint16_t GetDecimals() const { return FModel.Decimals; }
    void SetDecimals(uint16_t Value);
    uint16_t GetDigits() const { return FModel.Digits; }
    void SetDigits(uint16_t Value);
    TMasks* GetMasks() const { return FMasks.get(); }
    // Keeps the existing object: mask values go through its own properties.
    void SetMasks(TMasks* Value);
    long double GetMax() const { return FModel.Max; }
    void SetMax(long double Value);
    long double GetMin() const { return FModel.Min; }
    void SetMin(long double Value);
    TNumericType GetNumericType() const { return FModel.NumericType; }
    void SetNumericType(TNumericType Value);
    bool GetUseRounding() const { return FModel.UseRounding; }
    void SetUseRounding(bool Value);
    // For ntPercentage a fraction (0.075 shows as 7.500%).
    long double GetValue() const { return FModel.Value; }
    // Stored only when it differs and passes the range check; then reformatted.
    void SetValue(long double Value);
    bool GetValidate() const { return FModel.Validate; }
    void SetValidate(bool Value);

    const TNumEditModel& Model() const { return FModel; }

    virtual void FormatText();
    virtual void StripForEdit();
    virtual double AsRoundedFloat() const { return FModel.AsRoundedFloat(); }
    virtual int16_t AsSmallIntRounded() const { return FModel.AsSmallIntRounded(); }
    virtual int32_t AsIntegerRounded() const { return FModel.AsIntegerRounded(); }
    virtual float AsSingleChecked() const { return FModel.AsSingleChecked(); }
    virtual std::string GetUnformattedText() const { return FModel.GetUnformattedText(GetText()); }
    // True when Validate is off or Min <= v <= Max; otherwise tells the user and is false.
    virtual bool CheckRange(long double v);

    void Dispatch(TMessage& Message) override;

protected:
    void DoEnter() override;
    void DoExit() override;
    void KeyPress(char32_t& Key) override;
    void MasksChanged();
    // MaxLength while editing, without touching the caret.
    void SetEditMaxLength(int Value);
    // Takes the focus back once the focus change under way has ended.
    void PostRefocus();

    TNumEditModel FModel;
    std::unique_ptr<TMasks> FMasks;
    int FSavedMaxLength = 0;
};

class TNumEdit : public TCustomNumEdit {
public:
    explicit TNumEdit(TComponent* AOwner) : TCustomNumEdit(AOwner) {}
};

// Registers TMasks, TNumEdit and TFnpNumericEdit with the published-property
// tables (the standard controls first: TCustomEdit is the parent).
void RegisterNumericEditClasses();
// TMasks and TNumEdit alone.
void RegisterNumCtrlClasses();
