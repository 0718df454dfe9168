#pragma once

#include <QColor>

class QLabel;
class QPushButton;
class QString;
class QWidget;

// The look every dialog of the program shares.
namespace DialogLook {

// The design window's background, RGB 241/244/250.
inline const QColor kBackground(241, 244, 250);

// Gives the dialog the shared background, filled.
void applyBackground(QWidget *dialog);
// A bold line that heads a dialog or a page.
void makeHeading(QLabel *label, double scale = 1.15);
// A large button for one way to go on: its title over a line that explains it.
QPushButton *choiceButton(const QString &title, const QString &detail, const QString &name, QWidget *parent);

} // namespace DialogLook
