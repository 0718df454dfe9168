#include "datasource/BatchSeriesManager.h"

#include <utility>

namespace {

BatchSeriesManager *g_manager = nullptr;

} // namespace

BatchSeriesManager *BatchWizard_Window()
{
    return g_manager;
}

BatchSeriesManager *installBatchWizard_Window(BatchSeriesManager *manager)
{
    return std::exchange(g_manager, manager);
}
