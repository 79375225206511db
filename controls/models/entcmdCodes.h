#pragma once
// The command codes and shift-state bits of the entry controls' key tables,
// apart from the tables so that the editing models use them without windows.

#include <cstdint>

enum : uint16_t {
    ccNone = 0, ccBack, ccBotOfPage, ccBotRightCell, ccCompleteDate, ccCompleteTime, ccCopy, ccCtrlChar,
    ccCut, ccDec, ccDel, ccDelBol, ccDelEol, ccDelLine, ccDelWord, ccDown, ccEnd, ccExtendDown,
    ccExtendEnd, ccExtendHome, ccExtendLeft, ccExtendPgDn, ccExtendPgUp, ccExtendRight, ccExtendUp,
    ccExtBotOfPage, ccExtFirstPage, ccExtLastPage, ccExtTopOfPage, ccExtWordLeft, ccExtWordRight,
    ccFirstPage, ccGotoMarker0, ccGotoMarker1, ccGotoMarker2, ccGotoMarker3, ccGotoMarker4,
    ccGotoMarker5, ccGotoMarker6, ccGotoMarker7, ccGotoMarker8, ccGotoMarker9, ccHome, ccInc, ccIns,
    ccLastPage, ccLeft, ccNewLine, ccNextPage, ccPageLeft, ccPageRight, ccPaste, ccPrevPage, ccRedo,
    ccRestore, ccRight, ccScrollDown, ccScrollUp, ccSetMarker0, ccSetMarker1, ccSetMarker2,
    ccSetMarker3, ccSetMarker4, ccSetMarker5, ccSetMarker6, ccSetMarker7, ccSetMarker8, ccSetMarker9,
    ccTab, ccTableEdit, ccTopLeftCell, ccTopOfPage, ccUndo, ccUp, ccWordLeft, ccWordRight,
    // Codes no table holds.
    ccNoCmd = 252,           // not a command: ordinary input
    ccBadSequence = 254,     // a two-key sequence was begun and this key completes none
    ccPartial = 255,         // first key of a two-key sequence: wait for the second
    ccUserFirst = 256,       // user commands of custom tables
};

// Shift state bits of a command entry.
enum : uint8_t {
    ssfShift = 2,
    ssfCtrl = 4,
    ssfAlt = 8,
    ssfNoneOrCtrl = 0x80,   // second key only: no shift, or Ctrl alone
};
