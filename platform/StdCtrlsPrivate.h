#pragma once
// Between the sources of the standard controls only.

#include <string>

#include <QString>

#include "Graphics.h"

class QWidget;

std::u32string Utf8ToU32(const std::string& s);
std::string U32ToUtf8(const std::u32string& s);
QString Utf8ToQString(const std::string& s);
std::string QStringToUtf8(const QString& s);
// Background (the Base role for text widgets, else Window) and text colours of a Qt widget.
void ApplyWidgetColors(QWidget* w, TColor Background, TColor Text, bool BaseRole);

#include <functional>
#include <vector>

#include "TypInfo.h"

// A character property (PasswordChar) through get and set functions.
void AddCharProperty(TClassInfo& Info, const std::string& Name, std::function<char32_t(TObject*)> Get,
                     std::function<void(TObject*, char32_t)> Set);
// A property old window definitions write that has no effect here.
void AddIgnoredProperty(TClassInfo& Info, const std::string& Name, TPropKind Kind, std::vector<std::string> Names);
