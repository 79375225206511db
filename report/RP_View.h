#pragma once
// The concrete views of report pages: the memo (text with expressions,
// wrapped, measured, drawn), and the views built on the same base.

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "RP_Class.h"

// Memo flags in the view's flag word (bit 0 is the base's Stretched flag).
constexpr uint16_t flWordWrap = 0x0002;
constexpr uint16_t flWordBreak = 0x0004;
constexpr uint16_t flAutoWidth = 0x0008;
constexpr uint16_t flTextOnly = 0x0010;
constexpr uint16_t flSuppress = 0x0020;
constexpr uint16_t flUnderlines = 0x0080;
constexpr uint16_t flRTLReading = 0x0100;

// Alignment word of a memo.
constexpr int32_t rptaLeft = 0, rptaRight = 1, rptaCenter = 2, rptaJustify = 3, rptaHorizontalMask = 3;
constexpr int32_t rptaVertical = 4;  // turned by 90 degrees, reading upwards
constexpr int32_t rptaMiddle = 8, rptaBottom = 16, rptaVerticalMask = 24;

// Ends the last line of every source paragraph after wrapping.
constexpr char rpParagraphMark = '\x01';

// How the next output of a memo goes: as usual, already measured by
// CalcHeight, or the continuation of a split memo.
enum class TrpDrawMode { Normal = 0, Measured = 1, Continued = 2 };

struct TrpHighlight {
    uint16_t FontStyle = 2;  // bold (script bits)
    TColor FontColor = clBlack;
    TColor FillColor = clWhite;
};

class TrpMemoView : public TrpStretcheable {
public:
    TrpMemoView();
    ~TrpMemoView() override;

    std::unique_ptr<TFont> Font;
    int32_t Alignment = 0;
    TrpHighlight Highlight;
    std::string HighlightStr;  // postfix condition; empty: no highlighting
    int32_t LineSpacing = 2;
    int32_t CharSpacing = 0;

    TrpDrawMode DrawMode = TrpDrawMode::Normal;
    // Lines of a split memo that did not fit, kept for the next page.
    std::vector<std::string> PendingLines;

    void Draw(TCanvas* canvas) override;
    void WritePreparedObject(TStream* stream) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void AfterPreparedLoad() override;
    int CalcHeight() override;
    int MinHeight() override;
    int RemainHeight() override;
    TFont* ViewFont() override { return Font.get(); }
    void SetPropertyValue(const std::string& propName, const Variant& value) override;
    Variant GetPropertyValue(const std::string& propName) override;
    void DeclareProperties() override;

    // The evaluated lines broken to the memo's width at scale 1 (each
    // paragraph's last line ending in the paragraph mark), and their height
    // with the gaps. Works on the engine's measuring canvas.
    std::vector<std::string> WrapLines(int& textHeight);
    // Pixel height of a line of the font at 100 %, and the step from line to line.
    int FontPixelHeight() const;
    int LineStep() const;
    // The width the text needs (AutoWidth).
    int CalcWidth();

    // Replaces SMemo by the template text with its expressions expanded.
    void ExpandVariables();

private:
    void WrapLine(TCanvas* canvas, const std::string& line, int maxWidth, std::vector<std::string>& out);
    void DrawLines(TCanvas* canvas, const std::vector<std::string>& lines, int textHeight);
    void DrawUnderlines(TCanvas* canvas);
    void ApplyHighlight();
    void RestoreHighlight();
    void SelectMeasuringFont(TCanvas* canvas);
    bool TextSuppressed() const;

    bool FStopAtBottom = false;
    std::string FLastPrinted;
    bool FHasLastPrinted = false;
    TFont FSavedFont;
    TColor FSavedFill = rpNoFill;
};

// Band view flags (the view's flag word; bit 0 is Stretched).
constexpr uint16_t flBandNewPageAfter = 0x0002;
constexpr uint16_t flBandPrintIfSubsetEmpty = 0x0004;
constexpr uint16_t flBandBreaked = 0x0008;
constexpr uint16_t flBandOnFirstPage = 0x0010;
constexpr uint16_t flBandOnLastPage = 0x0020;
constexpr uint16_t flBandRepeatHeader = 0x0040;
constexpr uint16_t flBandPrintChildIfInvisible = 0x0080;

class TrpBand;

// A strip of a template page that the page engine prints; its type is held
// in the frame-sides word, its data source (or group condition) in the
// format text.
class TrpBandView : public TrpView {
public:
    TrpBandView();

    std::string ChildBand;
    std::string Master;
    int32_t Columns = 1, ColumnWidth = 200, ColumnGap = 20, NewColumnAfter = 1;

    uint8_t BandType() const { return uint8_t(FrameTyp); }
    void SetBandType(uint8_t type) { FrameTyp = type; }
    void Draw(TCanvas* canvas) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    uint8_t WrittenClassVersion() const override { return 1; }
    bool HasFrame() const override { return false; }
    void SetPropertyValue(const std::string& propName, const Variant& value) override;
    Variant GetPropertyValue(const std::string& propName) override;
    Variant CallMethod(const std::string& methodName, const Variant& p1, const Variant& p2, const Variant& p3) override;
    void DeclareProperties() override;
};

// Picture flags (bit 0 is Stretched).
constexpr uint16_t flPictureCenter = 0x0002;
constexpr uint16_t flPictureKeepAspect = 0x0004;

// Kinds of picture data in a linked data field.
enum : uint8_t { rpbtBMP = 0, rpbtJPG = 1, rpbtICO = 2, rpbtWMF = 3 };

// Pictures larger than this are refused: a damaged or hostile file must
// not make the reader allocate without bound.
constexpr int rpMaxPictureSide = 16384;
constexpr int64_t rpMaxPicturePixels = 64LL * 1024 * 1024;

// Raised for picture data that is damaged or too large.
class ErpPictureError : public EReadError {
public:
    using EReadError::EReadError;
};

// A JPEG picture: decoded and encoded through libjpeg; the file read is kept
// and written back unchanged.
class TrpJPEGImage : public TBitmap {
public:
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void Assign(TPersistent* source) override;

private:
    std::string FData;
};

// An image: bitmap, JPEG or icon.
class TrpPictureView : public TrpView {
public:
    TrpPictureView();
    ~TrpPictureView() override;

    std::unique_ptr<TPicture> Picture;
    uint8_t BlobType = rpbtBMP;

    void Draw(TCanvas* canvas) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void SetPropertyValue(const std::string& propName, const Variant& value) override;
    Variant GetPropertyValue(const std::string& propName) override;
    Variant CallMethod(const std::string& methodName, const Variant& p1, const Variant& p2, const Variant& p3) override;
    void DeclareProperties() override;
    // The target rectangle of the picture inside the draw rectangle.
    TRect PictureRect() const;
    // The field's data read as a picture of the kind BlobType names; a null field empties it.
    void GetBlob(TObject* source, const std::string& field) override;
};

// A horizontal or vertical line: one frame side of its rectangle.
class TrpLineView : public TrpStretcheable {
public:
    TrpLineView();
    void Draw(TCanvas* canvas) override;
    TRect GetClipRegion(bool outer) override;
    int CalcHeight() override { return dy; }
    int MinHeight() override { return 1; }
    int RemainHeight() override { return 0; }
    void DeclareProperties() override;
};

// Reserves a rectangle of a band where another template page prints.
class TrpSubReportView : public TrpView {
public:
    TrpSubReportView();
    int32_t SubPage = 0;  // index of the template page printed inside
    void Draw(TCanvas* canvas) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void SetPropertyValue(const std::string& propName, const Variant& value) override;
    Variant GetPropertyValue(const std::string& propName) override;
};

// Flags a view exposes as Boolean properties by upper-case name.
struct TrpFlagName {
    const char* Name;
    uint16_t Bit;
};
// Sets the flag named by the property; false when the name is not in the table.
bool rpSetNamedFlag(std::span<const TrpFlagName> table, const std::string& upperName, const Variant& value,
                    uint16_t& flags);
// The flag as a Boolean; false when the name is not in the table.
bool rpGetNamedFlag(std::span<const TrpFlagName> table, const std::string& upperName, uint16_t flags, Variant& value);

// Break points for hyphenation: the character counts after which a word may
// be broken (empty for words shorter than 4 characters).
std::vector<int> rpHyphenationPoints(const std::string& word);

// Registers the view classes of this unit with the object factory.
void rpRegisterStandardViews();
