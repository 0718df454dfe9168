#pragma once

#include "datasource/BatchSeriesManager.h"

#include <QStringList>

// Stands in for the batch series manager while it lives: records the values pushed into it, and
// "<fill>" for each reading of its series list.
class RecordingManager : public BatchSeriesManager {
public:
    RecordingManager() : m_previous(installBatchWizard_Window(this)) {}
    ~RecordingManager() override { installBatchWizard_Window(m_previous); }
    void Create_Value_List(const QString &value) override { values << value; }
    void Fill_List() override { values << QStringLiteral("<fill>"); }
    QStringList values;

private:
    BatchSeriesManager *m_previous;
};
