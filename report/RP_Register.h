#pragma once
// Published properties of the report components the main window's definition
// holds (the report with its "ReportForm" template, the user data set), so
// that the definition reader can create and set them by name.

// Safe to call more than once.
void RegisterReportClasses();
