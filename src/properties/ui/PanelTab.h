#pragma once

#include "platform/ui/Form.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QFormLayout;
class QGroupBox;
class QVBoxLayout;

// A page of the properties panel: titled sections of label and control rows, stacked from the top
// and scrolled when they do not fit. Its window title is the label of its tab. Its controls come
// from the form helpers, so that every tab looks and lines up alike.
class PanelTab : public QWidget, public Form {
    Q_OBJECT
public:
    PanelTab(const char *name, const QString &title, QWidget *parent = nullptr);

    // Appends a titled section and answers its rows.
    QFormLayout *addSection(const QString &title, QGroupBox **box = nullptr);
    // Appends a widget that spans the page (a title, a note).
    void addWidget(QWidget *widget);
    // Ends the page: what follows the sections is empty space.
    void finish();

    // The five outline styles in the order of their codes.
    static QStringList outlineStyles();

private:
    QVBoxLayout *m_sections;
};
