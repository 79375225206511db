#pragma once
// The numbered message table of the entry controls and the exception family
// whose constructors fetch their texts from it. No entry-control code holds a
// message text of its own, so translating the table translates the controls.

#include <cstdint>
#include <map>
#include <string>

#include "Exceptions.h"

struct TEntMessageRec {
    int32_t id;
    std::string text;
};

// Ids read by code. The full table (command names, data type names, mask help)
// is in entmsgs.cpp.
enum : int32_t {
    SEntDuplicateCommand = 30169,
    SEntTableNotFound = 30170,
    SEntRangeError = 30179,
    SEntInvalidEntry = 30180,
    SEntRequiredField = 30181,
    SEntInvalidDate = 30182,
    SEntInvalidTime = 30183,
    SEntBlanksInField = 30184,
    SEntPartialEntry = 30185,
    SEntInvalidParameter = 30188,
    SEntNoTimersAvailable = 30189,
    SEntInvalidPageIndex = 30193,
    SEntInvalidDataType = 30194,
    SEntInvalidTabFont = 30195,
    SEntInvalidPictureMask = 30202,
    SEntInvalidIntRange = 30203,
    SEntInvalidRealRange = 30204,
    SEntInvalidExtendedRange = 30205,
    SEntInvalidDoubleRange = 30206,
    SEntInvalidSingleRange = 30207,
    SEntInvalidCompRange = 30208,
    SEntInvalidDateRange = 30209,
    SEntInvalidTimeRange = 30210,
    SEntInvalidRange = 30211,
    SEntNoCollection = 30241,
    SEntInvalidCollectionOwner = 30242,
    SEntItemIncompatible = 30243,
    SEntLabelNotAttached = 30244,
    SEntNoCollectionForType = 30246,
    SEntGridTableName = 30266,
    SEntDefaultTableName = 30275,
    SEntWordStarTableName = 30276,
    SEntUnknownTableName = 30277,
    SEntEntryError = 30278,
    SEntTabMeasureText = 30282,
    SEntRestoreItem = 30287,
    SEntCutItem = 30288,
    SEntCopyItem = 30289,
    SEntPasteItem = 30290,
    SEntDeleteItem = 30291,
    SEntSelectAllItem = 30292,
    SEntTabPagesEditor = 30323,
    SEntPageBaseName = 30328,
    SEntNoPages = 30333,
    SEntFormsOnly = 30337,
    SEntYesChar = 30368,
    SEntNoChar = 30369,
    SEntTrueChar = 30370,
    SEntFalseChar = 30371,
    SEntNoMenuItem = 30400,
    SEntInvalidAnchor = 30402,
    SEntSplitMenu = 30403,
    SEntFirstCommandName = 33768,   // + command code
    SEntFirstDataTypeName = 34068,  // + data type ordinal
    SEntFirstMaskHelp = 34468,
};

// The search underneath LookupMessageText: the text of the record whose id is
// the low 16 bits of the argument, empty when there is none.
std::string FindMessageIndex(int32_t id);
// As FindMessageIndex, but "Unknown" for an id the table lacks.
std::string LookupMessageText(int32_t id);
// Start-up step: replaces the texts of the listed ids by translated ones. Ids
// the table lacks are ignored, so the table's shape never changes.
void LoadMessageTable(const std::map<int32_t, std::string>& texts);
// Restores the built-in texts (shut-down, tests).
void ResetMessageTable();
int MessageTableCount();

class EEntException : public Exception {
public:
    using Exception::Exception;
};

class ENoTimersAvailable : public EEntException {
public:
    ENoTimersAvailable() : EEntException(LookupMessageText(SEntNoTimersAvailable)) {}
};

class ECmdProcessorError : public EEntException {
public:
    using EEntException::EEntException;
};

class EDuplicateCommand : public ECmdProcessorError {
public:
    EDuplicateCommand() : ECmdProcessorError(LookupMessageText(SEntDuplicateCommand)) {}
};

class ETableNotFound : public ECmdProcessorError {
public:
    ETableNotFound() : ECmdProcessorError(LookupMessageText(SEntTableNotFound)) {}
};

class EEntryFieldError : public EEntException {
public:
    using EEntException::EEntException;
};

class EInvalidDataType : public EEntryFieldError {
public:
    EInvalidDataType() : EEntryFieldError(LookupMessageText(SEntInvalidDataType)) {}
};

class EInvalidPictureMask : public EEntryFieldError {
public:
    explicit EInvalidPictureMask(const std::string& mask);
};

// Chooses its text by the field's data type (TPictureDataType ordinal).
class EInvalidRangeValue : public EEntryFieldError {
public:
    explicit EInvalidRangeValue(int dataType);
};

class ENotebookError : public EEntException {
public:
    using EEntException::EEntException;
};

class EInvalidPageIndex : public ENotebookError {
public:
    EInvalidPageIndex() : ENotebookError(LookupMessageText(SEntInvalidPageIndex)) {}
};

class EInvalidTabFont : public ENotebookError {
public:
    EInvalidTabFont() : ENotebookError(LookupMessageText(SEntInvalidTabFont)) {}
};

class EMenuMRUError : public EEntException {
public:
    using EEntException::EEntException;
};
