#pragma once
// The fixed-decimal numeric edit: its text is always a number with a set
// count of decimals (8.750, 12), typed like a calculator's display. The text
// is the value. Typing and deleting rules live in TFnpNumericEditModel; the
// control feeds it the edit's text and selection and takes the result back.
// A range (MinValue..MaxValue) is only reported, through two events.

#include <string>

#include "FnpNumericEditModel.h"
#include "StdCtrls.h"

class TFnpNumericEdit : public TCustomEdit {
public:
    explicit TFnpNumericEdit(TComponent* AOwner);

    int GetDecimals() const { return FModel.GetDecimals(); }
    // Kept within 0..9; the text is reformatted with the new format.
    void SetDecimals(int Value);
    double GetMaxValue() const { return FModel.MaxValue; }
    void SetMaxValue(double Value) { FModel.MaxValue = Value; }
    double GetMinValue() const { return FModel.MinValue; }
    // Below 0 lets "-" toggle the sign.
    void SetMinValue(double Value) { FModel.MinValue = Value; }
    std::string GetVersion() const { return "1.00.08"; }
    void SetVersion(const std::string&) {}
    const std::string& GetFormat() const { return FModel.GetFormat(); }

    // The text's number; EConvertError when the text is no number.
    double GetValue() const { return static_cast<double>(GetAsFloat()); }
    // Formatted; the text is set only when it differs.
    void SetValue(double Value);
    long double GetAsFloat() const;
    // Truncated toward zero; EConvertError when no number or beyond 32 bits.
    int GetAsInteger() const;
    void SetAsFloat(double Value);
    void SetAsInteger(int Value);

    TNotifyEvent OnInvalidEntry;
    TNotifyEvent OnValidChange;

protected:
    void Change() override;
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void WMCut(TMessage& Message) override;
    void WMPaste(TMessage& Message) override;

private:
    // The edit's text and selection into the model, and back.
    void LoadModel();
    enum class TChangeNotify { Fire, Suspend };
    void ApplyModel(TChangeNotify Notify);
    void SetTextSuspended(const std::string& Value);

    TFnpNumericEditModel FModel;
    bool FChangeSuspended = false;
};

// Registers TMasks, TNumEdit and TFnpNumericEdit with the published-property
// tables (defined in NumCtrl.cpp).
void RegisterNumericEditClasses();
// TFnpNumericEdit alone.
void RegisterFnpNumericEditClass();
