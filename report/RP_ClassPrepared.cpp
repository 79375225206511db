// Prepared pages: the object records of a built report, page by page, their
// drawing and hit tests, and the prepared-report file.

#include <cerrno>
#include <cstring>

#include "ClassesIO.h"
#include "RP_Class.h"
#include "RP_Utils.h"

namespace {

constexpr uint8_t kPreparedVersion = 24;
// Each page entry of the file takes at least this many bytes (version 24).
constexpr int64_t kMinPageEntry = 4 + 2 + 4 + 4 + 1 + 4 + 1 + 16;
constexpr int64_t kMinOldPageEntry = 4 + 2 + 4 + 4 + 1 + 1;

void CopyPaper(TrpPreparedPage& record, const TrpPage* page) {
    record.PaperSize = uint16_t(page->Size);
    record.PaperWidth = page->Width;
    record.PaperHeight = page->Height;
    record.Orientation = page->Orientation;
    record.Bin = page->Bin;
    record.UseMargins = page->UseMargins != 0;
    record.Margins = TRect{page->LeftMargin, page->TopMargin, page->RightMargin, page->BottomMargin};
    record.Geometry = page->PrnInfo;
}

std::string PageLabel(int index) { return "Prepared page " + std::to_string(index + 1); }

}  // namespace

TrpEMFPages::TrpEMFPages(TrpReport* parent) : FParent(parent) {}

TrpEMFPages::~TrpEMFPages() { Clear(); }

TrpPreparedPage& TrpEMFPages::Page(int index) {
    if (index < 0 || index >= Count())
        throw EListError("Prepared page index " + std::to_string(index) + " out of bounds (" + std::to_string(Count()) +
                         " pages)");
    return *FPages[size_t(index)];
}

void TrpEMFPages::Clear() {
    while (!FPages.empty()) Delete(0);
}

void TrpEMFPages::Delete(int index) {
    Page(index);  // checks the index
    FPages.erase(FPages.begin() + index);
}

void TrpEMFPages::Insert(int index, TrpPage* page) {
    auto record = std::make_unique<TrpPreparedPage>();
    record->Stream = std::make_unique<TMemoryStream>();
    WriteByteToStream(record->Stream.get(), kPreparedVersion);
    CopyPaper(*record, page);
    if (index >= 0 && index < Count())
        FPages.insert(FPages.begin() + index, std::move(record));
    else
        FPages.push_back(std::move(record));
}

void TrpEMFPages::Add(TrpPage* page) {
    Insert(Count(), page);
    TrpContext& context = FParent->Context();
    int pageNo = context.PageNo > 0 ? context.PageNo : Count();
    if (FParent->OnBeginPage) FParent->OnBeginPage(pageNo);
    TrpReport* root = context.RootReport;
    if (root && root != FParent && root->OnBeginPage) root->OnBeginPage(pageNo);
}

std::unique_ptr<TrpPage> TrpEMFPages::DecodePage(const TrpPreparedPage& record) {
    auto page = std::make_unique<TrpPage>(FParent, record.PaperSize, record.PaperWidth, record.PaperHeight,
                                          record.Orientation, record.Bin);
    page->LeftMargin = record.Margins.Left;
    page->TopMargin = record.Margins.Top;
    page->RightMargin = record.Margins.Right;
    page->BottomMargin = record.Margins.Bottom;
    page->UseMargins = record.UseMargins ? 0xFFFF : 0;
    TMemoryStream& s = *record.Stream;
    s.SetPosition(0);
    // A page whose data the compressor dropped holds no objects.
    if (s.GetSize() == 0) return page;
    int version = ReadByteFromStream(&s);
    if (version < rpOldestTemplateVersion || version > rpCurrentTemplateVersion)
        throw ErpPreparedReportError("object format version " + std::to_string(version));
    TrpContext& context = FParent->Context();
    TrpRestore<int> restoreVersion(context.TemplateVersion, version);
    TrpRestore<TrpPage*> restorePage(context.ActivePage, page.get());
    while (s.GetPosition() < s.GetSize()) {
        int64_t at = s.GetPosition();
        uint8_t type = ReadByteFromStream(&s);
        std::string className;
        if (type == gtAddIn)
            className = rpReadTemplateString(&s, version);
        else if (type > gtLine)
            throw ErpPreparedReportError("unknown object type " + std::to_string(type) + " at byte " +
                                         std::to_string(at));
        TrpView* view = nullptr;
        try {
            view = rpCreateObject(type, className);
        } catch (const ErpClassNotFound&) {
            throw ErpPreparedReportError("unknown object class \"" + className + "\" at byte " + std::to_string(at));
        }
        if (!view) throw ErpPreparedReportError("object type " + std::to_string(type) + " has no view class");
        page->AddObject(view);  // owned by the page from here on
        view->StreamMode = smPrinted;
        view->LoadFromStream(&s);
        view->StreamMode = smTemplate;
        view->AfterPreparedLoad();
    }
    return page;
}

void TrpEMFPages::LoadPageObjects(int index) {
    TrpPreparedPage& record = Page(index);
    record.Page.reset();
    try {
        record.Page = DecodePage(record);
    } catch (const ErpPreparedReportError& e) {
        throw ErpPreparedReportError(PageLabel(index) + ": " + e.Message);
    } catch (const EReadError& e) {
        throw ErpPreparedReportError(PageLabel(index) + ": " + e.Message);
    }
    FParent->Context().ActivePage = record.Page.get();
}

void TrpEMFPages::StorePageObjects(int index) {
    TrpPreparedPage& record = Page(index);
    if (!record.Page) return;
    record.Stream->Clear();
    WriteByteToStream(record.Stream.get(), kPreparedVersion);
    for (TrpView* view : record.Page->Objects) {
        WriteByteToStream(record.Stream.get(), view->Typ);
        if (view->Typ == gtAddIn) SaveStringToStream(view->ClassName(), record.Stream.get());
        view->SMemo->Assign(view->Memo.get());
        view->StreamMode = smPrinted;
        view->SaveToStream(record.Stream.get());
        view->StreamMode = smTemplate;
    }
}

void TrpEMFPages::Draw(int index, TCanvas* canvas, const TRect& drawRect) {
    TrpPreparedPage& record = Page(index);
    TrpContext& context = FParent->Context();
    TrpRestore<bool> preparedDrawing(context.BuildMode, true);
    if (!record.Visible) {
        record.Page.reset();
        return;
    }
    if (!record.Page) LoadPageObjects(index);
    TrpRestore<TrpPage*> active(context.ActivePage, record.Page.get());
    if (record.Geometry.Pgw <= 0 || record.Geometry.Pgh <= 0) return;
    double kx = double(drawRect.Right - drawRect.Left) / record.Geometry.Pgw;
    double ky = double(drawRect.Bottom - drawRect.Top) / record.Geometry.Pgh;
    for (TrpView* view : record.Page->Objects) {
        if (!view->Printing) {
            TRect area{rpRound(view->x * kx) + drawRect.Left - 10, rpRound(view->y * ky) + drawRect.Top - 10,
                       rpRound((view->x + view->dx) * kx) + drawRect.Left + 10,
                       rpRound((view->y + view->dy) * ky) + drawRect.Top + 10};
            if (!canvas->RectVisible(area)) continue;
        }
        view->ScaleX = kx;
        view->ScaleY = ky;
        view->OffsX = drawRect.Left;
        view->OffsY = drawRect.Top;
        view->Draw(canvas);
    }
}

bool TrpEMFPages::ObjectAtPoint(int index, TPoint point, bool click, TCursor& cursor) {
    TrpPreparedPage& record = Page(index);
    if (!record.Page) LoadPageObjects(index);
    double kx = 1.0, ky = 1.0, ox = 0, oy = 0;
    const TrpPrnInfo& g = record.Geometry;
    if (!record.UseMargins && g.Pgw > 0 && g.Pgh > 0) {
        // The page is stretched to the printable area.
        kx = double(g.Pw - (record.Margins.Left + record.Margins.Right)) / g.Pgw;
        ky = double(g.Ph - (record.Margins.Top + record.Margins.Bottom)) / g.Pgh;
        ox = g.Ofx + record.Margins.Left;
        oy = g.Ofy + record.Margins.Top;
    }
    const auto& objects = record.Page->Objects;
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        TrpView* v = *it;
        TRect r{rpRound(v->x * kx + ox), rpRound(v->y * ky + oy), rpRound((v->x + v->dx) * kx + ox),
                rpRound((v->y + v->dy) * ky + oy)};
        if (!r.Contains(point)) continue;
        if (click) {
            if (!FParent->OnObjectClick) return false;
            FParent->OnObjectClick(v);
            return true;
        }
        if (!FParent->OnMouseOverObject) return false;
        FParent->OnMouseOverObject(v, cursor);
        return true;
    }
    return false;
}

// ------------------------------------------------------------------ file

void TrpEMFPages::SaveToStream(TStream* stream) {
    if (!stream) return;
    TrpCompressor* compressor = rpGlobals().Compressor.get();
    WriteByteToStream(stream, kPreparedVersion);
    WriteByteToStream(stream, compressor->Enabled ? 1 : 0);
    SaveStringToStream(FParent->Context().Printer().CurrentPrinterName(), stream);
    WriteIntegerToStream(stream, Count());
    for (const auto& page : FPages) {
        int64_t start = stream->GetPosition();
        WriteIntegerToStream(stream, int32_t(start));
        WriteWordToStream(stream, page->PaperSize);
        WriteIntegerToStream(stream, page->PaperWidth);
        WriteIntegerToStream(stream, page->PaperHeight);
        WriteByteToStream(stream, page->Orientation);
        WriteIntegerToStream(stream, page->Bin);
        WriteByteToStream(stream, page->UseMargins ? 1 : 0);
        WriteIntegerToStream(stream, page->Margins.Left);
        WriteIntegerToStream(stream, page->Margins.Top);
        WriteIntegerToStream(stream, page->Margins.Right);
        WriteIntegerToStream(stream, page->Margins.Bottom);
        page->Stream->SetPosition(0);
        if (compressor->Enabled) {
            TMemoryStream packed;
            compressor->Compress(page->Stream.get(), &packed);
            packed.SetPosition(0);
            stream->CopyFrom(&packed, packed.GetSize());
        } else {
            stream->CopyFrom(page->Stream.get(), page->Stream->GetSize());
        }
        int64_t end = stream->GetPosition();
        if (end > INT32_MAX) throw EWriteError("Prepared report too large for its file format");
        stream->SetPosition(start);
        WriteIntegerToStream(stream, int32_t(end));
        stream->SetPosition(end);
    }
}

void TrpEMFPages::LoadFromStream(TStream* stream) {
    if (!stream) {
        Clear();
        return;
    }
    std::vector<std::unique_ptr<TrpPreparedPage>> pages;
    std::string printer;
    const int64_t size = stream->GetSize();
    try {
        int64_t start = stream->GetPosition();
        int version = ReadByteFromStream(stream);
        if (version < 24 || version > 31) {
            version = 0;
            stream->SetPosition(start);
        }
        uint8_t compressed = ReadByteFromStream(stream);
        if (compressed != 0 && compressed != 1 && compressed != 255)
            throw ErpPreparedReportError("the file holds pages as pictures (the oldest layout), which cannot be read");
        printer = ReadStringFromStream(stream);
        int32_t count = ReadIntegerFromStream(stream);
        int64_t minEntry = version > 23 ? kMinPageEntry : kMinOldPageEntry;
        if (count < 0 || count > rpMaxPreparedPages || count * minEntry > size - stream->GetPosition())
            throw ErpPreparedReportError("page count " + std::to_string(count) + " does not fit the file");
        TrpCompressor* compressor = rpGlobals().Compressor.get();
        for (int32_t i = 0; i < count; ++i) {
            int64_t entry = stream->GetPosition();
            int32_t next = ReadIntegerFromStream(stream);
            if (next <= entry || next > size)
                throw ErpPreparedReportError(PageLabel(i) + " at byte " + std::to_string(entry) + " points to byte " +
                                             std::to_string(next));
            auto record = std::make_unique<TrpPreparedPage>();
            record->PaperSize = ReadWordFromStream(stream);
            record->PaperWidth = ReadIntegerFromStream(stream);
            record->PaperHeight = ReadIntegerFromStream(stream);
            record->Orientation = ReadByteFromStream(stream);
            if (record->PaperWidth <= 0 || record->PaperHeight <= 0 || record->PaperWidth > rpMaxPaperTenthsMm ||
                record->PaperHeight > rpMaxPaperTenthsMm)
                throw ErpPreparedReportError(PageLabel(i) + " has paper " + std::to_string(record->PaperWidth) + " x " +
                                             std::to_string(record->PaperHeight) + " (0.1 mm)");
            if (record->Orientation > 1)
                throw ErpPreparedReportError(PageLabel(i) + " has orientation " + std::to_string(record->Orientation));
            record->Bin = -1;
            if (version > 23) record->Bin = ReadIntegerFromStream(stream);
            record->UseMargins = ReadByteFromStream(stream) != 0;
            if (version > 23) {
                record->Margins.Left = ReadIntegerFromStream(stream);
                record->Margins.Top = ReadIntegerFromStream(stream);
                record->Margins.Right = ReadIntegerFromStream(stream);
                record->Margins.Bottom = ReadIntegerFromStream(stream);
            }
            int64_t dataStart = stream->GetPosition();
            if (dataStart > next)
                throw ErpPreparedReportError(PageLabel(i) + " ends at byte " + std::to_string(next) +
                                             " inside its own fields");
            record->Stream = std::make_unique<TMemoryStream>();
            if (compressed) {
                TMemoryStream packed;
                if (next > dataStart) packed.CopyFrom(stream, next - dataStart);
                packed.SetPosition(0);
                compressor->DeCompress(&packed, record->Stream.get());
            } else if (next > dataStart) {
                record->Stream->CopyFrom(stream, next - dataStart);
            }
            int size10 = record->PaperSize, w = record->PaperWidth, h = record->PaperHeight;
            int orientation = record->Orientation, bin = record->Bin;
            FParent->Context().Printer().ApplyPaper(size10, w, h, orientation, bin, record->Geometry);
            // Every object record is checked now, so that drawing never meets a damaged one.
            try {
                DecodePage(*record);
            } catch (const Exception& e) {
                throw ErpPreparedReportError(PageLabel(i) + ": " + e.Message);
            }
            stream->SetPosition(next);
            pages.push_back(std::move(record));
        }
    } catch (const ErpPreparedReportError&) {
        throw;
    } catch (const Exception& e) {
        throw ErpPreparedReportError("Damaged prepared report at byte " + std::to_string(stream->GetPosition()) + ": " +
                                     e.Message);
    }
    Clear();
    FPages = std::move(pages);
    FParent->SelectPrinter(printer);
}

// ------------------------------------------------------------- report file

void TrpReport::LoadPreparedReport(const std::string& fileName) {
    std::string bytes;
    if (!classes_io::ReadFileBytes(fileName, bytes))
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    TStringStream stream(std::move(bytes));
    EMFPages->LoadFromStream(&stream);
    Rebuildable = false;
}

void TrpReport::SavePreparedReport(const std::string& fileName) {
    TStringStream stream;
    EMFPages->SaveToStream(&stream);
    if (int error = classes_io::WriteFileAtomic(fileName, stream.DataString()))
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(error));
}
