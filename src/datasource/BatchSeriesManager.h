#pragma once

#include <QString>

// What other dialogs ask of the batch series manager while it edits a series: the sheet picker and
// the series dialogs push values into the series being edited and have its series list read again.
// The manager implements it and installs itself; tests install a recording one. Main thread only.
class BatchSeriesManager {
public:
    virtual ~BatchSeriesManager() = default;

    // Appends one value to the series being edited (the manager trims it and drops a blank one).
    virtual void Create_Value_List(const QString &value) = 0;
    // Reads the list of series again.
    virtual void Fill_List() = 0;
};

// The manager in use; nullptr until one is installed.
BatchSeriesManager *BatchWizard_Window();
// Installs `manager` (nullptr for none) and answers the one it replaces. The caller keeps ownership.
BatchSeriesManager *installBatchWizard_Window(BatchSeriesManager *manager);
