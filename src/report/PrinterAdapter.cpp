#include "report/PrinterAdapter.h"

#include "report/SystemPrinters.h"

namespace {
PrinterAdapter* g_adapter = nullptr;
}

PrinterAdapter& PrinterAdapter::current()
{
    static SystemPrinters system;
    return g_adapter ? *g_adapter : system;
}

void PrinterAdapter::setCurrent(PrinterAdapter* adapter)
{
    g_adapter = adapter;
}
