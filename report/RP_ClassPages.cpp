// Template pages, the page list with the template stream, and the report
// component's template half.

#include "RP_Class.h"
#include "RP_Dict.h"
#include "RP_View.h"
#include "SysUtils.h"

int rpMmToUnits(int tenthsOfMm) { return int(int64_t(tenthsOfMm) * 18 / 50); }

// ------------------------------------------------------------------ TrpPage

TrpPage::TrpPage(TrpReport* report, int size, int width, int height, int orientation, int bin)
    : Report(report), Script(std::make_unique<TStringList>()) {
    ApplyPaperSettings(size, width, height, orientation, bin);
}

TrpPage::~TrpPage() {
    ClearObjects();
    if (Report && Report->Context().ActivePage == this) Report->Context().ActivePage = nullptr;
}

TrpView* TrpPage::FindObject(const std::string& name) const {
    for (TrpView* v : Objects)
        if (SameText(v->Name, name)) return v;
    return nullptr;
}

void TrpPage::ClearObjects() { Objects.Clear(); }

void TrpPage::DeleteObject(int index) { Objects.Delete(index); }

void TrpPage::AddObject(TrpView* view) {
    if (!view) return;
    std::unique_ptr<TrpView> owned(view);
    view->ParentPage = this;
    Objects.Add(std::move(owned));
}

void TrpPage::ApplyPaperSettings(int size, int width, int height, int orientation, int bin) {
    if (Report)
        Report->Context().Printer().ApplyPaper(size, width, height, orientation, bin, PrnInfo);
    else
        TrpPrinterLink().ApplyPaper(size, width, height, orientation, bin, PrnInfo);
    Size = size;
    Width = width;
    Height = height;
    Orientation = uint8_t(orientation);
    Bin = bin;
}

int TrpPage::LeftEdge() const {
    if (UseMargins) return LeftMargin != 0 ? LeftMargin : PrnInfo.Ofx;
    return 0;
}

int TrpPage::TopEdge() const {
    if (UseMargins) return TopMargin != 0 ? TopMargin : PrnInfo.Ofy;
    return 0;
}

int TrpPage::RightEdge() const {
    if (UseMargins) return RightMargin != 0 ? PrnInfo.Pgw - RightMargin : PrnInfo.Ofx + PrnInfo.Pw;
    return PrnInfo.Pgw;
}

int TrpPage::BottomEdge() const {
    if (UseMargins) return BottomMargin != 0 ? PrnInfo.Pgh - BottomMargin : PrnInfo.Ofy + PrnInfo.Ph;
    return PrnInfo.Pgh;
}

void TrpPage::LoadFromStream(TStream* stream) {
    const int TemplateVersion = Report ? Report->Context().TemplateVersion : rpCurrentTemplateVersion;
    int32_t first = ReadIntegerFromStream(stream);
    bool hasScript = first == -1;
    int32_t size = hasScript ? ReadIntegerFromStream(stream) : first;
    int32_t width = ReadIntegerFromStream(stream);
    int32_t height = ReadIntegerFromStream(stream);
    LeftMargin = ReadIntegerFromStream(stream);
    TopMargin = ReadIntegerFromStream(stream);
    RightMargin = ReadIntegerFromStream(stream);
    BottomMargin = ReadIntegerFromStream(stream);
    uint8_t orientation = ReadByteFromStream(stream);
    if (TemplateVersion < 23) {
        rpCheckAvailable(stream, 6, "page record");
        stream->Seek(6, soCurrent);
    }
    int32_t bin = TemplateVersion > 23 ? ReadIntegerFromStream(stream) : -1;
    PrintToPrevPage = ReadWordFromStream(stream);
    UseMargins = ReadWordFromStream(stream);
    Columns = ReadIntegerFromStream(stream);
    ColumnGap = ReadIntegerFromStream(stream);
    if (TemplateVersion >= 24) {
        uint8_t type = ReadByteFromStream(stream);
        PageType = type == ptDialog ? ptDialog : ptReport;
        Name = ReadStringFromStream(stream);
        uint8_t border = ReadByteFromStream(stream);
        BorderStyle = border == 0 ? 3 : border == 1 ? 2 : border;
        Caption = ReadStringFromStream(stream);
        Color = ReadIntegerFromStream(stream);
        FormLeft = ReadIntegerFromStream(stream);
        FormTop = ReadIntegerFromStream(stream);
        FormWidth = ReadIntegerFromStream(stream);
        FormHeight = ReadIntegerFromStream(stream);
        Position = ReadByteFromStream(stream) != 0 ? 4 : 0;
        if (hasScript) ReadMemoFromStream(stream, Script.get());
    } else {
        // Older pages keep the dialog defaults and get a free "PageN" name.
        Name = "Page1";
        if (Report)
            Name = Report->Context().FreeName("Page", [this](const std::string& candidate) {
                for (int p = 0; p < Report->Pages->Count(); ++p) {
                    TrpPage* other = Report->Pages->Pages(p);
                    if (other != this && SameText(other->Name, candidate)) return true;
                }
                return false;
            });
    }
    ApplyPaperSettings(size, width, height, orientation, bin);
}

void TrpPage::SaveToStream(TStream* stream) {
    WriteIntegerToStream(stream, -1);
    WriteIntegerToStream(stream, Size);
    WriteIntegerToStream(stream, Width);
    WriteIntegerToStream(stream, Height);
    WriteIntegerToStream(stream, LeftMargin);
    WriteIntegerToStream(stream, TopMargin);
    WriteIntegerToStream(stream, RightMargin);
    WriteIntegerToStream(stream, BottomMargin);
    WriteByteToStream(stream, Orientation);
    WriteIntegerToStream(stream, Bin);
    WriteWordToStream(stream, PrintToPrevPage);
    WriteWordToStream(stream, UseMargins);
    WriteIntegerToStream(stream, Columns);
    WriteIntegerToStream(stream, ColumnGap);
    WriteByteToStream(stream, PageType);
    SaveStringToStream(Name, stream);
    WriteByteToStream(stream, BorderStyle);
    SaveStringToStream(Caption, stream);
    WriteIntegerToStream(stream, Color);
    WriteIntegerToStream(stream, FormLeft);
    WriteIntegerToStream(stream, FormTop);
    WriteIntegerToStream(stream, FormWidth);
    WriteIntegerToStream(stream, FormHeight);
    WriteByteToStream(stream, Position);
    WriteMemoToStream(stream, Script.get());
}

void TrpPage::SetPropertyValue(const std::string& propName, const Variant& value) {
    std::string p = UpperCase(propName);
    if (p == "VISIBLE")
        Visible = !value.IsNull() && !value.IsEmpty() && value.AsBoolean();
    else if (p == "NAME")
        Name = VarToStr(value);
    else if (p == "COLUMNS")
        Columns = value.IsNull() || value.IsEmpty() ? 0 : value.AsInteger();
    else if (p == "COLUMNGAP")
        ColumnGap = value.IsNull() || value.IsEmpty() ? 0 : value.AsInteger();
    else if (p == "CAPTION")
        Caption = VarToStr(value);
}

Variant TrpPage::GetPropertyValue(const std::string& propName) {
    std::string p = UpperCase(propName);
    if (p == "VISIBLE") return Visible;
    if (p == "NAME") return Name;
    if (p == "COLUMNS") return Columns;
    if (p == "COLUMNGAP") return ColumnGap;
    if (p == "CAPTION") return Caption;
    return Null();
}

void TrpPage::DeclareProperties() {
    PropList.clear();
    AddProperty("Name", rpdtName);
    AddProperty("Visible", rpdtBoolean);
    AddProperty("Columns", rpdtNumber);
    AddProperty("ColumnGap", rpdtNumber);
    AddProperty("Caption", rpdtNumber);
}

// ----------------------------------------------------------------- TrpPages

TrpPages::TrpPages(TrpReport* parent) : FParent(parent) {}

TrpPages::~TrpPages() { Clear(); }

TrpPage* TrpPages::Pages(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return FPages[size_t(index)];
}

TrpPage* TrpPages::Add() {
    int size = 9, width = 2100, height = 2970;
    FParent->Context().Printer().DefaultPaper(size, width, height);
    TrpPage* page = FPages.Add(std::make_unique<TrpPage>(FParent, size, width, height, 0, 0xFFFF));
    // A new page is named after the first free page number.
    for (int i = 1; i <= 10000; ++i) {
        std::string candidate = "Page" + std::to_string(i);
        bool taken = false;
        for (TrpPage* p : FPages) taken = taken || (p != page && SameText(p->Name, candidate));
        if (!taken) {
            page->Name = candidate;
            break;
        }
    }
    return page;
}

void TrpPages::Delete(int index) { FPages.Delete(index); }

void TrpPages::Clear() { FPages.Clear(); }

void TrpPages::ReadObjectRecord(TStream* stream, uint8_t type) {
    TrpContext& context = FParent->Context();
    const int TemplateVersion = context.TemplateVersion;
    int64_t recordStart = stream->GetPosition() - 1;
    int64_t next = -1;
    bool framedMemo = false;
    TrpPage* page = nullptr;
    TrpView* view = nullptr;
    auto checkNext = [&] {
        // The next record starts after this one and inside the stream.
        if (next <= recordStart || next > stream->GetSize())
            throw ErpTemplateError("Object record at " + std::to_string(recordStart) + " points to " +
                                   std::to_string(next));
    };
    // A record that fails is skipped: its half-read object is not kept.
    auto dropView = [&] {
        if (!view || !page) return;
        for (size_t i = 0; i < page->Objects.size(); ++i)
            if (page->Objects[i] == view) {
                page->DeleteObject(int(i));
                break;
            }
        view = nullptr;
    };
    try {
        std::string className;
        if (type == gtAddIn) {
            className = rpReadTemplateString(stream, TemplateVersion);
            std::string upper = UpperCase(className);
            if (upper == "TRPBDELOOKUPCONTROL" || upper == "TRPIBXLOOKUPCONTROL") className = "TrpDBLookupControl";
            if (upper == "TRPFRAMEDMEMOVIEW") {
                framedMemo = true;
                type = gtMemo;
            }
        }
        uint8_t pageIndex = ReadByteFromStream(stream);
        if (TemplateVersion >= 24) {
            next = ReadIntegerFromStream(stream);
            checkNext();
        }
        page = Pages(pageIndex);
        if (!page)
            throw Exception("Object record at " + std::to_string(recordStart) + " names page " +
                            std::to_string(pageIndex) + " of " + std::to_string(Count()));
        context.ActivePage = page;
        view = rpCreateObject(type, className);
        if (!view)
            throw Exception("Object record at " + std::to_string(recordStart) + " has type " + std::to_string(type) +
                            ", which no view class takes");
        page->AddObject(view);
        view->LoadFromStream(stream);
        view->SetPropertyValue("NAME", view->Name);
        context.AddViewName(view->Name);
        if (framedMemo) {
            rpCheckAvailable(stream, 8, "framed memo record");
            stream->Seek(8, soCurrent);
        }
        if (next >= 0) stream->SetPosition(next);
    } catch (const ErpTemplateError&) {
        dropView();
        throw;
    } catch (const Exception& e) {
        dropView();
        if (dynamic_cast<const ErpClassNotFound*>(&e)) {
            // Collected for one message once the rest is loaded.
            context.ReportErrorFlag = true;
            context.ReportErrorText += e.Message + "\r";
        }
        if (TemplateVersion < 24) {
            // Without a next position a record whose bytes ran out (or whose
            // lengths point past the end) leaves nothing to go on with.
            if (dynamic_cast<const EReadError*>(&e))
                throw ErpTemplateError("Object record at " + std::to_string(recordStart) + ": " + e.Message);
            return;  // older streams go on where the failure left them
        }
        if (next < 0) {
            // The failure came before the next position was read: read it now.
            stream->SetPosition(recordStart + 1);
            if (type == gtAddIn || framedMemo) rpReadTemplateString(stream, TemplateVersion);
            ReadByteFromStream(stream);
            next = ReadIntegerFromStream(stream);
            checkNext();
        }
        stream->SetPosition(next);
    }
}

void TrpPages::LoadFromStream(TStream* stream) {
    FParent->Clear();
    FParent->UseDefaultPrinter = ReadWordFromStream(stream);
    FParent->TwoPass = ReadWordFromStream(stream);
    std::string printer = rpReadTemplateString(stream, FParent->Context().TemplateVersion);
    if (printer == std::string(1, '\x01')) printer = LoadEngineString(rpsVirtualPrinter);
    FParent->SelectPrinter(printer);

    while (stream->GetPosition() < stream->GetSize()) {
        uint8_t marker = ReadByteFromStream(stream);
        if (marker == rpPageRecord) {
            Add();
            FPages.back()->LoadFromStream(stream);
        } else if (marker == rpDictionaryRecord) {
            FParent->Dictionary->LoadFromStream(stream);
        } else if (marker == rpDataManagerRecord) {
            break;  // the system has no data manager
        } else if (marker > gtAddIn) {
            throw ErpTemplateError("Unknown record type " + std::to_string(marker) + " at " +
                                   std::to_string(stream->GetPosition() - 1));
        } else {
            ReadObjectRecord(stream, marker);
        }
    }
    for (TrpPage* page : FPages)
        for (TrpView* v : page->Objects) v->AfterLoad();
    TrpContext& context = FParent->Context();
    if (context.ReportErrorFlag)
        throw ErpClassNotFound(std::string(rpsNonPluggedComponents) + "\r" + context.ReportErrorText +
                               rpsIncludeComponents);
}

void TrpPages::SaveToStream(TStream* stream) {
    WriteWordToStream(stream, FParent->UseDefaultPrinter);
    WriteWordToStream(stream, FParent->TwoPass);
    std::string printer = FParent->Context().Printer().CurrentPrinterName();
    if (printer == LoadEngineString(rpsVirtualPrinter)) printer = std::string(1, '\x01');
    SaveStringToStream(printer, stream);
    for (TrpPage* page : FPages) {
        WriteByteToStream(stream, rpPageRecord);
        page->SaveToStream(stream);
    }
    for (size_t p = 0; p < FPages.size(); ++p) {
        for (TrpView* v : FPages[p]->Objects) {
            // The page index is one byte.
            if (p > 255)
                throw EWriteError("Objects on page " + std::to_string(p + 1) +
                                  " cannot be stored: a template holds objects on 256 pages at most");
            WriteByteToStream(stream, v->Typ);
            if (v->Typ == gtAddIn) SaveStringToStream(v->ClassName(), stream);
            WriteByteToStream(stream, uint8_t(p));
            int64_t placeholder = stream->GetPosition();
            WriteIntegerToStream(stream, 0);
            v->SaveToStream(stream);
            int64_t end = stream->GetPosition();
            stream->SetPosition(placeholder);
            WriteIntegerToStream(stream, int32_t(end));
            stream->SetPosition(end);
        }
    }
    WriteByteToStream(stream, rpDictionaryRecord);
    FParent->Dictionary->SaveToStream(stream);
}

void TrpPages::PreDrawAligned(TCanvas* canvas) {
    if (!canvas) canvas = rpGlobals().ScratchBitmap()->GetCanvas();
    for (TrpPage* page : FPages)
        for (TrpView* v : page->Objects)
            if (v->BandAlign != baNone) {
                FParent->Context().ActivePage = page;
                v->Draw(canvas);
            }
}

// ---------------------------------------------------------------- TrpReport

TrpReport::TrpReport(TComponent* owner) : TComponent(owner), FContext(std::make_unique<TrpContext>(this)) {
    rpRegisterStandardViews();
    Pages = std::make_unique<TrpPages>(this);
    EMFPages = std::make_unique<TrpEMFPages>(this);
    Dictionary = std::make_unique<TrpDataDictionary>(*FContext);
}

TrpReport::~TrpReport() {
    // Pages and views reach the context while they are freed.
    Dictionary.reset();
    EMFPages.reset();
    Pages.reset();
}

void TrpReport::Clear() {
    Pages->Clear();
    Dictionary->Clear();
    TwoPass = 0;
}

TrpView* TrpReport::FindObject(const std::string& name) const {
    for (int i = 0; i < Pages->Count(); ++i)
        if (TrpView* v = Pages->Pages(i)->FindObject(name)) return v;
    return nullptr;
}

void TrpReport::SelectPrinter(const std::string& name) {
    if (!UseDefaultPrinter) FContext->Printer().SelectPrinter(name);
    PrinterName = name;
}

void TrpReport::SaveToStream(TStream* stream) {
    WriteByteToStream(stream, rpCurrentTemplateVersion);
    Pages->SaveToStream(stream);
}

void TrpReport::LoadFromStream(TStream* stream) {
    TrpContext& context = *FContext;
    context.BuildMode = false;
    Dictionary->Clear();
    if (stream->GetPosition() >= stream->GetSize()) return;
    int64_t start = stream->GetPosition();
    context.TemplateVersion = ReadByteFromStream(stream);
    if (context.TemplateVersion < rpOldestTemplateVersion) {
        // No version byte: the stream is read from its start as version 21.
        context.TemplateVersion = rpOldestTemplateVersion;
        stream->SetPosition(start);
    }
    context.ReportErrorFlag = false;
    context.ReportErrorText.clear();
    context.ResetNameSearch();
    context.TrackViewNames(true);
    struct EndSearch {
        TrpContext& c;
        ~EndSearch() {
            c.ResetNameSearch();
            c.TrackViewNames(false);
        }
    } endSearch{context};
    if (context.TemplateVersion > rpCurrentTemplateVersion)
        throw ErpTemplateError(LoadEngineString(rpsUnsupportedFormat));
    try {
        Pages->LoadFromStream(stream);
    } catch (const ErpClassNotFound&) {
        throw;
    } catch (const std::exception&) {
        Pages->Clear();
        Pages->Add();
        Dictionary->Clear();
        throw ErpTemplateError(LoadEngineString(rpsUnsupportedFormat));
    }
}

void TrpReport::DefineProperties(TFiler* filer) {
    TComponent::DefineProperties(filer);
    filer->DefineBinaryProperty(
        "ReportForm", [this](TStream* s) { ReadReportForm(s); }, [this](TStream* s) { WriteReportForm(s); }, true);
}

void TrpReport::ReadReportForm(TStream* stream) {
    ReadIntegerFromStream(stream);  // the format number 24, not checked
    if (!StoreInDFM) return;
    int32_t length = ReadIntegerFromStream(stream);
    rpCheckAvailable(stream, length, "ReportForm template");
    FStoredTemplate = std::make_unique<TMemoryStream>();
    if (length > 0) FStoredTemplate->CopyFrom(stream, length);
    FStoredTemplate->SetPosition(0);
}

void TrpReport::WriteReportForm(TStream* stream) {
    WriteIntegerToStream(stream, rpCurrentTemplateVersion);
    if (!StoreInDFM) return;
    TMemoryStream templ;
    SaveToStream(&templ);
    WriteIntegerToStream(stream, int32_t(templ.GetSize()));
    templ.SetPosition(0);
    stream->CopyFrom(&templ, templ.GetSize());
}

void TrpReport::Loaded() {
    TComponent::Loaded();
    if (StoreInDFM && FStoredTemplate) {
        std::unique_ptr<TMemoryStream> templ = std::move(FStoredTemplate);
        LoadFromStream(templ.get());
    }
}
