#include "CalcPage.h"

#include "Main.h"

bool TCalcPage::IsActive() const { return Main.ActivePageName() == PageName(); }

TComponent* TCalcPage::Root() const { return &Main; }
