#pragma once

#include <QFont>

class QFontDialog;

// Underline and strike-out are kept only where a text keeps its attributes. A font dialog for any
// other font (a barcode's, the card-wide one) does not offer them: its effects are hidden and
// cleared. The dialog must be the toolkit's own (QFontDialog::DontUseNativeDialog).
void offerFontEffects(QFontDialog &dialog, bool offered);
// The font without the effects such a dialog does not offer.
QFont withoutFontEffects(QFont font);
