// The rates of return calculator's compute step.

#include "RatesOfReturn.h"

#include "FinFormulas.h"

void CalcROR(const std::array<TRORRow, RateOfReturnRows>& In, std::array<TCalcResult, RateOfReturnRows>& Out) {
    for (size_t k = 0; k < In.size(); ++k)
        Out[k] = TotalReturnPercent(In[k].BeginningValue, In[k].EndValue, In[k].Dividends);
}
